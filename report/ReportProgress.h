#pragma once

#include "report/AutomationError.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace report {

// The user cancelled the print: the report stopped at a row boundary and the rows written stay.
class ReportCancelled : public ReportError
{
public:
    ReportCancelled();
};

// What the user sees and may do while a report is written. The report runs on the UI thread, as the
// recordsets are shared state, and lets the event loop run every few tens of milliseconds: the windows
// repaint and the progress window answers, while input aimed at any other window of the program is
// thrown away, not queued, so that nothing typed or clicked during the print is applied after it.
//
// The progress window ("Stampa") comes with the first rows, over the search window, and only if the
// writing lasts: a report of a few rows never shows it. Every exit path gives the input back.
//
// A row counts as written once the report has handed it to the wrapper, which keeps no more than a couple
// of blocks (a fraction of a second of the office's work) ahead of the workbook; a cancel keeps those
// rows too, so the count is what the workbook holds once the print ends.
class ReportProgress
{
public:
    explicit ReportProgress(QWidget& over);
    ~ReportProgress();
    ReportProgress(const ReportProgress&) = delete;
    ReportProgress& operator=(const ReportProgress&) = delete;

    // The rows the layout is going to write, when its lists tell them before it starts.
    void expectRows(qint64 rows);
    // A layout that reads the price list for each list item knows its rows only as it goes: it tells
    // the items instead, by their name in the plural ("Articoli"), and each item as it is done.
    void expectItems(const QString& items, qint64 count);
    void itemDone();

    // A row of the sheet is complete. A cancel takes effect here, by throwing ReportCancelled.
    void rowWritten(int sheetRow);
    // The report waits for the office.
    void waiting();
    // The progress window goes and the program's windows take input again.
    void finish();

    qint64 rowsWritten() const { return m_rows; }
    qint64 rowsExpected() const { return m_items.isEmpty() ? m_total : 0; }
    // The sheet row written last, 0 before the first.
    int lastRow() const { return m_lastRow; }
    QString labelText() const;

private:
    class InputGuard;

    QString label(qint64 itemsDone, qint64 rows, qint64 elapsedMs) const;
    void openDialog(qint64 maximum);
    void showLabel(QProgressDialog& dialog) const;
    void update();

    QWidget& m_over;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceUpdate;
    std::unique_ptr<InputGuard> m_guard;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
    bool m_busyCursor = false;

    qint64 m_rows = 0;
    int m_lastRow = 0;
    // Rows to write, or items when m_items names them.
    qint64 m_total = 0;
    QString m_items;
    qint64 m_itemsDone = 0;
};

} // namespace report
