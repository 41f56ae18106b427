#pragma once

#include "core/Numbers.h"

#include <QHash>
#include <QIODevice>
#include <QString>
#include <QTemporaryDir>

#include <optional>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A workbook written with libxlsxwriter, which writes to a file name of its own: the finished workbook is
// then copied into the caller's device, which takes the target's name only when complete. Texts lose the
// characters XML cannot carry (said on standard error), which would make the workbook unreadable.
namespace report::exporting {

class XlsxSheet
{
public:
    XlsxSheet(lxw_workbook* workbook, lxw_worksheet* sheet, qsizetype& dropped)
        : m_workbook(workbook), m_sheet(sheet), m_dropped(dropped)
    {
    }

    lxw_format* format(bool bold, const char* numberFormat, bool wrap);
    // Empty texts and missing numbers leave the cell empty.
    void text(int row, int column, const QString& value, lxw_format* format);
    void number(int row, int column, std::optional<double> value, lxw_format* format);
    void formula(int row, int column, const QString& formula, double value, lxw_format* format);
    // Each column as wide as its longest value, between 8 and 'limit' characters.
    void fitColumn(int column, int limit);
    // The first 'rows' stay in view when scrolling.
    void freezeRows(int rows);

    // Throws WriteFailure for a libxlsxwriter error.
    static void check(int error);

private:
    void widen(int column, const QString& value);

    lxw_workbook* m_workbook;
    lxw_worksheet* m_sheet;
    qsizetype& m_dropped;
    QHash<int, int> m_widths;
};

class XlsxBook
{
public:
    // Throws WriteFailure when the temporary workbook cannot be made.
    explicit XlsxBook(const QString& title);
    ~XlsxBook();
    XlsxBook(const XlsxBook&) = delete;
    XlsxBook& operator=(const XlsxBook&) = delete;

    XlsxSheet addSheet(const char* name);
    // Closes the workbook and copies it into out; throws WriteFailure.
    void finish(QIODevice& out);

private:
    // libxlsxwriter prints numbers with the C library: "1234,56" under an Italian LC_NUMERIC, which no
    // spreadsheet reads. Made first, it covers the whole life of the workbook.
    core::NeutralNumbersInThread m_neutralNumbers;
    qsizetype m_dropped = 0; // before the title, which counts into it
    QTemporaryDir m_work;
    lxw_workbook* m_workbook = nullptr;
    QByteArray m_title;
};

} // namespace report::exporting
