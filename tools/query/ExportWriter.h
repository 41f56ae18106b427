#pragma once

#include "ChosenItems.h"
#include "QueryCommand.h"

#include <QString>

#include <optional>

namespace query {

// Whether this build can write exports: the exporters draw PDF pages through Qt Gui, which a build may leave out.
bool canExport();

// Writes the document to 'out' in the format; why it could not, or nothing when it is written.
std::optional<QString> writeExport(const core::ExportDocument& document, const QString& out, ExportFormat format);

} // namespace query
