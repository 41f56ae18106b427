#include "XmlGuard.h"

#include "InputLimits.h"

#include <string_view>

namespace builder {

XmlGuard::XmlGuard(Source source, qint64 maxBytes) : m_source(std::move(source)), m_maxBytes(maxBytes)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 XmlGuard::readData(char* data, qint64 maxSize)
{
    if (!m_problem.isEmpty() || m_sourceFailed)
        return -1;
    if (m_ended)
        return 0;
    const qint64 size = m_source(data, maxSize);
    if (size < 0) {
        m_sourceFailed = true;
        return -1;
    }
    if (size == 0) {
        m_ended = true;
        return 0;
    }
    m_bytes += size;
    if (m_bytes > m_maxBytes) {
        m_problem = QStringLiteral("supera il limite di %1 di dati").arg(limits::bytesText(m_maxBytes));
        return -1;
    }
    return scan(data, size) ? size : -1;
}

void XmlGuard::enter(State state)
{
    m_state = state;
    m_pieceLength = 0;
    m_closing = 0;
    m_quote = 0;
    m_matched = 0;
}

bool XmlGuard::scan(const char* data, qint64 size)
{
    static constexpr std::string_view kComment = "--";
    static constexpr std::string_view kCData = "[CDATA[";
    for (qint64 i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n')
            ++m_line;
        if (++m_pieceLength > limits::kMaxXmlPiece) {
            m_problem = QStringLiteral("un testo o un elemento XML supera il limite di %1")
                            .arg(limits::bytesText(limits::kMaxXmlPiece));
            return false;
        }
        switch (m_state) {
        case State::Text:
            if (c == '<')
                enter(State::Open);
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
                if (c == m_quote)
                    m_quote = 0;
            } else if (c == '"' || c == '\'') {
                m_quote = c;
            } else if (c == '>') {
                if (m_endTag) {
                    m_depth = m_depth > 0 ? m_depth - 1 : 0;
                } else if (m_previous != '/' && ++m_depth > limits::kMaxXmlDepth) {
                    m_problem =
                        QStringLiteral("elementi XML annidati oltre il limite di %1 livelli").arg(limits::kMaxXmlDepth);
                    return false;
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
                if (c == '[')
                    m_quote = '[';
                else if (c == '>')
                    enter(State::Text);
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
            // An internal subset [ … ] holds declarations with their own '>'.
            if (c == '[')
                m_quote = '[';
            else if (c == ']')
                m_quote = 0;
            else if (c == '>' && !m_quote)
                enter(State::Text);
            break;
        }
        m_previous = c;
    }
    return true;
}

} // namespace builder
