#include "report/export/XlsxBook.h"

#include "report/export/ExportRows.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <algorithm>

namespace report::exporting {

namespace {

// A cell holds at most this many characters; a longer text would make libxlsxwriter drop the cell.
constexpr qsizetype longestCellText = 32767;
const QString kWorkName = QStringLiteral("elenco.xlsx");

} // namespace

lxw_format* XlsxSheet::format(bool bold, const char* numberFormat, bool wrap)
{
    lxw_format* format = workbook_add_format(m_workbook);
    if (bold)
        format_set_bold(format);
    if (numberFormat)
        format_set_num_format(format, numberFormat);
    if (wrap)
        format_set_text_wrap(format);
    format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
    return format;
}

void XlsxSheet::text(int row, int column, const QString& value, lxw_format* format)
{
    if (value.isEmpty())
        return;
    const QString clean = xmlText(value, m_dropped);
    if (clean.isEmpty())
        return;
    check(worksheet_write_string(m_sheet, row, column, clean.left(longestCellText).toUtf8().constData(), format));
    widen(column, clean);
}

void XlsxSheet::number(int row, int column, std::optional<double> value, lxw_format* format)
{
    if (!value)
        return;
    check(worksheet_write_number(m_sheet, row, column, *value, format));
    widen(column, core::plainNumber(*value) + QStringLiteral("000"));
}

void XlsxSheet::formula(int row, int column, const QString& formula, double value, lxw_format* format)
{
    check(worksheet_write_formula_num(m_sheet, row, column, formula.toUtf8().constData(), format, value));
    widen(column, core::plainNumber(value) + QStringLiteral("000"));
}

void XlsxSheet::fitColumn(int column, int limit)
{
    const int width = std::clamp(m_widths.value(column) + 2, 8, limit);
    check(worksheet_set_column(m_sheet, column, column, width, nullptr));
}

void XlsxSheet::freezeRows(int rows)
{
    worksheet_freeze_panes(m_sheet, rows, 0);
}

void XlsxSheet::check(int error)
{
    if (error != LXW_NO_ERROR)
        throw WriteFailure(QStringLiteral("errore del foglio di calcolo (%1)")
                               .arg(QString::fromUtf8(lxw_strerror(lxw_error(error)))));
}

void XlsxSheet::widen(int column, const QString& value)
{
    int& width = m_widths[column];
    width = std::max(width, int(value.size()));
}

XlsxBook::XlsxBook(const QString& title)
    : m_work(QDir::temp().filePath(QStringLiteral("prezzario-xlsx-XXXXXX"))),
      m_title(xmlText(title, m_dropped).toUtf8())
{
    if (!m_work.isValid())
        throw WriteFailure(QStringLiteral("impossibile creare una cartella temporanea (%1)").arg(m_work.errorString()));
    const QByteArray workPath = QFile::encodeName(m_work.filePath(kWorkName));
    QByteArray tmpdir = QFile::encodeName(m_work.path());
    lxw_workbook_options options = {};
    options.tmpdir = tmpdir.data();
    m_workbook = workbook_new_opt(workPath.constData(), &options);
    if (!m_workbook)
        throw WriteFailure(QStringLiteral("impossibile creare la cartella di lavoro"));
    lxw_doc_properties properties = {};
    properties.title = m_title.data();
    workbook_set_properties(m_workbook, &properties);
}

XlsxBook::~XlsxBook()
{
    // workbook_close also frees the workbook: it runs on every path, and only finish() counts its success.
    if (m_workbook)
        workbook_close(m_workbook);
}

XlsxSheet XlsxBook::addSheet(const char* name)
{
    return XlsxSheet(m_workbook, workbook_add_worksheet(m_workbook, name), m_dropped);
}

void XlsxBook::finish(QIODevice& out)
{
    lxw_workbook* workbook = std::exchange(m_workbook, nullptr);
    XlsxSheet::check(workbook_close(workbook));
    QFile written(m_work.filePath(kWorkName));
    if (!written.open(QIODevice::ReadOnly))
        throw WriteFailure(QStringLiteral("cartella di lavoro non scritta (%1)").arg(written.errorString()));
    const QByteArray bytes = written.readAll();
    if (out.write(bytes) != bytes.size())
        throw WriteFailure(QStringLiteral("scrittura non riuscita (%1)").arg(out.errorString()));
    reportDropped(m_dropped, QStringLiteral("XLSX"));
}

} // namespace report::exporting
