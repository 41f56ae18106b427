#pragma once

#include "core/Search.h"

#include <QString>

class QWidget;

namespace core {
class PriceList;
}

namespace report {

// What the report prints: the search window's inputs as they stand when printing starts, the rows its three
// lists show, the layout its last text or range search chose and that range's two codes as typed.
struct SearchReport
{
    core::SearchRequest request;
    core::SearchResults results;
    core::ReportKind kind = core::ReportKind::None;
    QString rangeFrom;
    QString rangeTo;
};

// Prints a search into a new workbook made from stampa.xls, shown in LibreOffice Calc as the rows arrive and
// left open, unsaved, for the user. The title starts with 'heading', the main window's title.
//
// While it writes, the program's windows repaint but take no input, and a progress window over 'window'
// tells the rows written and the time elapsed; its Annulla stops the report at the next row boundary, the
// rows written so far staying in the workbook, and a message says so.
//
// Every failure (no LibreOffice, no template, an office that hangs or closes, a code no longer in the
// price list) is told with a message over 'window', which stays usable; what was written so far stays in
// the workbook.
void PrintSearchReport(const core::PriceList& list, const QString& heading, QWidget& window,
                       const SearchReport& search);

} // namespace report
