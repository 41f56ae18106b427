#include "report/export/ExportRows.h"

namespace report::exporting {

// Placeholders until the computo's own layouts are written.
void writeComputoPdf(const core::ExportDocument& document, QIODevice& out)
{
    writePdf(document, out);
}

void writeComputoXlsx(const core::ExportDocument& document, QIODevice& out)
{
    writeXlsx(document, out);
}

void writeComputoCsv(const core::ExportDocument& document, QIODevice& out)
{
    writeCsv(document, out);
}

} // namespace report::exporting
