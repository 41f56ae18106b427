#include "tools/query/ExportWriter.h"

#include "report/export/ItemExport.h"

namespace query {

std::optional<QString> writeExport(const core::ExportDocument& document, const QString& out, ExportFormat format)
{
    try {
        report::exportItems(document, out, format);
    } catch (const core::Error& error) {
        return error.text();
    }
    return std::nullopt;
}

} // namespace query
