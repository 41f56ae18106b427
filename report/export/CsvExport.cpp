#include "ExportRows.h"

namespace report::exporting {

namespace {

// Texts are always quoted and numbers never, so that a spreadsheet told to take quoted fields as text
// keeps a code such as "010" or "1.010" as it is.
QByteArray quoted(const QString& text)
{
    QByteArray field = text.toUtf8();
    field.replace('"', "\"\"");
    return '"' + field + '"';
}

QByteArray number(std::optional<double> value)
{
    return value ? plainNumber(*value, u',').toUtf8() : QByteArray();
}

QByteArray amount(std::optional<double> value)
{
    return value ? QByteArray::number(*value, 'f', 2).replace('.', ',') : QByteArray();
}

QByteArray cell(const core::ExportItem& item, Column column)
{
    switch (column) {
    case Column::Code:
        return quoted(item.code);
    case Column::Description:
        return quoted(itemDescription(item));
    case Column::Unit:
        return quoted(item.simbolo.toString());
    case Column::Price:
        return number(item.prezzoLordo);
    case Column::Quantity:
        return number(item.quantita);
    case Column::Amount:
        return amount(roundedAmount(item));
    case Column::LabourShare:
        return number(item.incidenzaManodopera);
    case Column::PreviousPrice:
        return number(item.prezzoPrecedente);
    case Column::Note:
        return noteFor(item).isEmpty() ? QByteArray() : quoted(noteFor(item));
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
        heading << quoted(columnHeading(column));
    endRow(heading);

    double total = 0;
    for (const core::ExportItem& item : document.items) {
        QByteArrayList fields;
        for (Column column : columns)
            fields << cell(item, column);
        endRow(fields);
        total += roundedAmount(item).value_or(0);
    }

    QByteArrayList totalRow;
    for (Column column : columns) {
        if (column == Column::Code)
            totalRow << quoted(QStringLiteral("Totale"));
        else if (column == Column::Amount)
            totalRow << amount(roundToCents(total));
        else
            totalRow << QByteArray();
    }
    endRow(totalRow);

    if (out.write(text) != text.size())
        throw WriteFailure(QStringLiteral("scrittura non riuscita (%1)").arg(out.errorString()));
}

} // namespace report::exporting
