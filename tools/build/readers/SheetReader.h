#pragma once

#include "tools/build/readers/TableReader.h"

#include <memory>
#include <vector>

namespace builder {

class SheetRows;

// The rows of one sheet of a workbook, read from the file as they are asked for: row 1 is the header, rows with
// no cell filled are skipped as a CSV file's blank lines are. An empty cell is Null; a number cell keeps its
// stored value.
class SheetReader : public TableReader
{
public:
    explicit SheetReader(std::unique_ptr<SheetRows> rows);
    ~SheetReader() override;

    void readHeader(std::span<const std::string_view> columns) override;
    bool next() override;
    Field field(int column) const override;
    QString row() const override;
    qint64 line() const override;
    QString table() const override;
    qint64 done() const override;
    qint64 size() const override;
    DecimalSeparator decimalSeparator() const override { return DecimalSeparator::Either; }

private:
    [[noreturn]] void failHeader(const QString& what) const;

    std::unique_ptr<SheetRows> m_rows;
    std::vector<int> m_position; // column index -> cell index in the row
};

} // namespace builder
