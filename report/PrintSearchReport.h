#pragma once

class QWidget;

namespace core {
struct AppState;
}

namespace search {
class frmCerca;
}

namespace report {

// Prints the search that the search window shows into a new workbook made from stampa.xls, shown in
// LibreOffice Calc as the rows arrive and left open, unsaved, for the user. The title starts with the
// main window's title. Both print buttons of the search window lead here.
//
// While it writes, the program's windows repaint but take no input, and a progress window tells the
// rows written and the time elapsed; its Annulla stops the report at the next row boundary, the rows
// written so far staying in the workbook, and a message says so.
//
// Every failure (no LibreOffice, no template, an office that hangs or closes, a code no longer in the
// price list) is told with a message over the search window, which stays usable; what was written so
// far stays in the workbook.
void PrintSearchReport(core::AppState& state, const QWidget& MDIForm1, search::frmCerca& frmCerca);

} // namespace report
