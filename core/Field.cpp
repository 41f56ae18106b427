#include "Field.h"

#include <QLocale>

#include <charconv>

namespace core {

namespace {

QString qtNumberText(const QLocale& locale, double value)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 15);
}

// The current locale's signs in UTF-8, looked up again only when the default locale changes.
struct LocaleSigns
{
    QLocale locale;
    QByteArray decimalPoint;
    QByteArray minus;

    static const LocaleSigns& current()
    {
        thread_local LocaleSigns signs = make(QLocale());
        const QLocale now;
        if (now != signs.locale)
            signs = make(now);
        return signs;
    }

    static LocaleSigns make(const QLocale& locale)
    {
        return LocaleSigns{locale, locale.decimalPoint().toUtf8(), locale.negativeSign().toUtf8()};
    }
};

// Appends the number's text when the quick way gives it: the shortest form that reads back as the same
// number is the 15-digit text whenever it needs at most 15 digits and no exponent (prices always do),
// and it is far cheaper than the locale's formatting.
bool appendQuickly(double value, const LocaleSigns& signs, QByteArray& out)
{
    if (value == 0) {
        out += '0'; // also -0
        return true;
    }
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general);
    if (error != std::errc())
        return false;
    int digits = 0;
    bool leading = true;
    for (const char* c = buffer; c != end; ++c) {
        if (*c == 'e')
            return false;
        if (*c >= '0' && *c <= '9') {
            leading = leading && *c == '0';
            digits += leading ? 0 : 1;
        }
    }
    if (digits > 15)
        return false;
    for (const char* c = buffer; c != end; ++c) {
        if (*c == '.')
            out += signs.decimalPoint;
        else if (*c == '-')
            out += signs.minus;
        else
            out += *c;
    }
    return true;
}

} // namespace

QString numberText(double value)
{
    const LocaleSigns& signs = LocaleSigns::current();
    QByteArray quick;
    if (appendQuickly(value, signs, quick))
        return QString::fromUtf8(quick);
    return qtNumberText(signs.locale, value);
}

void appendNumberUtf8(double value, QByteArray& out)
{
    const LocaleSigns& signs = LocaleSigns::current();
    if (!appendQuickly(value, signs, out))
        out += qtNumberText(signs.locale, value).toUtf8();
}

Field Field::integer(qlonglong value)
{
    Field field;
    field.m_kind = Kind::Integer;
    field.m_integer = value;
    return field;
}

Field Field::real(double value)
{
    Field field;
    field.m_kind = Kind::Real;
    field.m_real = value;
    return field;
}

Field Field::text(QString value)
{
    Field field;
    field.m_kind = Kind::Text;
    field.m_text = std::move(value);
    return field;
}

QVariant Field::Value() const
{
    switch (m_kind) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QVariant(m_integer);
    case Kind::Real:
        return QVariant(m_real);
    case Kind::Text:
        break;
    }
    return QVariant(m_text);
}

double Field::toDouble() const
{
    switch (m_kind) {
    case Kind::Null:
        return 0.0;
    case Kind::Integer:
        return static_cast<double>(m_integer);
    case Kind::Real:
        return m_real;
    case Kind::Text:
        break;
    }
    return QVariant(m_text).toDouble();
}

void Field::appendTextUtf8(QByteArray& out) const
{
    switch (m_kind) {
    case Kind::Null:
        return;
    case Kind::Integer:
        out += QByteArray::number(m_integer);
        return;
    case Kind::Real:
        appendNumberUtf8(m_real, out);
        return;
    case Kind::Text:
        break;
    }
    out += m_text.toUtf8();
}

QString Field::Text() const
{
    switch (m_kind) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QString::number(m_integer);
    case Kind::Real:
        return numberText(m_real);
    case Kind::Text:
        break;
    }
    return m_text;
}

} // namespace core
