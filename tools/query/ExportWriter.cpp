#include "ExportWriter.h"

#ifdef PREZZARIO_QUERY_EXPORT
#include "ItemExport.h"
#endif

namespace query {

#ifdef PREZZARIO_QUERY_EXPORT

bool canExport()
{
    return true;
}

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
    return report::exportItems(document, out, written);
}

#else

bool canExport()
{
    return false;
}

std::optional<QString> writeExport(const core::ExportDocument&, const QString&, ExportFormat)
{
    return QStringLiteral("questa versione di prezzario-query è stata costruita senza le esportazioni.");
}

#endif

} // namespace query
