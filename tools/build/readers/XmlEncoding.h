#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <functional>

namespace builder {

// The bytes of an XML file or part as UTF-8, whatever its encoding. UTF-8 passes through untouched; UTF-16 or
// UTF-32 (with or without a byte-order mark) and a single-byte encoding the XML declaration names are decoded,
// and the declaration then names none, so that the reader decodes nothing again (spaces take its place, and
// every column stays where it was). Bytes the encoding does not have are refused with their line; UTF-8 itself
// is checked by the reader of these bytes.
class XmlUtf8Source
{
public:
    // Reads up to `size` bytes into `data`: the count read, 0 at the end, -1 on a failure.
    using Source = std::function<qint64(char* data, qint64 size)>;

    explicit XmlUtf8Source(Source source);

    // Up to `size` bytes of UTF-8: the count, 0 at the end, -1 when the source failed or the text cannot be
    // decoded (problem() then says why and where).
    qint64 read(char* data, qint64 size);

    const QString& problem() const { return m_problem; }
    // Bytes of the source read so far: the file's own, whatever its encoding.
    qint64 bytesRead() const { return m_bytes; }

private:
    qint64 readSource(char* data, qint64 size);
    bool start();
    bool transcode();
    bool setPending(QString text);

    Source m_source;
    QString m_problem;
    bool m_started = false;
    bool m_ended = false;
    qint64 m_bytes = 0;
    QStringDecoder m_decoder; // invalid while the file is UTF-8
    QString m_encoding;
    QByteArray m_pending; // decoded, not yet handed on
    qsizetype m_pendingAt = 0;
    qint64 m_lines = 0; // line breaks in what was decoded, for the line of a fault
    QChar m_carry;      // a surrogate that ended the last block
};

} // namespace builder
