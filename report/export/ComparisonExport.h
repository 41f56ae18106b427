#pragma once

#include "core/Compare.h"
#include "report/export/ItemExport.h"

#include <QList>
#include <QString>

namespace report {

// The column headings a comparison file carries: the window's, for people, or the field names scripts read.
enum class ComparisonHeadings {
    Italian, // "Stato", "Codice precedente", "Codice nuovo", "Descrizione", "U.M.", "Prezzo precedente", ...
    Fields,  // stato, codice_vecchio, codice_nuovo, descrizione, unita, prezzo_vecchio, prezzo_nuovo, ...
};

// Writes compared items one row each, in the order given, with the columns state, old code, new code,
// description, unit, old price, new price and change in percent under a title ("Confronto 2025 – 2026"):
//   Xlsx  numbers as numbers, codes as text, the heading row frozen;
//   Csv   for Italian spreadsheets, as exportItems writes it;
//   Pdf   A4 landscape, the title, the headings on every page, "pagina N di M".
// Xpwe holds no comparison and throws ExportError. Written whole or not at all, as exportItems is.
void exportComparison(const QList<core::ComparedItem>& items, const QString& title, ComparisonHeadings headings,
                      const QString& path, ExportFormat format);

} // namespace report
