#pragma once

#include "report/CellSink.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QDeadlineTimer;
class QProcess;

namespace report {

// The program's only access to the spreadsheet application, LibreOffice Calc. The UNO calls run in
// the helper prezzario-calc, so that a missing, hung or crashed office can never take the program
// with it: every request waits for its answer with a timeout, and a failure becomes an OfficeError.
//
// One instance owns one helper connected to the office and one document made from a template, whose
// first sheet takes the cells. SetCell gathers its writes and sends them in blocks, when a row is
// complete and some time has passed, and before any other request, so the user watches the rows arrive;
// the finished cells are those that writing each cell on its own would give. A full block waits for the
// office to finish the one before it, so the writes never run far ahead of the workbook.
//
// It is the report's cell sink: writeCell is SetCell with the text format "@" or the template's own.
//
// Events (signals): onShow at the end of Show, onOpen at the end of Apri_Modello, onClose first thing
// when the instance is destroyed.
class modExcel97 : public QObject, public CellSink
{
    Q_OBJECT

public:
    // Starts the helper, which starts LibreOffice or reaches the one already running. While it waits for
    // the office, from here on, it calls whileWaiting every few tens of milliseconds (the report lets the
    // windows repaint there); whileWaiting must not use the wrapper.
    explicit modExcel97(std::function<void()> whileWaiting = {});
    // Sends what is still gathered and lets the helper go; the office and its document stay open.
    ~modExcel97() override;

    // A new untitled document from the template, its first sheet current; hidden until Show.
    void Apri_Modello(const QString& nomeModello);
    void Show();
    // Writes value as text. bordo draws thin edges all round; Grassetto makes it bold; tipoFormato "@" sets
    // the text format and wraps, blanks only leave the cell's format as it is, any other is set as given.
    void SetCell(int X, int Y, const QString& value, bool bordo, const QString& tipoFormato, bool Grassetto);
    void writeCell(int column, int row, const QString& value, const CellLook& look) override;

    // Sends the gathered writes now.
    void Flush();
    // What a cell looks like in the document, by name: value, type, format, bold, size, wrap, justify,
    // left, top, bottom, right, tlbr, bltr, height. For tests.
    QMap<QString, QString> inspect(int X, int Y);
    // The texts of a block of cells, row by row. For benchmarks.
    QStringList texts(int X, int Y, int columns, int rows);
    // Closes the document without saving it. For tests and benchmarks, which share one office.
    void closeDocument();

    // Throws the OfficeError that starting the wrapper and opening the template would give, when
    // LibreOffice, the helper or the template file is missing.
    static void requireInstalled(const QString& nomeModello);

signals:
    void onShow();
    void onOpen();
    void onClose();

private:
    struct Pending;

    void sendPending();
    void collectAnswers();
    // Whether every block sent has been answered, so that the office waits for rows.
    bool officeIdle();
    QStringList request(const QStringList& words, int timeoutMs = -1);
    void send(const std::string& line);
    QStringList answer(int timeoutMs);
    [[noreturn]] void helperGone();
    [[noreturn]] void notResponding(int timeoutMs);
    [[noreturn]] void refused(const QString& kind, const QString& detail);
    // How long one wait may block before whileWaiting runs.
    int waitSlice(const QDeadlineTimer& deadline) const;

    // The helper, standing in for the application object.
    std::unique_ptr<QProcess> appExcel;
    // A document made by Apri_Modello, whose sheet takes the cells.
    bool foglioAperto = false;

    std::unique_ptr<Pending> m_pending;
    // Set once the helper has died or been given up on: every later request fails at once with it.
    QString m_broken;
    std::function<void()> m_whileWaiting;
};

} // namespace report
