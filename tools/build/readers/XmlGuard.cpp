#include "tools/build/readers/XmlGuard.h"

#include "tools/build/readers/InputLimits.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace builder {

namespace {

// An entity's name, and the entities inside one another's values the guard follows.
constexpr qsizetype kMaxEntityName = 1024;
constexpr int kMaxEntityDepth = 16;
// A count that has passed every limit: saturated, so that nested entities cannot overflow it.
constexpr qint64 kSaturated = qint64(1) << 40;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

XmlGuard::XmlGuard(Source source, qint64 maxCharacters) : m_input(std::move(source)), m_maxCharacters(maxCharacters)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool XmlGuard::fail(const QString& problem)
{
    if (m_problem.isEmpty())
        m_problem = problem;
    return false;
}

qint64 XmlGuard::readData(char* data, qint64 maxSize)
{
    if (!m_problem.isEmpty() || m_sourceFailed)
        return -1;
    if (m_ended)
        return 0;
    const qint64 read = m_input.read(data, maxSize);
    if (read < 0) {
        if (m_input.problem().isEmpty())
            m_sourceFailed = true;
        else
            fail(m_input.problem());
        return -1;
    }
    if (read == 0) {
        m_ended = true;
        return endOfInput() ? 0 : -1;
    }
    return scan(data, read) ? read : -1;
}

bool XmlGuard::endOfInput()
{
    if (m_utf8Due > 0)
        return fail(QStringLiteral("il file finisce a metà di un carattere UTF-8 (riga %1)").arg(m_line));
    return true;
}

// Characters handed to the reader: those of the piece being read, and of the whole part.
bool XmlGuard::count(qint64 characters)
{
    m_pieceLength += characters;
    m_characters += characters;
    if (m_pieceLength > limits::kMaxXmlPiece)
        return fail(QStringLiteral("un testo o un elemento XML supera il limite di %1")
                        .arg(limits::charactersText(limits::kMaxXmlPiece)));
    if (m_characters > m_maxCharacters)
        return fail(QStringLiteral("il file supera il limite di %1").arg(limits::charactersText(m_maxCharacters)));
    return true;
}

void XmlGuard::enter(State state)
{
    m_state = state;
    m_pieceLength = 0;
    m_closing = 0;
    m_quote = 0;
    m_matched = 0;
    m_inReference = false;
    m_dtd = Dtd::Outside;
    m_literal = 0;
}

bool XmlGuard::scan(const char* data, qint64 size)
{
    static constexpr std::string_view kComment = "--";
    static constexpr std::string_view kCData = "[CDATA[";
    for (qint64 i = 0; i < size; ++i) {
        // Most bytes are text or attribute values that change no state: counted a run at a time.
        const char stop = m_utf8Due > 0 || m_inReference ? 0
                          : m_state == State::Text       ? '<'
                          : m_state == State::Tag        ? m_quote
                                                         : 0;
        if (stop) {
            qint64 end = i;
            while (end < size && data[end] != stop && data[end] != '&' && data[end] != '\n' &&
                   static_cast<unsigned char>(data[end]) < 0x80)
                ++end;
            if (end > i) {
                m_characters += end - i;
                m_pieceLength += end - i;
                if (m_pieceLength > limits::kMaxXmlPiece || m_characters > m_maxCharacters)
                    return count(0);
                m_previous = data[end - 1];
                i = end;
                if (i == size)
                    break;
            }
        }
        const char c = data[i];
        const auto byte = static_cast<unsigned char>(c);
        // UTF-8 as RFC 3629 has it: no overlong forms, no surrogates, nothing past U+10FFFF.
        if (m_utf8Due > 0) {
            if (byte < m_utf8Low || byte > m_utf8High)
                return fail(QStringLiteral("il testo non è codificato correttamente in UTF-8 (riga %1): salvare il "
                                           "file in UTF-8, o dichiararne la codifica (<?xml version=\"1.0\" "
                                           "encoding=\"…\"?>)")
                                .arg(m_line));
            m_utf8Low = 0x80;
            m_utf8High = 0xBF;
            --m_utf8Due;
        } else {
            if (byte >= 0x80) {
                if (byte >= 0xC2 && byte <= 0xDF) {
                    m_utf8Due = 1;
                } else if (byte >= 0xE0 && byte <= 0xEF) {
                    m_utf8Due = 2;
                    m_utf8Low = byte == 0xE0 ? 0xA0 : 0x80;
                    m_utf8High = byte == 0xED ? 0x9F : 0xBF;
                } else if (byte >= 0xF0 && byte <= 0xF4) {
                    m_utf8Due = 3;
                    m_utf8Low = byte == 0xF0 ? 0x90 : 0x80;
                    m_utf8High = byte == 0xF4 ? 0x8F : 0xBF;
                } else {
                    m_utf8Due = 1;
                    m_utf8Low = 1;
                    m_utf8High = 0; // no byte fits: refused with the next one
                }
            }
            ++m_characters;
            if (++m_pieceLength > limits::kMaxXmlPiece || m_characters > m_maxCharacters)
                return count(0);
        }
        if (c == '\n')
            ++m_line;
        if (m_inReference) {
            if (c == ';') {
                m_inReference = false;
                if (!reference())
                    return false;
                m_previous = c;
                continue;
            }
            if (!isSpace(c) && c != '<' && c != '>' && c != '&' && c != '"' && c != '\'') {
                if (m_reference.size() <= kMaxEntityName)
                    m_reference += c;
                m_previous = c;
                continue;
            }
            m_inReference = false; // not a reference: the reader refuses it
        }
        switch (m_state) {
        case State::Text:
            if (c == '<') {
                enter(State::Open);
            } else if (c == '&') {
                m_inReference = true;
                m_reference.clear();
            }
            break;
        case State::Open:
            if (c == '!') {
                m_state = State::Bang;
                break;
            }
            if (c == '?') {
                m_state = State::Instruction;
                break;
            }
            m_state = State::Tag;
            m_endTag = c == '/';
            if (c != '>')
                break;
            [[fallthrough]];
        case State::Tag:
            if (m_quote) {
                if (c == m_quote) {
                    m_quote = 0;
                } else if (c == '&') {
                    m_inReference = true;
                    m_reference.clear();
                }
            } else if (c == '"' || c == '\'') {
                m_quote = c;
            } else if (c == '>') {
                if (m_endTag) {
                    m_depth = m_depth > 0 ? m_depth - 1 : 0;
                } else if (m_previous != '/' && ++m_depth > limits::kMaxXmlDepth) {
                    return fail(QStringLiteral("elementi XML annidati oltre il limite di %1 livelli")
                                    .arg(limits::kMaxXmlDepth));
                }
                enter(State::Text);
            }
            break;
        case State::Bang: {
            // "<!--", "<![CDATA[" or a declaration such as <!DOCTYPE …>.
            const auto matches = [&](std::string_view opening) {
                return size_t(m_matched) < opening.size() && opening[size_t(m_matched)] == c;
            };
            const bool comment = matches(kComment) && m_closing != 2;
            const bool cdata = matches(kCData) && m_closing != 1;
            if (!comment && !cdata) {
                enter(State::Declaration);
                if (!dtd(c))
                    return false;
                break;
            }
            // m_closing remembers which opening the characters so far belong to: 1 comment, 2 CDATA.
            m_closing = comment ? 1 : 2;
            if (++m_matched == int((comment ? kComment : kCData).size()))
                enter(comment ? State::Comment : State::CData);
            break;
        }
        case State::Comment:
        case State::CData: {
            const char closing = m_state == State::Comment ? '-' : ']';
            if (c == closing)
                m_closing = m_closing < 2 ? m_closing + 1 : 2;
            else if (c == '>' && m_closing == 2)
                enter(State::Text);
            else
                m_closing = 0;
            break;
        }
        case State::Instruction:
            if (c == '>' && m_closing == 1)
                enter(State::Text);
            else
                m_closing = c == '?' ? 1 : 0;
            break;
        case State::Declaration:
            if (!dtd(c))
                return false;
            break;
        }
        m_previous = c;
    }
    return true;
}

// One character of a DOCTYPE declaration: its literals, its internal subset and the markup declarations in it,
// so that a quote or bracket inside a literal or a comment cannot end it early, and the entities it declares
// are known before they are used.
bool XmlGuard::dtd(char c)
{
    if (m_dtd == Dtd::Markup)
        m_markup += c;
    if (m_literal) {
        if (c == m_literal)
            m_literal = 0;
        return true;
    }
    switch (m_dtd) {
    case Dtd::Outside:
        if (c == '"' || c == '\'')
            m_literal = c;
        else if (c == '[')
            m_dtd = Dtd::Subset;
        else if (c == '>')
            enter(State::Text);
        break;
    case Dtd::Subset:
        if (c == ']')
            m_dtd = Dtd::Outside;
        else if (c == '<')
            m_dtd = Dtd::SubsetOpen;
        else if (c == '%')
            return fail(QStringLiteral("la DTD del file usa entità parametro (%nome;), che questo programma non "
                                       "ammette"));
        break;
    case Dtd::SubsetOpen:
        m_matched = 0;
        m_closing = 0;
        if (c == '!') {
            m_dtd = Dtd::SubsetBang;
        } else if (c == '?') {
            m_dtd = Dtd::SubsetInstruction;
        } else {
            m_dtd = Dtd::Markup; // not well-formed: the reader says so
            m_markup = QByteArray("<") + c;
        }
        break;
    case Dtd::SubsetBang:
        if (c == '-') {
            if (++m_matched == 2)
                m_dtd = Dtd::SubsetComment;
            break;
        }
        m_dtd = Dtd::Markup;
        m_markup = QByteArray("<!") + c;
        if (c == '"' || c == '\'')
            m_literal = c;
        break;
    case Dtd::Markup:
        if (c == '"' || c == '\'') {
            m_literal = c;
        } else if (c == '>') {
            m_dtd = Dtd::Subset;
            const bool declared = declare(m_markup);
            m_markup.clear();
            return declared;
        }
        break;
    case Dtd::SubsetComment:
        if (c == '-')
            m_closing = m_closing < 2 ? m_closing + 1 : 2;
        else if (c == '>' && m_closing == 2)
            m_dtd = Dtd::Subset;
        else
            m_closing = 0;
        break;
    case Dtd::SubsetInstruction:
        if (c == '>' && m_closing == 1)
            m_dtd = Dtd::Subset;
        else
            m_closing = c == '?' ? 1 : 0;
        break;
    }
    return true;
}

// A markup declaration of the internal subset, whole: an entity is kept, a default value refused.
bool XmlGuard::declare(const QByteArray& markup)
{
    const auto parameterReference = [&](QByteArrayView text) {
        for (qsizetype at = text.indexOf('%'); at >= 0; at = text.indexOf('%', at + 1)) {
            if (at + 1 < text.size() && !isSpace(text[at + 1]))
                return true;
        }
        return false;
    };
    if (markup.startsWith("<!ATTLIST")) {
        if (markup.contains('"') || markup.contains('\''))
            return fail(QStringLiteral("la DTD del file dà valori predefiniti agli attributi (<!ATTLIST …>), che "
                                       "questo programma non ammette"));
        return true;
    }
    if (parameterReference(markup))
        return fail(QStringLiteral("la DTD del file usa entità parametro (%nome;), che questo programma non ammette"));
    if (!markup.startsWith("<!ENTITY"))
        return true;
    qsizetype at = 8;
    const auto skipSpace = [&] {
        while (at < markup.size() && isSpace(markup[at]))
            ++at;
    };
    const auto word = [&] {
        const qsizetype from = at;
        while (at < markup.size() && !isSpace(markup[at]) && markup[at] != '"' && markup[at] != '\'' &&
               markup[at] != '>')
            ++at;
        return markup.mid(from, at - from);
    };
    const auto literal = [&]() -> std::optional<QByteArray> {
        skipSpace();
        if (at >= markup.size() || (markup[at] != '"' && markup[at] != '\''))
            return std::nullopt;
        const qsizetype end = markup.indexOf(markup[at], at + 1);
        if (end < 0)
            return std::nullopt;
        const QByteArray value = markup.mid(at + 1, end - at - 1);
        at = end + 1;
        return value;
    };
    skipSpace();
    if (at < markup.size() && markup[at] == '%')
        return true; // a parameter entity: its references are refused
    const QByteArray name = word();
    if (name.size() > kMaxEntityName)
        return fail(
            QStringLiteral("la DTD del file dichiara un'entità dal nome più lungo di %1 byte").arg(kMaxEntityName));
    Entity entity;
    skipSpace();
    const QByteArray kind = word();
    if (kind.isEmpty()) {
        const std::optional<QByteArray> value = literal();
        if (!value)
            return true; // not well-formed: the reader says so
        entity.value = *value;
    } else if (kind == "SYSTEM" || kind == "PUBLIC") {
        if (kind == "PUBLIC" && !literal())
            return true;
        const std::optional<QByteArray> system = literal();
        if (!system)
            return true;
        entity.system = system->isEmpty() ? QByteArray("?") : *system;
    } else {
        return true;
    }
    // The first declaration of a name is the one that counts.
    if (!m_entities.contains(name))
        m_entities.insert(name, entity);
    return true;
}

// The characters `name` expands into, its references followed; -1 with the problem set when it cannot be
// counted (an external entity inside it, a loop, too deep a chain).
qint64 XmlGuard::expandedLength(const QByteArray& name, int depth)
{
    const auto found = m_entities.constFind(name);
    if (found == m_entities.constEnd())
        return 0; // not declared: the reader refuses it
    if (found->length >= 0)
        return found->length;
    if (!found->system.isEmpty()) {
        fail(QStringLiteral("il testo usa l'entità &%1;, che rimanda al file esterno «%2»: questo programma legge "
                            "solo il file indicato, e la sua parte di testo andrebbe persa")
                 .arg(cutForMessage(QString::fromUtf8(name)), cutForMessage(QString::fromUtf8(found->system))));
        return -1;
    }
    if (depth > kMaxEntityDepth) {
        fail(QStringLiteral("entità XML che ne contengono altre oltre %1 livelli").arg(kMaxEntityDepth));
        return -1;
    }
    const QByteArray value = found->value;
    qint64 length = 0;
    for (qsizetype at = 0; at < value.size(); ++at) {
        const char c = value[at];
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80)
            continue;
        const qsizetype end = c == '&' ? value.indexOf(';', at) : -1;
        if (end < 0) {
            ++length;
            continue;
        }
        const QByteArray inner = value.mid(at + 1, end - at - 1);
        at = end;
        if (inner.startsWith('#')) {
            ++length;
            continue;
        }
        const qint64 innerLength = expandedLength(inner, depth + 1);
        if (innerLength < 0)
            return -1;
        length = std::min(length + innerLength, kSaturated);
    }
    m_entities[name].length = length;
    return length;
}

// An entity reference just read, in a text or an attribute value: counted at its expanded length.
bool XmlGuard::reference()
{
    static const QByteArray predefined[] = {"lt", "gt", "amp", "apos", "quot"};
    if (m_reference.startsWith('#') ||
        std::find(std::begin(predefined), std::end(predefined), m_reference) != std::end(predefined))
        return true;
    const qint64 length = expandedLength(m_reference, 0);
    if (length < 0)
        return false;
    m_expansion += std::max<qint64>(0, length - m_reference.size() - 2);
    if (m_expansion > limits::kMaxEntityExpansion)
        return fail(QStringLiteral("le entità del file si espandono oltre il limite di %1")
                        .arg(limits::charactersText(limits::kMaxEntityExpansion)));
    return count(length);
}

std::optional<QString> elementText(QXmlStreamReader& xml)
{
    QString text;
    for (int depth = 1; depth > 0;) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            if (text.size() + xml.text().size() > limits::kMaxFieldText)
                return std::nullopt;
            text += xml.text();
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Invalid:
        case QXmlStreamReader::EndDocument:
            return std::nullopt;
        default:
            break;
        }
    }
    return text;
}

} // namespace builder
