#include "tools/build/readers/XmlEncoding.h"

#include "tools/build/readers/InputLimits.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <optional>

namespace builder {

namespace {

// The beginning of a file read before the first byte is handed on, to learn its encoding: its declaration
// must end within it.
constexpr qsizetype kHeadLimit = 64 * 1024;
// The bytes of a file in another encoding decoded at a time.
constexpr qint64 kBlock = 64 * 1024;

// The encoding pseudo-attribute of an XML declaration at the start of `text`: where it stands and its value.
struct Declared
{
    qsizetype at = -1;
    qsizetype length = 0;
    QString name;
};

Declared declaredEncoding(QStringView text)
{
    if (!text.startsWith(u"<?xml") || text.size() < 6 || !(text[5].isSpace() || text[5] == u'?'))
        return {};
    const qsizetype end = text.indexOf(u"?>");
    if (end < 0)
        return {};
    static const QRegularExpression encoding(QStringLiteral("\\sencoding\\s*=\\s*([\"'])([^\"']*)\\1"));
    const QRegularExpressionMatch match = encoding.match(text.first(end).toString());
    if (!match.hasMatch())
        return {};
    return {match.capturedStart(), match.capturedLength(), match.captured(2)};
}

// Whether more of the head is needed to see the whole declaration.
bool declarationOpen(QStringView text)
{
    constexpr QStringView opening = u"<?xml";
    if (text.size() < opening.size())
        return opening.startsWith(text);
    return text.startsWith(opening) && !text.contains(u"?>");
}

// The first half of a surrogate pair without its other half, or -1: the UTF-16 decoder lets it through.
qsizetype loneSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return i;
    }
    return -1;
}

} // namespace

XmlUtf8Source::XmlUtf8Source(Source source) : m_source(std::move(source)) {}

qint64 XmlUtf8Source::readSource(char* data, qint64 size)
{
    const qint64 read = m_source(data, size);
    if (read > 0)
        m_bytes += read;
    return read;
}

// Reads the beginning of the file and decides how it is handed on: as it is when it is UTF-8, else decoded.
bool XmlUtf8Source::start()
{
    m_started = true;
    QByteArray head;
    std::optional<QStringConverter::Encoding> detected;
    QString text;
    for (;;) {
        if (head.size() >= 4 || m_ended) {
            detected = QStringDecoder::encodingForData(head, u'<');
            text = QStringDecoder(detected.value_or(QStringConverter::Utf8))(head);
            if (m_ended || head.size() >= kHeadLimit || !declarationOpen(text))
                break;
        }
        const qsizetype at = head.size();
        head.resize(at + 4096);
        const qint64 read = readSource(head.data() + at, 4096);
        if (read < 0)
            return false;
        head.resize(at + read);
        m_ended = read == 0;
    }
    Declared declared = declaredEncoding(text);
    if (!detected || *detected == QStringConverter::Utf8) {
        if (declared.name.isEmpty() ||
            QStringDecoder::encodingForName(declared.name.toLatin1()) == QStringConverter::Utf8) {
            m_pending = head;
            return true;
        }
        m_decoder = QStringDecoder(declared.name.toLatin1().constData());
        if (!m_decoder.isValid()) {
            m_problem = QStringLiteral("il file dichiara la codifica «%1», che questo programma non legge: salvarlo "
                                       "in UTF-8")
                            .arg(cutForMessage(declared.name));
            return false;
        }
        m_encoding = declared.name;
        text = m_decoder(head);
        declared = declaredEncoding(text);
    } else {
        m_decoder = QStringDecoder(*detected);
        m_encoding = QString::fromLatin1(QStringConverter::nameForEncoding(*detected));
        text = m_decoder(head);
    }
    // A declaration naming another encoding would make the reader decode the text again.
    if (declared.at >= 0)
        text.replace(declared.at, declared.length, QString(declared.length, u' '));
    return setPending(text);
}

// Hands on `text` just decoded, once checked: bytes its encoding does not have are refused with the line of the
// first. A surrogate ending the block waits for its other half in the next.
bool XmlUtf8Source::setPending(QString text)
{
    if (!m_carry.isNull())
        text.prepend(std::exchange(m_carry, QChar()));
    if (!m_ended && !text.isEmpty() && text.back().isHighSurrogate()) {
        m_carry = text.back();
        text.chop(1);
    }
    const qsizetype bad =
        m_decoder.hasError() ? std::max<qsizetype>(text.indexOf(QChar::ReplacementCharacter), 0) : loneSurrogate(text);
    if (bad >= 0) {
        m_problem = QStringLiteral("il testo non è codificato correttamente in %1 (riga %2)")
                        .arg(m_encoding)
                        .arg(m_lines + 1 + QStringView(text).first(bad).count(u'\n'));
        return false;
    }
    m_pending = text.toUtf8();
    m_pendingAt = 0;
    m_lines += text.count(u'\n');
    return true;
}

// Decodes the next block of a file that is not UTF-8 into the bytes still to hand on.
bool XmlUtf8Source::transcode()
{
    QByteArray raw(kBlock, Qt::Uninitialized);
    const qint64 read = readSource(raw.data(), kBlock);
    if (read < 0)
        return false;
    m_ended = read == 0;
    return setPending(m_decoder(QByteArrayView(raw).first(read)));
}

qint64 XmlUtf8Source::read(char* data, qint64 size)
{
    if (!m_problem.isEmpty())
        return -1;
    if (!m_started && !start())
        return -1;
    while (m_pendingAt == m_pending.size()) {
        m_pending.clear();
        m_pendingAt = 0;
        if (m_ended)
            return 0;
        if (!m_decoder.isValid()) {
            const qint64 read = readSource(data, size);
            m_ended = read == 0;
            return read;
        }
        if (!transcode())
            return -1;
    }
    const qint64 n = std::min<qint64>(size, m_pending.size() - m_pendingAt);
    std::memcpy(data, m_pending.constData() + m_pendingAt, size_t(n));
    m_pendingAt += n;
    return n;
}

} // namespace builder
