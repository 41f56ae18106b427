#include "ExportRows.h"

#include <QDir>
#include <QHash>
#include <QScopeGuard>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>

namespace report::exporting {

namespace {

// A cell holds at most this many characters; a longer text would make libxlsxwriter drop the cell.
constexpr qsizetype longestCellText = 32767;

QString columnLetter(int column)
{
    return QString(QChar(u'A' + column));
}

class Sheet
{
public:
    Sheet(lxw_workbook* workbook, lxw_worksheet* sheet) : m_workbook(workbook), m_sheet(sheet) {}

    lxw_format* format(bool bold, const char* numberFormat, bool wrap)
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

    void text(int row, int column, const QString& value, lxw_format* format)
    {
        if (value.isEmpty())
            return;
        check(worksheet_write_string(m_sheet, row, column, value.left(longestCellText).toUtf8().constData(), format));
        widen(column, value);
    }

    void number(int row, int column, std::optional<double> value, lxw_format* format)
    {
        if (!value)
            return;
        check(worksheet_write_number(m_sheet, row, column, *value, format));
        widen(column, plainNumber(*value, u',') + QStringLiteral("000"));
    }

    void formula(int row, int column, const QString& formula, double value, lxw_format* format)
    {
        check(worksheet_write_formula_num(m_sheet, row, column, formula.toUtf8().constData(), format, value));
        widen(column, plainNumber(value, u',') + QStringLiteral("000"));
    }

    int width(int column) const { return m_widths.value(column); }

    static void check(lxw_error error)
    {
        if (error != LXW_NO_ERROR)
            throw WriteFailure(
                QStringLiteral("errore del foglio di calcolo (%1)").arg(QString::fromUtf8(lxw_strerror(error))));
    }

private:
    void widen(int column, const QString& value)
    {
        int& width = m_widths[column];
        width = std::max(width, int(value.size()));
    }

    lxw_workbook* m_workbook;
    lxw_worksheet* m_sheet;
    QHash<int, int> m_widths;
};

} // namespace

void writeXlsx(const core::ExportDocument& document, QIODevice& out)
{
    // libxlsxwriter writes to a file name of its own; the finished workbook is then copied into out, which takes
    // the target's name only when complete.
    const QTemporaryDir work(QDir::temp().filePath(QStringLiteral("prezzario-xlsx-XXXXXX")));
    if (!work.isValid())
        throw WriteFailure(QStringLiteral("impossibile creare una cartella temporanea (%1)").arg(work.errorString()));
    const QByteArray workPath = QFile::encodeName(work.filePath(QStringLiteral("elenco.xlsx")));
    QByteArray tmpdir = QFile::encodeName(work.path());
    lxw_workbook_options options = {};
    options.tmpdir = tmpdir.data();
    lxw_workbook* workbook = workbook_new_opt(workPath.constData(), &options);
    if (!workbook)
        throw WriteFailure(QStringLiteral("impossibile creare la cartella di lavoro"));
    // workbook_close also frees the workbook: it runs on every path, and only its own success counts.
    bool closed = false;
    const auto closeOnFailure = qScopeGuard([&] {
        if (!closed)
            workbook_close(workbook);
    });

    const QString title = documentTitle(document);
    const QByteArray titleUtf8 = title.toUtf8();
    lxw_doc_properties properties = {};
    properties.title = const_cast<char*>(titleUtf8.constData());
    workbook_set_properties(workbook, &properties);

    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, "Elenco prezzi");
    Sheet sheet(workbook, worksheet);
    lxw_format* heading = sheet.format(true, nullptr, true);
    lxw_format* code = sheet.format(false, "@", false);
    lxw_format* text = sheet.format(false, nullptr, true);
    lxw_format* plain = sheet.format(false, nullptr, false);
    lxw_format* money = sheet.format(false, "#,##0.00", false);
    lxw_format* totalLabel = sheet.format(true, nullptr, false);
    lxw_format* totalMoney = sheet.format(true, "#,##0.00", false);

    const QList<Column> columns = tableColumns(document);
    const int amountColumn = int(columns.indexOf(Column::Amount));
    const int priceColumn = int(columns.indexOf(Column::Price));
    const int quantityColumn = int(columns.indexOf(Column::Quantity));
    for (int c = 0; c < columns.size(); ++c)
        sheet.text(0, c, columnHeading(columns[c]), heading);

    int row = 1;
    double total = 0;
    for (const core::ExportItem& item : document.items) {
        for (int c = 0; c < columns.size(); ++c) {
            switch (columns[c]) {
            case Column::Code:
                sheet.text(row, c, item.code, code);
                break;
            case Column::Description:
                sheet.text(row, c, itemDescription(item), text);
                break;
            case Column::Unit:
                sheet.text(row, c, item.simbolo.toString(), plain);
                break;
            case Column::Price:
                sheet.number(row, c, item.prezzoLordo, money);
                break;
            case Column::Quantity:
                sheet.number(row, c, item.quantita, money);
                break;
            case Column::Amount:
                if (const std::optional<double> amount = roundedAmount(item)) {
                    // Spreadsheet rows are 1-based: the cells of this row are on row + 1.
                    const QString cells = QStringLiteral("=ROUND(%1%3*%2%3,2)")
                                              .arg(columnLetter(priceColumn), columnLetter(quantityColumn))
                                              .arg(row + 1);
                    sheet.formula(row, c, cells, *amount, money);
                    total += *amount;
                }
                break;
            case Column::LabourShare:
                sheet.number(row, c, item.incidenzaManodopera, money);
                break;
            case Column::PreviousPrice:
                sheet.number(row, c, item.prezzoPrecedente, money);
                break;
            case Column::Note:
                sheet.text(row, c, noteFor(item), plain);
                break;
            }
        }
        ++row;
    }
    sheet.text(row, 0, QStringLiteral("Totale"), totalLabel);
    if (document.items.isEmpty()) {
        sheet.number(row, amountColumn, 0.0, totalMoney);
    } else {
        // The items are on the sheet's rows 2 to row; the total on row + 1.
        const QString column = columnLetter(amountColumn);
        const QString sum = QStringLiteral("=SUM(%1:%2)").arg(column + u'2', column + QString::number(row));
        sheet.formula(row, amountColumn, sum, roundToCents(total), totalMoney);
    }

    for (int c = 0; c < columns.size(); ++c) {
        // Long descriptions wrap in a wide column rather than stretching the sheet.
        const int limit = columns[c] == Column::Description ? 70 : 40;
        const int width = std::clamp(sheet.width(c) + 2, 8, limit);
        Sheet::check(worksheet_set_column(worksheet, c, c, width, nullptr));
    }
    worksheet_freeze_panes(worksheet, 1, 0);

    closed = true;
    Sheet::check(workbook_close(workbook));
    QFile written(work.filePath(QStringLiteral("elenco.xlsx")));
    if (!written.open(QIODevice::ReadOnly))
        throw WriteFailure(QStringLiteral("cartella di lavoro non scritta (%1)").arg(written.errorString()));
    const QByteArray bytes = written.readAll();
    if (out.write(bytes) != bytes.size())
        throw WriteFailure(QStringLiteral("scrittura non riuscita (%1)").arg(out.errorString()));
}

} // namespace report::exporting
