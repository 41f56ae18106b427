#include "EscapeQuotes.h"

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

} // namespace core
