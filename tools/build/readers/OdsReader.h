#pragma once

#include "tools/build/readers/Workbook.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace builder::workbook {

class Archive;

// The names of the tables of an .ods file, in its order: a reading of its whole content.
QStringList odsSheetNames(std::shared_ptr<Archive> archive);
// The rows of the first table whose name `wanted` accepts, or null if none does.
std::unique_ptr<SheetRows> odsRows(std::shared_ptr<Archive> archive, const std::function<bool(const QString&)>& wanted);

} // namespace builder::workbook
