#pragma once

#include "core/ChosenItems.h"
#include "tools/query/QueryCommand.h"

#include <QString>

#include <optional>

namespace query {

// Writes the document to 'out' in the format; why it could not, or nothing when it is written.
std::optional<QString> writeExport(const core::ExportDocument& document, const QString& out, ExportFormat format);

} // namespace query
