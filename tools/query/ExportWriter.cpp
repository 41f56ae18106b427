#include "ExportWriter.h"

#include "ItemExport.h"

namespace query {

std::optional<QString> writeExport(const core::ExportDocument& document, const QString& out, ExportFormat format)
{
    report::ExportFormat written = report::ExportFormat::Pdf;
    switch (format) {
    case ExportFormat::Pdf:
        written = report::ExportFormat::Pdf;
        break;
    case ExportFormat::Xlsx:
        written = report::ExportFormat::Xlsx;
        break;
    case ExportFormat::Csv:
        written = report::ExportFormat::Csv;
        break;
    case ExportFormat::Xpwe:
        written = report::ExportFormat::Xpwe;
        break;
    }
    try {
        report::exportItems(document, out, written);
    } catch (const core::Error& error) {
        return error.text();
    }
    return std::nullopt;
}

} // namespace query
