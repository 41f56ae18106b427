#include "tools/build/readers/InputLimits.h"

#include <QLocale>
#include <QStringDecoder>

namespace builder {

namespace limits {

QString bytesText(qint64 bytes)
{
    if (bytes >= (qint64(1) << 30) && bytes % (qint64(1) << 30) == 0)
        return QStringLiteral("%1 GiB").arg(bytes >> 30);
    if (bytes >= (qint64(1) << 20) && bytes % (qint64(1) << 20) == 0)
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    return QStringLiteral("%1 byte").arg(bytes);
}

QString charactersText(qint64 characters)
{
    return QStringLiteral("%1 caratteri").arg(QLocale(QLocale::Italian).toString(characters));
}

} // namespace limits

namespace {

constexpr qsizetype kShownCharacters = 80;

bool isControl(char32_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || (c >= 0x7F && c < 0xA0);
}

} // namespace

QString cutForMessage(QStringView value)
{
    QString text;
    qsizetype characters = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (characters == kShownCharacters) {
            text += QStringLiteral("…");
            break;
        }
        const QChar c = value[i];
        if (isControl(c.unicode()) || c == u'\t' || c == u'\n' || c == u'\r')
            text += QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
        else
            text += c;
        // A surrogate pair is one character.
        if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate())
            text += value[++i];
        ++characters;
    }
    return text;
}

QString shownValue(QStringView value)
{
    return u'"' + cutForMessage(value) + u'"';
}

qsizetype controlCharacterAt(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isControl(text[i].unicode()))
            return i;
    }
    return -1;
}

QString shownFileName(const QByteArray& name)
{
    QString text;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (qsizetype i = 0; i < name.size();) {
        // The longest valid run from here, or one byte escaped.
        qsizetype end = i;
        while (end < name.size()) {
            const auto lead = static_cast<unsigned char>(name[end]);
            const qsizetype length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
            if (length == 0 || end + length > name.size())
                break;
            const QString decoded = decoder(QByteArrayView(name).sliced(end, length));
            if (decoder.hasError()) {
                decoder.resetState();
                break;
            }
            if (length == 1 && isControl(decoded.front().unicode()))
                break;
            text += decoded;
            end += length;
        }
        if (end == i) {
            text += QStringLiteral("\\x") +
                    QStringLiteral("%1").arg(static_cast<unsigned char>(name[i]), 2, 16, QLatin1Char('0')).toUpper();
            ++end;
        }
        i = end;
    }
    return text;
}

} // namespace builder
