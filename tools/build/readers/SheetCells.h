#pragma once

#include "tools/build/readers/Workbook.h"

#include <QString>
#include <QStringView>

// What the readers of .xlsx and .ods sheets share: the size of a sheet, the cells, the width of the header.
namespace builder::workbook {

// The largest sheet either format allows.
inline constexpr qint64 kMaxRows = 1048576;
inline constexpr qint64 kMaxColumns = 16384;

// Text of one cell, as it grows: refused past the limit, before it takes the memory.
void checkCellText(qsizetype size);

SheetCell textCell(QString text);
SheetCell numberCell(QStringView value);

[[noreturn]] void headerTooWide(qint64 column);

// Columns a row keeps: the header may fill up to the limit, later rows only what the header fills.
qint64 columnsKept(qint64 row, qint64 headerWidth);

} // namespace builder::workbook
