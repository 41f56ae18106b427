#pragma once

#include "TableReader.h"

#include <vector>

namespace builder {

struct Sheet;

// The rows of one sheet of a workbook: row 1 is the header, rows with no cell filled are skipped as a CSV
// file's blank lines are. An empty cell is Null; a number cell keeps its stored value.
class SheetReader : public TableReader
{
public:
    explicit SheetReader(const Sheet& sheet);

    void readHeader(std::span<const std::string_view> columns) override;
    bool next() override;
    Field field(int column) const override;
    QString row() const override;
    qint64 line() const override { return m_row + 1; }
    QString table() const override;
    qint64 done() const override { return m_row + 1; }
    qint64 size() const override;
    DecimalSeparator decimalSeparator() const override { return DecimalSeparator::Either; }

private:
    [[noreturn]] void failHeader(const QString& what) const;

    const Sheet& m_sheet;
    qsizetype m_row = 0; // 0-based index into the sheet's rows
    std::vector<int> m_position; // column index -> cell index in the row
};

} // namespace builder
