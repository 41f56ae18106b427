#pragma once

#include "core/ChosenItems.h"
#include "core/Error.h"
#include "core/ExportFormat.h"

#include <QString>

#include <optional>

namespace report {

using core::ExportDocumentKind;
using core::ExportFormat;

// A file could not be written; text() names it and says why, in Italian.
class ExportError : public core::Error
{
public:
    using Error::Error;
};

// The format a file name asks for by its extension (.pdf, .xlsx, .csv, .xpwe, in any case); none for others.
std::optional<ExportFormat> exportFormatFor(const QString& path);

// Writes the document to path in the given format:
//   Pdf   "Elenco prezzi unitari", A4 portrait, each item with its price in figures and in words;
//   Xlsx  one sheet, numbers as numbers, codes as text, the amount of each row and their total as formulas;
//   Csv   for Italian spreadsheets: ';' between fields, decimal comma, UTF-8 with BOM, CR LF, texts quoted;
//   Xpwe  the XML exchange format of bill-of-quantities programs: price list items and the measured ones,
//         with their measurement lines and the computo's chapters.
// The file is written beside path under a temporary name and takes its name only when complete: on any
// failure (a full disk, a target that is a folder, a pipe or a device) nothing new is left and a file already
// at path is untouched. Throws ExportError.
// The PDF needs a QGuiApplication (a program without windows makes one on the "offscreen" platform);
// without one a PDF export throws ExportError. The other formats need only Qt Core.
//
// The computo writes, in the formats that have it:
//   Pdf   "Computo metrico estimativo": items numbered with their lines, chapter subtotals, total, labour costs
//         and the summary by chapter;
//   Xlsx  items and lines with formulas, a sheet of labour costs;
//   Csv   one row per item, a heading and a subtotal row per chapter, the total and the labour total.
void exportItems(const core::ExportDocument& document, const QString& path, ExportFormat format,
                 ExportDocumentKind kind = ExportDocumentKind::Elenco);

} // namespace report
