#include "InputLimits.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>

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

QString systemErrorText(int code)
{
    switch (code) {
    case ENOENT:
        return QStringLiteral("il file o la cartella non esiste");
    case EACCES:
    case EPERM:
        return QStringLiteral("non si hanno i permessi necessari");
    case EISDIR:
        return QStringLiteral("è una cartella");
    case ENOTDIR:
        return QStringLiteral("una parte del percorso non è una cartella");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("spazio esaurito sul disco");
    case EROFS:
        return QStringLiteral("il disco è in sola lettura");
    case EIO:
        return QStringLiteral("errore di lettura o scrittura del disco");
    case ENOMEM:
        return QStringLiteral("memoria insufficiente");
    case EEXIST:
        return QStringLiteral("il file esiste già");
    case ENAMETOOLONG:
        return QStringLiteral("il nome del file è troppo lungo");
    case ELOOP:
        return QStringLiteral("troppi collegamenti simbolici nel percorso");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("troppi file aperti");
    case EFBIG:
        return QStringLiteral("il file è troppo grande");
    case EXDEV:
        return QStringLiteral("il file temporaneo e il file da creare sono su dischi diversi");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("il file è in uso");
    default:
        return QStringLiteral("errore di sistema %1 (%2)").arg(code).arg(QString::fromLocal8Bit(std::strerror(code)));
    }
}

} // namespace builder
