#pragma once

#include <QIODevice>
#include <QString>

#include <functional>

namespace builder {

// Hands XML to a QXmlStreamReader from any source, refusing it at the first byte past a limit: the bytes
// of the whole part, the length of one piece (a text, a tag, a comment: the reader holds each whole) and the
// nesting depth (the readers descend into elements). A light scan of the bytes is enough for that; the XML
// itself is judged by the reader. Once a limit is hit the device reports an error, and problem() says which.
class XmlGuard : public QIODevice
{
public:
    // Reads up to `size` bytes into `data`: the count read, 0 at the end, -1 on a failure.
    using Source = std::function<qint64(char* data, qint64 size)>;

    XmlGuard(Source source, qint64 maxBytes);

    bool isSequential() const override { return true; }
    // Past a limit or a failure nothing more comes: a reader that asked again would wait for ever.
    bool atEnd() const override { return m_ended || m_sourceFailed || !m_problem.isEmpty(); }

    // The limit hit, as a message says it ("un elemento annidato oltre 256 livelli"); empty while none.
    const QString& problem() const { return m_problem; }
    // The source failed (a damaged part).
    bool sourceFailed() const { return m_sourceFailed; }
    // The line of the part reached, counted from 1.
    qint64 line() const { return m_line; }
    qint64 bytesRead() const { return m_bytes; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    enum class State { Text, Open, Tag, Bang, Comment, CData, Instruction, Declaration };
    bool scan(const char* data, qint64 size);
    void enter(State state);

    Source m_source;
    qint64 m_maxBytes;
    QString m_problem;
    bool m_ended = false;
    bool m_sourceFailed = false;
    qint64 m_bytes = 0;
    qint64 m_line = 1;

    State m_state = State::Text;
    qint64 m_pieceLength = 0;
    int m_depth = 0;
    char m_quote = 0;      // inside a tag: the quote of the attribute value being read
    bool m_endTag = false; // the tag is an end tag (</…>)
    char m_previous = 0;
    int m_matched = 0; // characters of "--" or "[CDATA[" seen after "<!"
    int m_closing = 0; // characters of the end of a comment, CDATA section or instruction seen
};

} // namespace builder
