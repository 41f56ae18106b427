#include "report/calc/Request.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace calc::protocol {

namespace {

[[noreturn]] void refuse(std::string_view kind, std::string detail)
{
    throw Failure{kind, std::move(detail)};
}

std::string text(std::string_view command, std::string_view what)
{
    std::string detail(command);
    detail += ": ";
    detail += what;
    return detail;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text)
{
    for (const char c : text) {
        if (!isDigit(c))
            return false;
    }
    return !text.empty();
}

// A whole number in decimal digits, a minus sign at most in front. A number too large for any limit
// comes back as the largest (or smallest) value, so that the caller's bounds refuse it as written.
long long decimal(std::string_view command, std::string_view what, std::string_view word)
{
    const bool negative = !word.empty() && word.front() == '-';
    if (!allDigits(negative ? word.substr(1) : word))
        refuse(kRequest, text(command, std::string(what) + " is not a whole number: " + std::string(word)));
    long long value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error == std::errc::result_out_of_range)
        return negative ? LLONG_MIN : LLONG_MAX;
    return value;
}

int bounded(std::string_view command, std::string_view what, std::string_view word, long long low, long long high,
            std::string_view kind)
{
    const long long value = decimal(command, what, word);
    if (value < low || value > high)
        refuse(kind, text(command, std::string(what) + " " + std::string(word) + " is outside " + std::to_string(low) +
                                       ".." + std::to_string(high)));
    return static_cast<int>(value);
}

int column(std::string_view command, std::string_view word)
{
    return bounded(command, "column", word, 1, kMaxColumn, kRange);
}

int row(std::string_view command, std::string_view word)
{
    return bounded(command, "row", word, 1, kMaxRow, kRange);
}

// How many columns or rows a block has whose first is first: at least one, and none past the sheet's last.
int extent(std::string_view command, std::string_view what, std::string_view word, int first, int last)
{
    const long long count = decimal(command, what, word);
    if (count < 1)
        refuse(kRange, text(command, std::string(word) + " " + std::string(what) + ": a block has at least one"));
    // count >= 1 and first <= last: no overflow on either side.
    if (count > last - first + 1)
        refuse(kRange, text(command, std::string(word) + " " + std::string(what) + " from " +
                                         std::string(what.substr(0, what.size() - 1)) + " " + std::to_string(first) +
                                         " go past the sheet's last, " + std::to_string(last)));
    return static_cast<int>(count);
}

// The columns and rows of a block whose first cell is x, y.
std::pair<int, int> blockSize(std::string_view command, int x, int y, std::string_view columns, std::string_view rows)
{
    return {extent(command, "columns", columns, x, kMaxColumn), extent(command, "rows", rows, y, kMaxRow)};
}

std::string wordCount(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " word" : " words");
}

void requireWords(const std::vector<std::string>& words, std::size_t count)
{
    if (words.size() != count)
        refuse(kRequest, text(words.front(), "takes " + wordCount(count - 1) + " after the command, not " +
                                                 std::to_string(words.size() - 1)));
}

// The length of a text in UTF-16 units, as the spreadsheet counts it; a byte that begins no valid UTF-8
// sequence counts as one, as the office would put a replacement character in its place.
std::size_t utf16Length(std::string_view text)
{
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80             ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                   : (lead & 0xF8) == 0xF0 ? 4
                                                           : 0;
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (!valid) {
            ++units;
            ++i;
            continue;
        }
        units += length == 4 ? 2 : 1;
        i += length;
    }
    return units;
}

StartOffice start(const std::vector<std::string>& words)
{
    if (words.size() < 4)
        refuse(kRequest, text(words.front(), "takes a program, a pipe and a timeout"));
    StartOffice request;
    request.program = words[1];
    if (request.program.empty())
        refuse(kRequest, text(words.front(), "no program"));
    request.pipe = words[2];
    // The name goes into a UNO connection string, where a comma or a semicolon would end it.
    const bool plainName = !request.pipe.empty() && std::all_of(request.pipe.begin(), request.pipe.end(), [](char c) {
        return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '_' || c == '.';
    });
    if (!plainName)
        refuse(kRequest, text(words.front(), "not a pipe name: " + request.pipe));
    request.timeoutMs = bounded(words.front(), "timeout", words[3], 1, kMaxStartTimeoutMs, kRequest);
    request.arguments.assign(words.begin() + 4, words.end());
    return request;
}

CellBlock cells(const std::vector<std::string>& words)
{
    const std::string_view command = words.front();
    if (words.size() < 6)
        refuse(kRequest, text(command, "takes x, y, columns, rows, styles, then the styles and the cells"));
    CellBlock block;
    block.x = column(command, words[1]);
    block.y = row(command, words[2]);
    std::tie(block.columns, block.rows) = blockSize(command, block.x, block.y, words[3], words[4]);
    const int styles = bounded(command, "count of styles", words[5], 0, INT_MAX, kRequest);
    // At most 2^31 styles and 1024 x 1048576 cells: no overflow in 64 bits.
    const std::size_t cellCount = static_cast<std::size_t>(block.columns) * static_cast<std::size_t>(block.rows);
    const std::size_t expected = 6 + static_cast<std::size_t>(styles) + 2 * cellCount;
    if (words.size() != expected)
        refuse(kRequest,
               text(command, std::to_string(block.columns) + "x" + std::to_string(block.rows) + " cells with " +
                                 std::to_string(styles) + " styles take " + std::to_string(expected - 1) +
                                 " words after the command, not " + std::to_string(words.size() - 1)));
    block.styles.reserve(static_cast<std::size_t>(styles));
    for (int i = 0; i < styles; ++i) {
        try {
            block.styles.push_back(decodeStyle(words[6 + static_cast<std::size_t>(i)]));
        } catch (const std::invalid_argument& error) {
            refuse(kRequest, text(command, "style " + std::to_string(i) + ": " + error.what()));
        }
    }
    block.values.reserve(cellCount);
    block.styleOf.reserve(cellCount);
    for (std::size_t i = 0; i < cellCount; ++i) {
        const std::size_t at = 6 + static_cast<std::size_t>(styles) + 2 * i;
        const auto where = [&] {
            return "the cell in column " + std::to_string(block.x + static_cast<int>(i) % block.columns) + ", row " +
                   std::to_string(block.y + static_cast<int>(i) / block.columns);
        };
        if (utf16Length(words[at]) > kMaxCellText)
            refuse(kRequest, text(command, "the text of " + where() + " is longer than " +
                                               std::to_string(kMaxCellText) + " characters"));
        block.values.push_back(words[at]);
        const std::string& index = words[at + 1];
        const long long style = allDigits(index) ? decimal(command, "style", index) : -1;
        if (style < 0 || style >= styles)
            refuse(kRequest, text(command, "no style " + index + " for " + where()));
        block.styleOf.push_back(static_cast<int>(style));
    }
    return block;
}

} // namespace

Request parseRequest(const std::vector<std::string>& words)
{
    if (words.empty() || words.front().empty())
        refuse(kRequest, "no command");
    const std::string& command = words.front();
    if (command == "start")
        return start(words);
    if (command == "open") {
        requireWords(words, 2);
        if (words[1].empty())
            refuse(kRequest, text(command, "no file"));
        return OpenTemplate{words[1]};
    }
    if (command == "sheet") {
        requireWords(words, 2);
        const long long number = decimal(command, "sheet", words[1]);
        // Told as the office tells a sheet the document lacks: the program shows the number.
        if (number < 1 || number > kMaxSheet)
            refuse(kSheet, words[1]);
        return ActivateSheet{static_cast<int>(number)};
    }
    if (command == "show") {
        requireWords(words, 1);
        return ShowWindow{};
    }
    if (command == "cells")
        return cells(words);
    if (command == "inspect") {
        requireWords(words, 3);
        const int x = column(command, words[1]);
        return InspectCell{x, row(command, words[2])};
    }
    if (command == "texts") {
        requireWords(words, 5);
        GetTexts request;
        request.x = column(command, words[1]);
        request.y = row(command, words[2]);
        std::tie(request.columns, request.rows) = blockSize(command, request.x, request.y, words[3], words[4]);
        const std::size_t count = static_cast<std::size_t>(request.columns) * static_cast<std::size_t>(request.rows);
        if (count > kMaxTextsCells)
            refuse(kRange,
                   text(command, std::to_string(count) + " cells at once, at most " + std::to_string(kMaxTextsCells)));
        return request;
    }
    if (command == "closedoc") {
        requireWords(words, 1);
        return CloseDocument{};
    }
    refuse(kRequest, "unknown command: " + command);
}

std::vector<std::string> requestWords(const Request& request)
{
    using Words = std::vector<std::string>;
    return std::visit(Overloaded{
                          [](const StartOffice& r) {
                              Words words{"start", r.program, r.pipe, std::to_string(r.timeoutMs)};
                              words.insert(words.end(), r.arguments.begin(), r.arguments.end());
                              return words;
                          },
                          [](const OpenTemplate& r) {
                              return Words{"open", r.url};
                          },
                          [](const ActivateSheet& r) {
                              return Words{"sheet", std::to_string(r.number)};
                          },
                          [](const ShowWindow&) { return Words{"show"}; },
                          [](const CellBlock& r) {
                              Words words{"cells",
                                          std::to_string(r.x),
                                          std::to_string(r.y),
                                          std::to_string(r.columns),
                                          std::to_string(r.rows),
                                          std::to_string(r.styles.size())};
                              for (const Style& style : r.styles)
                                  words.push_back(encodeStyle(style));
                              for (std::size_t i = 0; i < r.values.size() && i < r.styleOf.size(); ++i) {
                                  words.push_back(r.values[i]);
                                  words.push_back(std::to_string(r.styleOf[i]));
                              }
                              return words;
                          },
                          [](const GetTexts& r) {
                              return Words{"texts", std::to_string(r.x), std::to_string(r.y), std::to_string(r.columns),
                                           std::to_string(r.rows)};
                          },
                          [](const InspectCell& r) {
                              return Words{"inspect", std::to_string(r.x), std::to_string(r.y)};
                          },
                          [](const CloseDocument&) { return Words{"closedoc"}; },
                      },
                      request);
}

} // namespace calc::protocol
