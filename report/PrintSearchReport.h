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
// Every failure (no LibreOffice, no template, an office that hangs or closes, a code no longer in the
// price list) is told with a message over the search window, which stays usable; what was written so
// far stays in the workbook.
void PrintSearchReport(core::AppState& state, const QWidget& MDIForm1, search::frmCerca& frmCerca);

} // namespace report
