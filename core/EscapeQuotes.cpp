#include "core/EscapeQuotes.h"

namespace core {

QString EscapeQuotes(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'\'')
            escaped += u'\'';
        escaped += c;
    }
    return escaped;
}

QString SqlString(const QString& value)
{
    QString literal = u'\'' + EscapeQuotes(value) + u'\'';
    if (literal.contains(QChar(0)))
        literal.replace(QChar(0), QStringLiteral("' || char(0) || '"));
    return literal;
}

} // namespace core
