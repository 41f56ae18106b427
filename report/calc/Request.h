#pragma once

// The requests of the line protocol (Protocol.h), read and checked in full before the helper carries any
// of them out: a request the office could not take, or that would take it down, never reaches it.

#include "report/calc/Protocol.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace calc::protocol {

// The size of a LibreOffice Calc sheet, in the rows and columns of the protocol (counted from 1).
inline constexpr int kMaxColumn = 1'024;
inline constexpr int kMaxRow = 1'048'576;
// The office keeps sheet numbers in 16 bits.
inline constexpr int kMaxSheet = 32'767;
// How long start may wait for the office: long enough for a cold start on a slow disk, short enough
// that a helper waiting for an office that never comes does not look hung for ever.
inline constexpr int kMaxStartTimeoutMs = 600'000;
// The longest text of a cell, in UTF-16 units as the spreadsheet counts it.
inline constexpr std::size_t kMaxCellText = 32'767;
// The most cells texts reads at once: the office builds the whole answer in memory.
inline constexpr std::size_t kMaxTextsCells = 1'048'576;

// Why a request is not carried out: one of the kinds of Protocol.h and a detail for the error answer.
struct Failure
{
    std::string_view kind;
    std::string detail;
};

struct StartOffice
{
    std::string program;
    std::string pipe;
    int timeoutMs = 0;
    std::vector<std::string> arguments;

    bool operator==(const StartOffice&) const = default;
};

struct OpenTemplate
{
    std::string url;

    bool operator==(const OpenTemplate&) const = default;
};

struct ActivateSheet
{
    int number = 1;

    bool operator==(const ActivateSheet&) const = default;
};

struct ShowWindow
{
    bool operator==(const ShowWindow&) const = default;
};

// A block of cells written at once: values row by row, each cell with an index into styles.
struct CellBlock
{
    int x = 1;
    int y = 1;
    int columns = 0;
    int rows = 0;
    std::vector<Style> styles;
    std::vector<std::string> values;
    std::vector<int> styleOf;

    bool operator==(const CellBlock&) const = default;
};

struct GetTexts
{
    int x = 1;
    int y = 1;
    int columns = 1;
    int rows = 1;

    bool operator==(const GetTexts&) const = default;
};

struct InspectCell
{
    int x = 1;
    int y = 1;

    bool operator==(const InspectCell&) const = default;
};

struct CloseDocument
{
    bool operator==(const CloseDocument&) const = default;
};

// One request, in the order of the commands of Protocol.h.
using Request =
    std::variant<StartOffice, OpenTemplate, ActivateSheet, ShowWindow, CellBlock, GetTexts, InspectCell, CloseDocument>;

// One callable out of several, to visit a Request with one lambda per command.
template <typename... Visitors> struct Overloaded : Visitors...
{
    using Visitors::operator()...;
};
// Clang before 17 deduces no aggregate's arguments by itself.
template <typename... Visitors> Overloaded(Visitors...) -> Overloaded<Visitors...>;

// Reads the words of a request line (decodeLine). Throws Failure: kRequest for a request that is not
// well formed (unknown command, words missing or left over, a word that is not a number or a style, a
// value the command does not take), kRange for a cell or a block outside the sheet, kSheet for a sheet
// number no document can have (with the number as the detail, as the office would say it).
Request parseRequest(const std::vector<std::string>& words);

// The words of a request, as parseRequest reads them back.
std::vector<std::string> requestWords(const Request& request);

} // namespace calc::protocol
