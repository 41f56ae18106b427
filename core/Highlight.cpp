#include "core/Highlight.h"

#include "core/Dialect.h"

#include <algorithm>

namespace core {

namespace {

constexpr char16_t kEllipsis = 0x2026;

char32_t codePointAt(QStringView text, qsizetype i, qsizetype& next)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        next = i + 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    next = i + 1;
    return c.unicode();
}

// A text in upper case, as the search compares it, with the way back to the text's own positions when
// upper case changed its length ("ß" -> "SS").
struct Folded
{
    QString upper;
    // For each unit of upper: where its character starts and ends in the text. Empty when they line up.
    std::vector<qsizetype> from;
    std::vector<qsizetype> to;

    explicit Folded(QStringView text) : upper(text.toString().toUpper())
    {
        if (upper.size() == text.size())
            return;
        upper.clear();
        for (qsizetype i = 0; i < text.size();) {
            qsizetype next = i;
            const char32_t cp = codePointAt(text, i, next);
            const QString one = QString::fromUcs4(&cp, 1).toUpper();
            upper += one;
            from.insert(from.end(), one.size(), i);
            to.insert(to.end(), one.size(), next);
            i = next;
        }
    }

    TextRange original(qsizetype start, qsizetype end) const
    {
        if (from.empty())
            return {start, end - start};
        return {from[start], to[end - 1] - from[start]};
    }
};

} // namespace

HighlightPattern::HighlightPattern(QStringView searched)
{
    const QString pattern = searched.toString().toUpper();
    Piece piece;
    const auto endPiece = [&] {
        const bool onlyAnyChar =
            std::all_of(piece.begin(), piece.end(), [](const Token& t) { return t.kind == Token::AnyChar; });
        if (!onlyAnyChar) {
            // A character that is not a literal may be a surrogate pair.
            qsizetype units = 0;
            for (const Token& token : piece)
                units += token.kind == Token::Literal ? token.literal.size() : 2;
            m_reach = std::max(m_reach, units);
            m_pieces.push_back(std::move(piece));
        }
        piece.clear();
    };
    const auto addLiteral = [&](QStringView text) {
        if (piece.empty() || piece.back().kind != Token::Literal)
            piece.push_back(Token{Token::Literal, {}, {}, false});
        piece.back().literal += text;
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'*') {
            endPiece();
            ++i;
        } else if (c == u'?') {
            piece.push_back(Token{Token::AnyChar, {}, {}, false});
            ++i;
        } else if (c == u'#') {
            piece.push_back(Token{Token::Digit, {}, {}, false});
            ++i;
        } else if (c == u'[') {
            // A class needs its ']' and at least one member; otherwise the '[' is plain text.
            Token token{Token::Class, {}, {}, false};
            qsizetype j = i + 1;
            if (j < pattern.size() && pattern[j] == u'!') {
                token.negated = true;
                ++j;
            }
            std::vector<char32_t> members;
            qsizetype close = -1;
            while (j < pattern.size()) {
                if (pattern[j] == u']') {
                    close = j;
                    break;
                }
                qsizetype next = j;
                members.push_back(codePointAt(pattern, j, next));
                j = next;
            }
            if (close < 0 || members.empty()) {
                addLiteral(u"[");
                ++i;
                continue;
            }
            token.members = dialect::classRanges(members);
            piece.push_back(std::move(token));
            i = close + 1;
        } else {
            qsizetype next = i;
            codePointAt(pattern, i, next);
            addLiteral(QStringView(pattern).sliced(i, next - i));
            i = next;
        }
    }
    endPiece();
}

qsizetype HighlightPattern::matchAt(const Piece& piece, QStringView text, qsizetype at)
{
    qsizetype i = at;
    for (const Token& token : piece) {
        if (token.kind == Token::Literal) {
            if (!text.sliced(i).startsWith(token.literal))
                return -1;
            i += token.literal.size();
            continue;
        }
        if (i >= text.size())
            return -1;
        qsizetype next = i;
        const char32_t cp = codePointAt(text, i, next);
        if (token.kind == Token::Digit && (cp < U'0' || cp > U'9'))
            return -1;
        if (token.kind == Token::Class) {
            bool inside = false;
            for (const auto& [lo, hi] : token.members)
                inside = inside || (cp >= lo && cp <= hi);
            if (inside == token.negated)
                return -1;
        }
        i = next;
    }
    return i;
}

QList<TextRange> HighlightPattern::ranges(QStringView text) const
{
    if (m_pieces.empty() || text.isEmpty())
        return {};
    const Folded folded(text);
    const QStringView upper = folded.upper;
    // Each piece's occurrences, left to right, then all of them merged where they touch or overlap.
    std::vector<std::pair<qsizetype, qsizetype>> found;
    for (const Piece& piece : m_pieces) {
        const bool literalHead = piece.front().kind == Token::Literal;
        for (qsizetype i = 0; i < upper.size();) {
            if (literalHead) {
                i = upper.indexOf(piece.front().literal, i);
                if (i < 0)
                    break;
            }
            const qsizetype end = matchAt(piece, upper, i);
            if (end > i) {
                found.emplace_back(i, end);
                i = end;
                continue;
            }
            qsizetype next = i;
            codePointAt(upper, i, next);
            i = next;
        }
    }
    std::sort(found.begin(), found.end());
    QList<TextRange> ranges;
    qsizetype start = -1;
    qsizetype end = -1;
    for (const auto& [s, e] : found) {
        if (start >= 0 && s <= end) {
            end = std::max(end, e);
            continue;
        }
        if (start >= 0)
            ranges.append(folded.original(start, end));
        start = s;
        end = e;
    }
    if (start >= 0)
        ranges.append(folded.original(start, end));
    return ranges;
}

QList<TextRange> highlightRanges(QStringView text, QStringView searched)
{
    return HighlightPattern(searched).ranges(text);
}

qsizetype shownLength(QStringView text, QStringView shown)
{
    // A cut text shows a beginning of the text and then the ellipsis.
    if (shown == text)
        return text.size();
    return std::min(text.size(), shown.endsWith(QChar(kEllipsis)) ? shown.size() - 1 : shown.size());
}

QList<TextRange> shownRanges(const QList<TextRange>& ranges, QStringView text, QStringView shown)
{
    const qsizetype visible = shownLength(text, shown);
    QList<TextRange> kept;
    for (const TextRange& range : ranges) {
        if (range.start >= visible)
            break;
        kept.append({range.start, std::min(range.length, visible - range.start)});
    }
    return kept;
}

} // namespace core
