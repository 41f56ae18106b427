#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;

namespace core {

// Registers mid, ucase and the dialect's like on a connection. Returns an SQLite result code.
int registerDialect(sqlite3* db);

namespace dialect {

// mid(text, start[, length]): 1-based, counted in characters.
std::string mid(std::string_view utf8, long long start, long long length = -1);
// Full Unicode upper case of UTF-8 text ("perché è" -> "PERCHÉ È", "ß" -> "SS").
std::string ucase(std::string_view utf8);
// The dialect's pattern match, case-insensitive: * any run, ? any character, # any digit,
// [abc], [a-z], [!abc]. A "[" without its "]" stands for itself.
bool like(std::string_view pattern, std::string_view text);
// The members of a class between '[' and ']' as ranges of characters: "a-c" is one range, written either
// way round; any other member, a '-' at either end included, stands for itself.
std::vector<std::pair<char32_t, char32_t>> classRanges(const std::vector<char32_t>& members);

} // namespace dialect
} // namespace core
