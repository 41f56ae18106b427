#pragma once

// The line protocol between the program and prezzario-calc, its LibreOffice helper.
//
// Every request and every answer is one line of words separated by tabs; inside a word a backslash,
// a tab, a line feed and a carriage return are written \\, \t, \n and \r. Text is UTF-8.
// The first word of a request names the command; the helper answers each request, in order, with
//   ok [words...]                   carried out
//   error <kind> <detail>           not carried out; kind is one of the Failure words below
//
// Each request is read and checked in full before any of it is carried out (Request.h): a cell or block
// outside the sheet is refused as range, a sheet number no document can have as sheet, any other request
// that is not well formed as request.
//
// Requests (cells are counted from 1, rows and columns as the program counts them):
//   start <soffice> <pipe> <timeout ms> [argument...]   launch or reach the office, connect; ok <launcher pid>
//   open <file URL>                 new untitled document from the template, still hidden
//   sheet <n>                       the n-th sheet becomes current and active
//   show                            the document's window becomes visible
//   cells <x> <y> <columns> <rows> <styles> <style>... (<value> <style index>)...
//                                   writes a block of cells row by row, each value as text, each with
//                                   one of the listed styles (see Style)
//   texts <x> <y> <columns> <rows>  ok <text>... the texts of a block of cells, row by row (benchmarks)
//   inspect <x> <y>                 ok <name=value>... what a cell looks like (tests read it back)
//   closedoc                        closes the document without saving (tests and benchmarks)
//
// A style word is "<flags>;<number format>": flags hold B (edges), W (wrap), b (bold); an empty number
// format leaves the cell's format untouched. Only what a style sets is changed.

#include <string>
#include <string_view>
#include <vector>

namespace calc::protocol {

inline constexpr std::string_view kOk = "ok";
inline constexpr std::string_view kError = "error";

// Kinds of failure in an error answer.
inline constexpr std::string_view kOffice = "office";     // LibreOffice cannot be started or reached
inline constexpr std::string_view kCalc = "calc";         // LibreOffice runs without its spreadsheet
inline constexpr std::string_view kTemplate = "template"; // the template cannot be opened
inline constexpr std::string_view kClosed = "closed";     // the office or the document went away
inline constexpr std::string_view kSheet = "sheet";       // no such sheet
inline constexpr std::string_view kRange = "range";       // a cell or block outside the sheet
inline constexpr std::string_view kFormat = "format";     // a number format the office refuses
inline constexpr std::string_view kState = "state";       // a command out of order (no document yet)
inline constexpr std::string_view kRequest = "request";   // a malformed request
inline constexpr std::string_view kUno = "uno";           // any other failure of the office

void appendWord(std::string& line, std::string_view word);
std::string encodeLine(const std::vector<std::string>& words);
// Splits a line (without its line feed) into its words.
std::vector<std::string> decodeLine(std::string_view line);

struct Style
{
    bool edges = false;
    bool wrap = false;
    bool bold = false;
    std::string numberFormat;

    bool empty() const { return !edges && !wrap && !bold && numberFormat.empty(); }
    bool operator==(const Style&) const = default;
};

std::string encodeStyle(const Style& style);
// Throws std::invalid_argument for a word that is not a style or holds a flag the protocol does not have.
Style decodeStyle(std::string_view word);

} // namespace calc::protocol
