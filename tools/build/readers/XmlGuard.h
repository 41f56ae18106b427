#pragma once

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <QXmlStreamReader>

#include "tools/build/readers/XmlEncoding.h"

#include <functional>
#include <optional>

namespace builder {

// Hands XML to a QXmlStreamReader from any source, refusing it at the first character past a limit: the
// characters of the whole part, the length of one piece (a text, a tag with its attributes, a comment, the
// DOCTYPE: the reader holds each whole, entity references expanded) and the nesting depth. The XML itself is
// judged by the reader.
//
// The reader is always handed UTF-8 (XmlUtf8Source decodes a file in another encoding): the guard counts
// exactly the characters the reader sees, and no byte of a wider encoding can hide a tag from it. Bytes that are
// not valid UTF-8 are refused with their line.
//
// Entities: internal ones are counted at their expanded length wherever they are used (texts and attribute
// values), and their expansion over the whole part is limited; a reference to an external one is refused
// (the reader would silently leave it out); a DTD that gives attributes default values or uses parameter
// entities is refused, because each would add text the guard cannot count.
//
// Once a limit is hit the device reports an error, and problem() says which.
class XmlGuard : public QIODevice
{
public:
    // Reads up to `size` bytes into `data`: the count read, 0 at the end, -1 on a failure.
    using Source = XmlUtf8Source::Source;

    XmlGuard(Source source, qint64 maxCharacters);

    bool isSequential() const override { return true; }
    // Past a limit or a failure nothing more comes: a reader that asked again would wait for ever.
    bool atEnd() const override { return m_ended || m_sourceFailed || !m_problem.isEmpty(); }

    // The limit hit, as a message says it ("elementi XML annidati oltre il limite di 256 livelli"); empty while
    // none.
    const QString& problem() const { return m_problem; }
    // The source failed (a damaged part).
    bool sourceFailed() const { return m_sourceFailed; }
    // The line reached, counted from 1.
    qint64 line() const { return m_line; }
    // Bytes of the source read so far (the file's own bytes, whatever its encoding).
    qint64 bytesRead() const { return m_input.bytesRead(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    enum class State { Text, Open, Tag, Bang, Comment, CData, Instruction, Declaration };
    // Where the DOCTYPE declaration stands: before or after its internal subset, or in it.
    enum class Dtd { Outside, Subset, SubsetOpen, SubsetBang, Markup, SubsetComment, SubsetInstruction };
    struct Entity
    {
        QByteArray value;   // as declared, references unexpanded
        QByteArray system;  // an external entity's file
        qint64 length = -1; // characters once expanded; -1 until computed
    };

    bool fail(const QString& problem);
    bool count(qint64 characters);
    bool scan(const char* data, qint64 size);
    bool endOfInput();
    void enter(State state);
    bool dtd(char c);
    bool declare(const QByteArray& markup);
    qint64 expandedLength(const QByteArray& name, int depth);
    bool reference();

    XmlUtf8Source m_input;
    qint64 m_maxCharacters;
    QString m_problem;
    bool m_ended = false;
    bool m_sourceFailed = false;
    qint64 m_line = 1;
    qint64 m_characters = 0;

    // UTF-8 as it is scanned: continuation bytes still due, and the range the next one must fall in.
    int m_utf8Due = 0;
    unsigned char m_utf8Low = 0x80;
    unsigned char m_utf8High = 0xBF;

    State m_state = State::Text;
    qint64 m_pieceLength = 0;
    int m_depth = 0;
    char m_quote = 0;      // inside a tag: the quote of the attribute value being read
    bool m_endTag = false; // the tag is an end tag (</…>)
    char m_previous = 0;
    int m_matched = 0; // characters of "--" or "[CDATA[" seen after "<!"
    int m_closing = 0; // characters of the end of a comment, CDATA section or instruction seen

    Dtd m_dtd = Dtd::Outside;
    char m_literal = 0;  // in the DOCTYPE: the quote of the literal being read
    QByteArray m_markup; // the markup declaration of the internal subset being read
    bool m_inReference = false;
    QByteArray m_reference; // the name of the entity reference being read
    QHash<QByteArray, Entity> m_entities;
    qint64 m_expansion = 0; // characters entities added to the part, beyond their references
};

// The text of the element the reader stands on (at its start tag), its children's texts included, read to its
// end tag without recursion. Comments and instructions between its pieces do not restart the count: past
// limits::kMaxFieldText characters it stops and gives nullopt, leaving the reader inside the element. On an
// XML error it gives nullopt too, and the reader hasError().
std::optional<QString> elementText(QXmlStreamReader& xml);

} // namespace builder
