// libFuzzer: any line prezzario-calc may read is either refused with a kind the program knows, or taken as
// a request that stays inside the sheet and reads back the same from its own words.
#include "report/calc/Protocol.h"
#include "report/calc/Request.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

using namespace calc::protocol;

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool cellInside(int x, int y)
{
    return x >= 1 && x <= kMaxColumn && y >= 1 && y <= kMaxRow;
}

bool blockInside(int x, int y, int columns, int rows)
{
    return cellInside(x, y) && columns >= 1 && rows >= 1 && columns <= kMaxColumn - x + 1 && rows <= kMaxRow - y + 1;
}

void requireWithinLimits(const Request& request)
{
    std::visit(Overloaded{
                   [](const StartOffice& r) {
                       require(!r.program.empty() && !r.pipe.empty());
                       require(r.timeoutMs >= 1 && r.timeoutMs <= kMaxStartTimeoutMs);
                   },
                   [](const OpenTemplate& r) { require(!r.url.empty()); },
                   [](const ActivateSheet& r) { require(r.number >= 1 && r.number <= kMaxSheet); },
                   [](const CellBlock& r) {
                       require(blockInside(r.x, r.y, r.columns, r.rows));
                       const std::size_t cells = static_cast<std::size_t>(r.columns) * static_cast<std::size_t>(r.rows);
                       require(r.values.size() == cells && r.styleOf.size() == cells);
                       for (const int style : r.styleOf)
                           require(style >= 0 && static_cast<std::size_t>(style) < r.styles.size());
                       // A UTF-16 unit takes three bytes of UTF-8 at most.
                       for (const std::string& value : r.values)
                           require(value.size() <= 3 * kMaxCellText);
                   },
                   [](const GetTexts& r) {
                       require(blockInside(r.x, r.y, r.columns, r.rows));
                       require(static_cast<std::size_t>(r.columns) * static_cast<std::size_t>(r.rows) <=
                               kMaxTextsCells);
                   },
                   [](const InspectCell& r) { require(cellInside(r.x, r.y)); },
                   [](const ShowWindow&) {},
                   [](const CloseDocument&) {},
               },
               request);
}

// The words as the helper reads them back from the line the program would send.
std::vector<std::string> sent(const std::vector<std::string>& words)
{
    std::string line = encodeLine(words);
    line.pop_back();
    return decodeLine(line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The helper reads up to a line feed.
    std::string_view line(reinterpret_cast<const char*>(data), size);
    line = line.substr(0, line.find('\n'));
    const std::vector<std::string> words = decodeLine(line);
    require(!words.empty());
    require(sent(words) == words);

    Request request;
    try {
        request = parseRequest(words);
    } catch (const Failure& failure) {
        require(failure.kind == kRequest || failure.kind == kRange || failure.kind == kSheet);
        require(!failure.detail.empty());
        return 0;
    } catch (...) {
        // Nothing but a Failure may come out of reading a request.
        __builtin_trap();
    }
    requireWithinLimits(request);

    const std::vector<std::string> own = requestWords(request);
    try {
        require(parseRequest(sent(own)) == request);
    } catch (...) {
        __builtin_trap();
    }
    require(requestWords(request) == own);
    return 0;
}
