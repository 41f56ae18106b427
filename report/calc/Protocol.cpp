#include "Protocol.h"

#include <initializer_list>
#include <stdexcept>

namespace calc::protocol {

void appendWord(std::string& line, std::string_view word)
{
    for (const char c : word) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

std::string encodeLine(const std::vector<std::string>& words)
{
    std::string line;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            line += '\t';
        appendWord(line, words[i]);
    }
    line += '\n';
    return line;
}

std::vector<std::string> decodeLine(std::string_view line)
{
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            words.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            words.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            words.back() += c;
        }
    }
    return words;
}

std::string encodeStyle(const Style& style)
{
    std::string word;
    if (style.edges)
        word += 'B';
    if (style.wrap)
        word += 'W';
    if (style.bold)
        word += 'b';
    word += ';' + std::to_string(style.size) + ';' + std::to_string(style.justify) + ';';
    word += style.numberFormat;
    return word;
}

namespace {

// Exactly one of the values the protocol allows, written as encodeStyle writes it.
int oneOf(std::string_view word, std::initializer_list<int> allowed, const char* what)
{
    for (const int value : allowed) {
        if (word == std::to_string(value))
            return value;
    }
    throw std::invalid_argument(what + (": " + std::string(word)));
}

} // namespace

Style decodeStyle(std::string_view word)
{
    const std::size_t first = word.find(';');
    const std::size_t second = first == std::string_view::npos ? first : word.find(';', first + 1);
    const std::size_t third = second == std::string_view::npos ? second : word.find(';', second + 1);
    if (third == std::string_view::npos)
        throw std::invalid_argument("not a style");
    Style style;
    for (const char flag : word.substr(0, first)) {
        if (flag == 'B')
            style.edges = true;
        else if (flag == 'W')
            style.wrap = true;
        else if (flag == 'b')
            style.bold = true;
        else
            throw std::invalid_argument("unknown style flag: " + std::string(1, flag));
    }
    style.size = oneOf(word.substr(first + 1, second - first - 1), {0, 8, 11}, "not a font size");
    style.justify = oneOf(word.substr(second + 1, third - second - 1), {0, 3, 4}, "not an alignment");
    style.numberFormat = std::string(word.substr(third + 1));
    return style;
}

} // namespace calc::protocol
