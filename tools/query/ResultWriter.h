#pragma once

#include "tools/query/QueryCommand.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <variant>
#include <vector>

namespace core {
struct SearchResults;
struct Comparison;
class FindIndex;
} // namespace core

namespace query {

// Writes the rows of the three result lists, chapters, articles and subarticles, in one of the formats, a
// buffer at a time.
class ResultWriter
{
public:
    ResultWriter(Format format, std::FILE* out);
    ResultWriter(Format format, QIODevice& out);

    // Everything the results hold, between the header (or the array's opening) and the end.
    void writeAll(const core::SearchResults& results);
    // The items Trova found, as subarticle rows with their section, chapter and article.
    void writeAll(const core::FindIndex& index, const std::vector<std::int32_t>& items);
    // Two editions compared, one row per item with its state, codes, prices and change.
    void writeAll(const core::Comparison& comparison);
    // False when the output could not be written (a full disk, a closed pipe).
    bool finish();

    // A cell: absent or Null, a text in UTF-8, or a number.
    using Cell = std::variant<std::monostate, QByteArrayView, double>;
    static constexpr int kColumns = 10; // the most a row has
    using Row = std::array<Cell, kColumns>;

private:
    void begin(std::span<const char* const> names);
    void write(const Row& row);
    void end();
    void appendCsv(const Cell& cell);
    void appendTsv(const Cell& cell);
    void appendJson(const Cell& cell);
    void flushIfFull();
    void writeBuffer();

    Format m_format;
    std::FILE* m_out = nullptr;
    QIODevice* m_device = nullptr;
    std::span<const char* const> m_names;
    QByteArray m_buffer;
    bool m_firstRow = true;
    bool m_failed = false;
};

} // namespace query
