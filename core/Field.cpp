#include "core/Field.h"

namespace core {

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
