#pragma once

#include <QString>

namespace report {

// How a written cell looks. A flag left false changes nothing: the cell keeps what the template gives it.
struct CellLook
{
    bool bold = false;
    // Thin continuous edges all round, in the automatic colour, and no diagonals.
    bool edges = false;
    // The text format "@", in which a text longer than its column wraps onto more lines (the row grows
    // to fit it); otherwise the template's own format and wrapping.
    bool text = false;
};

// Where the report's rows go, one cell at a time. Columns and rows count from 1.
class CellSink
{
public:
    virtual ~CellSink() = default;

    // A second write to a cell replaces its value and adds its look to the first: nothing is reset.
    virtual void writeCell(int column, int row, const QString& value, const CellLook& look) = 0;
};

} // namespace report
