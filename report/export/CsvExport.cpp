#include "report/export/ExportRows.h"

namespace report::exporting {

namespace {

QByteArray cell(const core::ExportItem& item, Column column)
{
    switch (column) {
    case Column::Code:
        return csvText(item.code);
    case Column::Description:
        return csvText(itemDescription(item));
    case Column::Unit:
        return csvText(item.simbolo.toString());
    case Column::Price:
        return csvNumber(item.prezzoLordo);
    case Column::Quantity:
        return csvNumber(item.quantita);
    case Column::Amount:
        return csvMoney(item.importoCents());
    case Column::LabourShare:
        return csvNumber(item.incidenzaManodopera);
    case Column::PreviousPrice:
        return csvNumber(item.prezzoPrecedente);
    case Column::Note:
        return noteFor(item).isEmpty() ? QByteArray() : csvText(noteFor(item));
    }
    return {};
}

} // namespace

void writeCsv(const core::ExportDocument& document, QIODevice& out)
{
    const QList<Column> columns = tableColumns(document);
    // The BOM tells spreadsheets the text is UTF-8; CR LF is what they write themselves.
    QByteArray text = "\xEF\xBB\xBF";
    auto endRow = [&](QByteArrayList fields) { text += fields.join(';') + "\r\n"; };

    QByteArrayList heading;
    for (Column column : columns)
        heading << csvText(columnHeading(column));
    endRow(heading);

    for (const core::ExportItem& item : document.items) {
        QByteArrayList fields;
        for (Column column : columns)
            fields << cell(item, column);
        endRow(fields);
    }

    QByteArrayList totalRow;
    for (Column column : columns) {
        if (column == Column::Code)
            totalRow << csvText(QStringLiteral("Totale"));
        else if (column == Column::Amount)
            totalRow << csvMoney(core::totalCents(document.items));
        else
            totalRow << QByteArray();
    }
    endRow(totalRow);

    if (out.write(text) != text.size())
        throw WriteFailure(QStringLiteral("scrittura non riuscita (%1)").arg(out.errorString()));
}

} // namespace report::exporting
