// fuzz_dialect: mid, ucase and like of the SQL dialect, called directly and through SQLite, against a
// plain reference written here from the dialect's rules.
//
// Input: byte 0 gives mid's start (1 + byte), byte 1 its length (-1 when the high bit is set, else the
// low seven bits); the rest is the pattern, a NUL byte, then the text (which may hold further NULs).
#include "core/Dialect.h"

#include <QChar>
#include <QString>

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// One unit of text: a code point of a well-formed UTF-8 sequence, or a byte that starts none.
struct Unit
{
    char32_t value; // the code point, or the byte itself when !valid
    bool valid;
    std::string_view bytes;

    bool operator==(const Unit& other) const { return value == other.value && valid == other.valid; }
    bool is(char c) const { return valid && value == static_cast<unsigned char>(c); }
};

// Strict UTF-8 (RFC 3629): the shortest form only, no surrogates, nothing above U+10FFFF, no cut sequences.
std::vector<Unit> decode(std::string_view s)
{
    std::vector<Unit> units;
    size_t i = 0;
    while (i < s.size()) {
        const auto lead = static_cast<unsigned char>(s[i]);
        size_t length = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            length = 1;
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07;
        }
        bool ok = length > 0 && i + length <= s.size();
        for (size_t k = 1; ok && k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            ok = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (ok) {
            const char32_t shortest = length == 1 ? 0 : length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
            ok = cp >= shortest && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        }
        if (ok) {
            units.push_back({cp, true, s.substr(i, length)});
            i += length;
        } else {
            units.push_back({lead, false, s.substr(i, 1)});
            ++i;
        }
    }
    return units;
}

std::string join(const std::vector<Unit>& units, size_t from, size_t to)
{
    std::string out;
    for (size_t i = from; i < to; ++i)
        out += units[i].bytes;
    return out;
}

std::string refMid(std::string_view s, long long start, long long length)
{
    const std::vector<Unit> units = decode(s);
    const size_t from = std::min(units.size(), static_cast<size_t>(start - 1));
    const size_t to = length < 0 ? units.size() : std::min(units.size(), from + static_cast<size_t>(length));
    return join(units, from, to);
}

std::string refUcase(std::string_view s)
{
    std::string out;
    for (const Unit& unit : decode(s)) {
        if (unit.valid)
            out += QString::fromUcs4(&unit.value, 1).toUpper().toStdString();
        else
            out += unit.bytes;
    }
    return out;
}

std::vector<Unit> fold(std::string_view s)
{
    std::vector<Unit> units = decode(s);
    for (Unit& unit : units)
        if (unit.valid)
            unit.value = QChar::toUpper(unit.value);
    return units;
}

struct Token
{
    enum Kind {
        Star,
        AnyUnit,
        Digit,
        Set,
        Literal,
    } kind;
    Unit literal{};
    std::vector<Unit> singles; // members of a set, ranges apart
    std::vector<std::pair<char32_t, char32_t>> ranges;
    bool negated = false;

    explicit Token(Kind k, Unit unit = {}) : kind(k), literal(unit) {}

    bool matches(const Unit& unit) const
    {
        switch (kind) {
        case AnyUnit:
            return true;
        case Digit:
            return unit.valid && unit.value >= '0' && unit.value <= '9';
        case Literal:
            return unit == literal;
        case Set: {
            bool inside = false;
            for (const Unit& single : singles)
                inside = inside || single == unit;
            for (const auto& [lo, hi] : ranges)
                inside = inside || (unit.valid && unit.value >= lo && unit.value <= hi);
            return inside != negated;
        }
        case Star:
            break;
        }
        return false;
    }
};

std::vector<Token> parse(const std::vector<Unit>& pattern)
{
    std::vector<Token> tokens;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const Unit& unit = pattern[i];
        if (unit.is('*')) {
            tokens.emplace_back(Token::Star);
        } else if (unit.is('?')) {
            tokens.emplace_back(Token::AnyUnit);
        } else if (unit.is('#')) {
            tokens.emplace_back(Token::Digit);
        } else if (unit.is('[')) {
            Token set(Token::Set);
            size_t j = i + 1;
            if (j < pattern.size() && pattern[j].is('!')) {
                set.negated = true;
                ++j;
            }
            size_t close = j;
            while (close < pattern.size() && !pattern[close].is(']'))
                ++close;
            if (close == pattern.size() || close == j) {
                tokens.emplace_back(Token::Literal, unit);
                continue;
            }
            for (size_t m = j; m < close; ++m) {
                if (m + 2 < close && pattern[m + 1].is('-') && pattern[m].valid && pattern[m + 2].valid) {
                    set.ranges.emplace_back(std::min(pattern[m].value, pattern[m + 2].value),
                                            std::max(pattern[m].value, pattern[m + 2].value));
                    m += 2;
                } else {
                    set.singles.push_back(pattern[m]);
                }
            }
            tokens.push_back(std::move(set));
            i = close;
        } else {
            tokens.emplace_back(Token::Literal, unit);
        }
    }
    return tokens;
}

// matched[j]: the tokens so far match the first j units of the text.
bool refLike(std::string_view pattern, std::string_view text)
{
    const std::vector<Token> tokens = parse(fold(pattern));
    const std::vector<Unit> units = fold(text);
    std::vector<bool> matched(units.size() + 1, false);
    matched[0] = true;
    for (const Token& token : tokens) {
        std::vector<bool> next(units.size() + 1, false);
        if (token.kind == Token::Star) {
            bool any = false;
            for (size_t j = 0; j <= units.size(); ++j)
                next[j] = any = any || matched[j];
        } else {
            for (size_t j = 0; j < units.size(); ++j)
                next[j + 1] = matched[j] && token.matches(units[j]);
        }
        matched = std::move(next);
    }
    return matched[units.size()];
}

std::string printable(std::string_view s)
{
    std::string out = "\"";
    for (const char c : s) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out + "\"";
}

[[noreturn]] void disagree(const char* what, std::string_view pattern, std::string_view text, long long start,
                           long long length, const std::string& got, const std::string& expected)
{
    std::fprintf(stderr,
                 "\n%s disagrees with the reference\n  pattern: %s\n  text:    %s\n  start %lld, length %lld\n"
                 "  dialect:   %s\n  reference: %s\n",
                 what, printable(pattern).c_str(), printable(text).c_str(), start, length, printable(got).c_str(),
                 printable(expected).c_str());
    std::abort();
}

// The same functions as the program's SQL text reaches them: registered on a connection of its own.
struct Sql
{
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;

    Sql()
    {
        if (sqlite3_open(":memory:", &db) != SQLITE_OK || core::registerDialect(db) != SQLITE_OK ||
            sqlite3_prepare_v2(db,
                               "select ?2 like ?1, ucase(?2) like ?1, ucase(?2), mid(?2, ?3), "
                               "case when ?4 >= 0 then mid(?2, ?3, ?4) end",
                               -1, &statement, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
            std::abort();
        }
    }
    ~Sql()
    {
        sqlite3_finalize(statement);
        sqlite3_close(db);
    }

    std::string text(int column) const
    {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return std::string(data ? data : "", static_cast<size_t>(sqlite3_column_bytes(statement, column)));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The reference is quadratic: longer inputs add time, not cases.
    if (size < 2 || size > 2048)
        return 0;
    const long long start = 1 + data[0];
    const long long length = (data[1] & 0x80) ? -1 : (data[1] & 0x7F);
    const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    const size_t separator = rest.find('\0');
    const std::string_view pattern = rest.substr(0, separator);
    const std::string_view text = separator == std::string_view::npos ? std::string_view() : rest.substr(separator + 1);

    auto check = [&](const char* what, const std::string& got, const std::string& expected) {
        if (got != expected)
            disagree(what, pattern, text, start, length, got, expected);
    };
    auto yesNo = [](bool b) { return std::string(b ? "true" : "false"); };

    check("mid", core::dialect::mid(text, start, length), refMid(text, start, length));
    check("mid of the pattern", core::dialect::mid(pattern, start, length), refMid(pattern, start, length));
    const std::string upperText = refUcase(text);
    check("ucase", core::dialect::ucase(text), upperText);
    check("ucase of the pattern", core::dialect::ucase(pattern), refUcase(pattern));
    const bool likes = refLike(pattern, text);
    check("like", yesNo(core::dialect::like(pattern, text)), yesNo(likes));
    const bool likesUpper = refLike(pattern, upperText);
    check("like on ucase", yesNo(core::dialect::like(pattern, upperText)), yesNo(likesUpper));

    static Sql sql;
    sqlite3_reset(sql.statement);
    // A null pointer would bind Null, not empty text.
    sqlite3_bind_text64(sql.statement, 1, pattern.data() ? pattern.data() : "", pattern.size(), SQLITE_STATIC,
                        SQLITE_UTF8);
    sqlite3_bind_text64(sql.statement, 2, text.data() ? text.data() : "", text.size(), SQLITE_STATIC, SQLITE_UTF8);
    sqlite3_bind_int64(sql.statement, 3, start);
    sqlite3_bind_int64(sql.statement, 4, length);
    if (sqlite3_step(sql.statement) != SQLITE_ROW) {
        std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(sql.db));
        disagree("SQL text", pattern, text, start, length, "an error", "a row");
    }
    check("SQL like", yesNo(sqlite3_column_int(sql.statement, 0) != 0), yesNo(likes));
    check("SQL like on ucase", yesNo(sqlite3_column_int(sql.statement, 1) != 0), yesNo(likesUpper));
    check("SQL ucase", sql.text(2), upperText);
    check("SQL mid without length", sql.text(3), refMid(text, start, -1));
    if (length >= 0)
        check("SQL mid", sql.text(4), refMid(text, start, length));
    return 0;
}
