#pragma once

#include <QString>
#include <QVariant>

namespace core {

// One column of the current row. Null is a QVariant without a value.
class Field
{
public:
    Field() = default;
    explicit Field(QVariant value) : m_value(std::move(value)) {}

    const QVariant& Value() const { return m_value; }
    bool IsNull() const { return m_value.isNull(); }

    // The value in its plain text form for the current locale, as the windows show it ("" for Null).
    QString Text() const;

private:
    QVariant m_value;
};

// Plain text form of a number: at most 15 significant digits, no trailing zeros, the locale's decimal
// separator and no grouping (12.34 * 27.5 / 100 gives "3,3935" in Italian).
QString numberText(double value);

} // namespace core
