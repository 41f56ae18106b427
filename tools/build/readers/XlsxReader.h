#pragma once

#include "tools/build/readers/Workbook.h"

#include <QString>

#include <memory>

namespace builder::workbook {

class Archive;

// The rows of the worksheet `name` of an .xlsx file, read from its part `member` (none for a chart sheet, which
// has no rows).
std::unique_ptr<SheetRows> xlsxRows(std::shared_ptr<Archive> archive, const QString& name, QString member);

} // namespace builder::workbook
