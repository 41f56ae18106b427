#include "Field.h"

#include <QLocale>

namespace core {

QString numberText(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // The shortest form is much cheaper to compute, and the same text whenever it needs at most 15
    // digits and no exponent (prices always do); otherwise round to 15 significant digits.
    const QString shortest = locale.toString(value, 'g', QLocale::FloatingPointShortest);
    int digits = 0;
    bool exponent = false;
    bool leading = true;
    for (const QChar c : shortest) {
        if (c.isDigit()) {
            leading = leading && c == u'0';
            digits += leading ? 0 : 1;
        } else if (c == u'e' || c == u'E') {
            exponent = true;
        }
    }
    if (!exponent && digits <= 15)
        return shortest;
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
