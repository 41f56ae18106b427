#pragma once

#include "core/Numbers.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace core {

// One column of the current row: Null, a whole number, a real number or a text.
class Field
{
public:
    Field() = default;
    static Field integer(qlonglong value);
    static Field real(double value);
    static Field text(QString value);

    // The value as a variant (invalid for Null).
    QVariant Value() const;
    bool IsNull() const { return m_kind == Kind::Null; }
    // The number for numeric fields, the text read as a number otherwise (0 for Null).
    double toDouble() const;

    // The value in its plain text form for the current locale, as the windows show it ("" for Null).
    QString Text() const;
    // The same text, appended in UTF-8.
    void appendTextUtf8(QByteArray& out) const;

private:
    enum class Kind
    {
        Null,
        Integer,
        Real,
        Text
    };

    Kind m_kind = Kind::Null;
    qlonglong m_integer = 0;
    double m_real = 0;
    QString m_text;
};

} // namespace core
