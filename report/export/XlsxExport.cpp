#include "report/export/ExportRows.h"

#include "report/export/XlsxBook.h"

namespace report::exporting {

namespace {

QString columnLetter(int column)
{
    return QString(QChar(u'A' + column));
}

} // namespace

void writeXlsx(const core::ExportDocument& document, QIODevice& out)
{
    XlsxBook book(documentTitle(document));
    XlsxSheet sheet = book.addSheet("Elenco prezzi");
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
                // As computed, up to the three decimals a quantity has: a money format would show 10,125 as 10,13.
                sheet.number(row, c, item.quantita, plain);
                break;
            case Column::Amount:
                if (const std::optional<double> amount = item.importo()) {
                    // Spreadsheet rows are 1-based: the cells of this row are on row + 1.
                    const QString cells = QStringLiteral("=ROUND(%1%3*%2%3,2)")
                                              .arg(columnLetter(priceColumn), columnLetter(quantityColumn))
                                              .arg(row + 1);
                    sheet.formula(row, c, cells, *amount, money);
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
        sheet.formula(row, amountColumn, sum, core::fromCents(core::totalCents(document.items)), totalMoney);
    }

    // Long descriptions wrap in a wide column rather than stretching the sheet.
    for (int c = 0; c < columns.size(); ++c)
        sheet.fitColumn(c, columns[c] == Column::Description ? 70 : 40);
    sheet.freezeRows(1);
    book.finish(out);
}

} // namespace report::exporting
