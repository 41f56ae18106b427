#include "core/Dialect.h"

#include <QChar>
#include <QString>

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace core {
namespace dialect {

namespace {

// A byte that does not begin a well-formed UTF-8 sequence is one character by itself. It decodes to a
// value past the last code point, so that it can equal nothing but the same byte: an overlong "*" must
// not turn into a wildcard, nor a stray lead byte into a letter.
constexpr char32_t kInvalidByte = 0x110000;

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Decodes one character at 'i' and advances past it. Only well-formed UTF-8 decodes to a code point: no
// overlong forms, no surrogates, nothing above U+10FFFF, no cut sequences.
char32_t decode(std::string_view s, size_t& i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    size_t extra = 0;
    unsigned char low = 0x80; // the range allowed for the second byte
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    }
    bool valid = extra > 0 && i + extra < s.size();
    if (valid) {
        const auto second = static_cast<unsigned char>(s[i + 1]);
        valid = second >= low && second <= high;
    }
    for (size_t k = 2; valid && k <= extra; ++k)
        valid = isContinuation(static_cast<unsigned char>(s[i + k]));
    if (!valid) {
        ++i;
        return kInvalidByte + c;
    }
    char32_t cp = c & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += extra + 1;
    return cp;
}

// Whether byte 'at' starts a character of 's' (or is its end): false inside a well-formed sequence.
bool atBoundary(std::string_view s, size_t at)
{
    if (at == 0 || at >= s.size() || !isContinuation(static_cast<unsigned char>(s[at])))
        return true;
    for (size_t back = 1; back <= 3 && back <= at; ++back) {
        if (!isContinuation(static_cast<unsigned char>(s[at - back]))) {
            size_t end = at - back;
            const char32_t cp = decode(s, end);
            return cp >= kInvalidByte || end <= at;
        }
    }
    return true;
}

void encode(char32_t cp, std::string& out)
{
    if (cp >= kInvalidByte) {
        out += static_cast<char>(cp - kInvalidByte);
    } else if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Code points whose upper case is more than one character ("ß" -> "SS", ligatures, some Greek).
bool hasSpecialUpper(char32_t cp)
{
    return cp == 0xDF || cp == 0x149 || cp == 0x1F0 || cp == 0x390 || cp == 0x3B0 || cp == 0x587 ||
           (cp >= 0x1E96 && cp <= 0x1E9A) || (cp >= 0x1F50 && cp <= 0x1FFF) || (cp >= 0xFB00 && cp <= 0xFB17);
}

char32_t simpleUpper(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    if (cp >= kInvalidByte)
        return cp;
    return QChar::toUpper(cp);
}

constexpr std::uint64_t kEachByte = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Upper-cases UTF-8 text into 'out' (reused between calls, so the hot loop allocates nothing). 'full'
// applies the multi-character mappings ("ß" -> "SS"); without it each character maps to one character,
// which is what case-insensitive matching needs.
void upperInto(std::string_view text, std::string& out, bool full)
{
    if (out.size() < text.size() + 16)
        out.resize(text.size() + 16);
    size_t o = 0;
    for (size_t i = 0; i < text.size();) {
        // Eight ASCII bytes at a time: most of the list's text is plain ASCII.
        while (i + 8 <= text.size()) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            if (word & kHighBits)
                break;
            // High bit of each byte: set where the byte is >= 'a', and where it is > 'z'.
            const std::uint64_t fromA = word + kEachByte * (0x80 - 'a');
            const std::uint64_t pastZ = word + kEachByte * (0x80 - 'z' - 1);
            word -= ((fromA & ~pastZ) & kHighBits) >> 2; // 0x80 >> 2 == 'a' - 'A'
            std::memcpy(out.data() + o, &word, 8);
            i += 8;
            o += 8;
        }
        if (i >= text.size())
            break;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out[o++] = static_cast<char>((c >= 'a' && c <= 'z') ? c - 32 : c);
            ++i;
            continue;
        }
        const char32_t cp = decode(text, i);
        // Room for the longest expansion of one character, plus the rest of the input.
        if (out.size() < o + (text.size() - i) + 16)
            out.resize(2 * out.size() + 16);
        if (full && hasSpecialUpper(cp)) {
            const QByteArray upper = QString::fromUcs4(&cp, 1).toUpper().toUtf8();
            if (out.size() < o + size_t(upper.size()) + (text.size() - i) + 16)
                out.resize(o + upper.size() + (text.size() - i) + 16);
            std::memcpy(out.data() + o, upper.constData(), upper.size());
            o += upper.size();
        } else {
            std::string encoded;
            encode(simpleUpper(cp), encoded);
            std::memcpy(out.data() + o, encoded.data(), encoded.size());
            o += encoded.size();
        }
    }
    out.resize(o);
}

// Case-folded copy used by the matcher: one character for one character.
void fold(std::string_view text, std::string& out)
{
    upperInto(text, out, false);
}

struct Token
{
    enum Kind {
        Literal,
        AnyChar,
        Digit,
        Class,
    } kind;
    std::string literal;                               // folded UTF-8, for Literal
    std::vector<std::pair<char32_t, char32_t>> ranges; // folded, for Class
    bool negated = false;
    bool invalidBytes = false; // the literal holds bytes that are not UTF-8
};

// A pattern is a list of segments separated by '*'; 'leading'/'trailing' say whether a '*' opens/closes it.
struct Pattern
{
    std::vector<std::vector<Token>> segments;
    bool leadingStar = false;
    bool trailingStar = false;
};

void addLiteral(std::vector<Token>& segment, std::string_view folded, bool invalid = false)
{
    if (segment.empty() || segment.back().kind != Token::Literal)
        segment.push_back(Token{Token::Literal, {}, {}, false});
    segment.back().literal += folded;
    segment.back().invalidBytes = segment.back().invalidBytes || invalid;
}

Pattern compile(std::string_view raw)
{
    std::string pattern;
    fold(raw, pattern);
    Pattern compiled;
    compiled.segments.emplace_back();
    bool lastWasStar = false;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        auto& segment = compiled.segments.back();
        lastWasStar = false;
        if (c == '*') {
            if (i == 0)
                compiled.leadingStar = true;
            if (!segment.empty())
                compiled.segments.emplace_back();
            lastWasStar = true;
            ++i;
        } else if (c == '?') {
            segment.push_back(Token{Token::AnyChar, {}, {}, false});
            ++i;
        } else if (c == '#') {
            segment.push_back(Token{Token::Digit, {}, {}, false});
            ++i;
        } else if (c == '[') {
            // A class needs its ']' and at least one member; otherwise the '[' is plain text.
            size_t j = i + 1;
            Token token{Token::Class, {}, {}, false};
            if (j < pattern.size() && pattern[j] == '!') {
                token.negated = true;
                ++j;
            }
            std::vector<char32_t> members;
            size_t close = std::string::npos;
            while (j < pattern.size()) {
                if (pattern[j] == ']') {
                    close = j;
                    break;
                }
                members.push_back(decode(pattern, j));
            }
            if (close == std::string::npos || members.empty()) {
                addLiteral(segment, "[");
                ++i;
                continue;
            }
            token.ranges = classRanges(members);
            segment.push_back(std::move(token));
            i = close + 1;
        } else {
            const size_t start = i;
            const char32_t cp = decode(pattern, i);
            addLiteral(segment, std::string_view(pattern).substr(start, i - start), cp >= kInvalidByte);
        }
    }
    compiled.trailingStar = lastWasStar;
    if (compiled.segments.back().empty() && compiled.segments.size() > 1)
        compiled.segments.pop_back();
    return compiled;
}

// Matches one segment at byte position 'at' of the folded text; returns the end position or npos.
size_t matchAt(const std::vector<Token>& segment, std::string_view text, size_t at)
{
    size_t i = at;
    for (const Token& token : segment) {
        switch (token.kind) {
        case Token::Literal:
            if (text.compare(i, token.literal.size(), token.literal) != 0)
                return std::string::npos;
            i += token.literal.size();
            // Bytes that are not UTF-8 may equal the head or the tail of a real character.
            if (token.invalidBytes && !atBoundary(text, i))
                return std::string::npos;
            break;
        case Token::AnyChar:
            if (i >= text.size())
                return std::string::npos;
            decode(text, i);
            break;
        case Token::Digit:
            if (i >= text.size() || text[i] < '0' || text[i] > '9')
                return std::string::npos;
            ++i;
            break;
        case Token::Class: {
            if (i >= text.size())
                return std::string::npos;
            const char32_t cp = decode(text, i);
            bool inside = false;
            for (const auto& [lo, hi] : token.ranges)
                inside = inside || (cp >= lo && cp <= hi);
            if (inside == token.negated)
                return std::string::npos;
            break;
        }
        }
    }
    return i;
}

// Leftmost occurrence of a segment at or after 'from'; returns {start, end} or npos.
std::pair<size_t, size_t> find(const std::vector<Token>& segment, std::string_view text, size_t from)
{
    const bool literalHead = segment.front().kind == Token::Literal;
    size_t i = from;
    while (i <= text.size()) {
        if (literalHead) {
            i = text.find(segment.front().literal, i);
            if (i == std::string::npos)
                return {std::string::npos, std::string::npos};
            if (segment.front().invalidBytes && !atBoundary(text, i)) {
                ++i;
                continue;
            }
        }
        const size_t end = matchAt(segment, text, i);
        if (end != std::string::npos)
            return {i, end};
        if (i == text.size())
            break;
        decode(text, i);
    }
    return {std::string::npos, std::string::npos};
}

bool matches(const Pattern& pattern, std::string_view text)
{
    const auto& segments = pattern.segments;
    if (segments.size() == 1 && segments.front().empty())
        return pattern.leadingStar || text.empty();

    size_t pos = 0;
    size_t first = 0;
    if (!pattern.leadingStar) {
        pos = matchAt(segments.front(), text, 0);
        if (pos == std::string::npos)
            return false;
        if (segments.size() == 1)
            return pattern.trailingStar || pos == text.size();
        first = 1;
    }
    const size_t last = pattern.trailingStar ? segments.size() : segments.size() - 1;
    for (size_t s = first; s < last; ++s) {
        const auto [start, end] = find(segments[s], text, pos);
        if (start == std::string::npos)
            return false;
        pos = end;
    }
    if (pattern.trailingStar)
        return true;
    // The last segment must end the text: try it at every position from the right place on.
    const auto& tail = segments.back();
    for (size_t i = pos; i <= text.size();) {
        if (matchAt(tail, text, i) == text.size())
            return true;
        if (i == text.size())
            break;
        decode(text, i);
    }
    return false;
}

} // namespace

std::string mid(std::string_view utf8, long long start, long long length)
{
    size_t i = 0;
    for (long long skip = start - 1; skip > 0 && i < utf8.size(); --skip)
        decode(utf8, i);
    if (length < 0)
        return std::string(utf8.substr(i));
    size_t end = i;
    for (long long take = length; take > 0 && end < utf8.size(); --take)
        decode(utf8, end);
    return std::string(utf8.substr(i, end - i));
}

std::string ucase(std::string_view utf8)
{
    std::string out;
    upperInto(utf8, out, true);
    return out;
}

std::vector<std::pair<char32_t, char32_t>> classRanges(const std::vector<char32_t>& members)
{
    std::vector<std::pair<char32_t, char32_t>> ranges;
    for (size_t m = 0; m < members.size(); ++m) {
        // A range needs two real characters: a byte that is not UTF-8 only ever matches itself.
        if (m + 2 < members.size() && members[m + 1] == U'-' && members[m] < kInvalidByte &&
            members[m + 2] < kInvalidByte) {
            ranges.emplace_back(std::min(members[m], members[m + 2]), std::max(members[m], members[m + 2]));
            m += 2;
        } else {
            ranges.emplace_back(members[m], members[m]);
        }
    }
    return ranges;
}

bool like(std::string_view pattern, std::string_view text)
{
    std::string folded;
    fold(text, folded);
    return matches(compile(pattern), folded);
}

} // namespace dialect

namespace {

std::string_view textArg(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return {text ? text : "", static_cast<size_t>(sqlite3_value_bytes(value))};
}

void resultText(sqlite3_context* context, const std::string& text)
{
    sqlite3_result_text64(context, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void sqlMid(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL ||
        (argc == 3 && sqlite3_value_type(argv[2]) == SQLITE_NULL)) {
        sqlite3_result_null(context);
        return;
    }
    const long long start = sqlite3_value_int64(argv[1]);
    const long long length = argc == 3 ? sqlite3_value_int64(argv[2]) : -1;
    if (start < 1 || (argc == 3 && length < 0)) {
        sqlite3_result_error(context, "mid: la posizione iniziale deve essere almeno 1 e la lunghezza non negativa",
                             -1);
        return;
    }
    resultText(context, dialect::mid(textArg(argv[0]), start, length));
}

// Marks the results of ucase, so that like knows its text needs no folding ("ucase(x) like '*WORD*'").
constexpr unsigned kUpperCased = 'U';

void sqlUcase(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    thread_local std::string upper;
    dialect::upperInto(textArg(argv[0]), upper, true);
    resultText(context, upper);
    sqlite3_result_subtype(context, kUpperCased);
}

void deletePattern(void* pattern)
{
    delete static_cast<dialect::Pattern*>(pattern);
}

// SQLite calls like(pattern, text) for "text like pattern".
void sqlLike(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    // The pattern is usually a constant: compile it once per statement.
    auto* pattern = static_cast<dialect::Pattern*>(sqlite3_get_auxdata(context, 0));
    if (!pattern) {
        auto compiled = std::make_unique<dialect::Pattern>(dialect::compile(textArg(argv[0])));
        pattern = compiled.get();
        sqlite3_set_auxdata(context, 0, compiled.release(), deletePattern);
        // set_auxdata may have destroyed it at once (non-constant pattern): fetch it back.
        auto* kept = static_cast<dialect::Pattern*>(sqlite3_get_auxdata(context, 0));
        if (kept != pattern) {
            const bool result = dialect::like(textArg(argv[0]), textArg(argv[1]));
            sqlite3_result_int(context, result ? 1 : 0);
            return;
        }
    }
    // Upper case is already folded: each character of it folds to itself.
    if (sqlite3_value_subtype(argv[1]) == kUpperCased) {
        sqlite3_result_int(context, dialect::matches(*pattern, textArg(argv[1])) ? 1 : 0);
        return;
    }
    thread_local std::string folded;
    dialect::fold(textArg(argv[1]), folded);
    sqlite3_result_int(context, dialect::matches(*pattern, folded) ? 1 : 0);
}

} // namespace

int registerDialect(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_function_v2(db, "mid", 2, flags, nullptr, sqlMid, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "mid", 3, flags, nullptr, sqlMid, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "ucase", 1, flags, nullptr, sqlUcase, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "like", 2, flags, nullptr, sqlLike, nullptr, nullptr, nullptr);
    return rc;
}

} // namespace core
