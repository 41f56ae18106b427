#include "ItemExport.h"

#include "ExportRows.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace report {

std::optional<ExportFormat> exportFormatFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return ExportFormat::Pdf;
    if (suffix == QLatin1String("xlsx"))
        return ExportFormat::Xlsx;
    if (suffix == QLatin1String("csv"))
        return ExportFormat::Csv;
    if (suffix == QLatin1String("xpwe"))
        return ExportFormat::Xpwe;
    return std::nullopt;
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
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        fail(path, QStringLiteral("la cartella «%1» non esiste").arg(QDir::toNativeSeparators(folder.filePath())));
    if (target.isDir())
        fail(path, QStringLiteral("è una cartella"));

    // QSaveFile writes beside the target under a temporary name and renames it over the target on commit; it
    // never falls back to writing the target in place.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        fail(path, QStringLiteral("non si può creare un file nella cartella «%1» (%2)")
                       .arg(QDir::toNativeSeparators(folder.filePath()), out.errorString()));
    try {
        write(out);
    } catch (const exporting::WriteFailure& failure) {
        out.cancelWriting();
        fail(path, failure.reason());
    }
    if (!out.commit())
        fail(path, QStringLiteral("scrittura non riuscita, forse il disco è pieno (%1)").arg(out.errorString()));
}

void exportItems(const core::ExportDocument& document, const QString& path, ExportFormat format)
{
    exporting::writeWhole(path, [&](QIODevice& out) {
        switch (format) {
        case ExportFormat::Pdf:
            exporting::writePdf(document, out);
            break;
        case ExportFormat::Xlsx:
            exporting::writeXlsx(document, out);
            break;
        case ExportFormat::Csv:
            exporting::writeCsv(document, out);
            break;
        case ExportFormat::Xpwe:
            exporting::writeXpwe(document, out);
            break;
        }
    });
}

} // namespace report
