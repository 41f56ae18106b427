#include "Field.h"

#include <QLocale>

namespace core {

QString numberText(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

QString Field::Text() const
{
    switch (m_value.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::LongLong:
        return QString::number(m_value.toLongLong());
    case QMetaType::Double:
        return numberText(m_value.toDouble());
    default:
        return m_value.toString();
    }
}

} // namespace core
