#include "report/calc/Protocol.h"

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
    word += ';';
    word += style.numberFormat;
    return word;
}

Style decodeStyle(std::string_view word)
{
    const std::size_t semicolon = word.find(';');
    if (semicolon == std::string_view::npos)
        throw std::invalid_argument("not a style");
    Style style;
    for (const char flag : word.substr(0, semicolon)) {
        if (flag == 'B')
            style.edges = true;
        else if (flag == 'W')
            style.wrap = true;
        else if (flag == 'b')
            style.bold = true;
        else
            throw std::invalid_argument("unknown style flag: " + std::string(1, flag));
    }
    style.numberFormat = std::string(word.substr(semicolon + 1));
    return style;
}

} // namespace calc::protocol
