#include "report/export/ItemExport.h"

#include "report/export/ExportRows.h"
#include "core/SafeFiles.h"

#include <QDir>
#include <QFileInfo>

namespace report {

std::optional<ExportFormat> exportFormatFor(const QString& path)
{
    return core::exportFormatNamed(QFileInfo(path).suffix());
}

namespace {

[[noreturn]] void fail(const QString& path, const QString& reason)
{
    throw ExportError(QStringLiteral("Impossibile esportare in «%1»: %2. Nessun file è stato scritto.")
                          .arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

void exporting::writeWhole(const QString& path, const std::function<void(QIODevice&)>& write)
{
    try {
        core::writeFileSafely(path, write);
    } catch (const core::WriteError& error) {
        fail(path, error.reason());
    } catch (const exporting::WriteFailure& failure) {
        fail(path, failure.reason());
    }
}

void exportItems(const core::ExportDocument& document, const QString& path, ExportFormat format,
                 ExportDocumentKind kind)
{
    const bool computo = kind == ExportDocumentKind::Computo;
    exporting::writeWhole(path, [&](QIODevice& out) {
        switch (format) {
        case ExportFormat::Pdf:
            computo ? exporting::writeComputoPdf(document, out) : exporting::writePdf(document, out);
            break;
        case ExportFormat::Xlsx:
            computo ? exporting::writeComputoXlsx(document, out) : exporting::writeXlsx(document, out);
            break;
        case ExportFormat::Csv:
            computo ? exporting::writeComputoCsv(document, out) : exporting::writeCsv(document, out);
            break;
        case ExportFormat::Xpwe:
            exporting::writeXpwe(document, out);
            break;
        }
    });
}

} // namespace report
