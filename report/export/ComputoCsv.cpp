#include "report/export/ExportRows.h"

#include "core/Computo.h"

#include <array>

namespace report::exporting {

namespace {

enum Field { Code, Description, Unit, Price, Quantity, Amount, LabourShare, Labour, kFields };

using CsvRow = std::array<QByteArray, kFields>;

CsvRow labelled(const QString& label)
{
    CsvRow row;
    row[Description] = csvText(label);
    return row;
}

} // namespace

void writeComputoCsv(const core::ExportDocument& document, QIODevice& out)
{
    // The BOM tells spreadsheets the text is UTF-8; CR LF is what they write themselves.
    QByteArray text = "\xEF\xBB\xBF";
    const auto add = [&text](const CsvRow& row) {
        for (int f = 0; f < kFields; ++f) {
            if (f > 0)
                text += ';';
            text += row[size_t(f)];
        }
        text += "\r\n";
    };

    CsvRow heading;
    const Column columns[] = {Column::Code,     Column::Description, Column::Unit,       Column::Price,
                              Column::Quantity, Column::Amount,      Column::LabourShare};
    for (int f = 0; f < int(std::size(columns)); ++f)
        heading[size_t(f)] = csvText(columnHeading(columns[f]));
    heading[Labour] = csvText(QStringLiteral("Manodopera"));
    add(heading);

    const core::ComputoTotals totals = core::computoTotals(document);
    const bool chapters = !document.chapters.isEmpty();
    for (const core::ChapterTotals& chapter : totals.chapters) {
        if (chapters)
            add(labelled(chapterHeading(chapter)));
        for (const int index : chapter.items) {
            const core::ExportItem& item = document.items[index];
            add({csvText(item.code), csvText(itemDescription(item)), csvText(item.simbolo.toString()),
                 csvNumber(item.prezzoLordo), csvNumber(item.quantita), csvMoney(item.importoCents()),
                 csvNumber(item.incidenzaManodopera), csvMoney(item.labourCents())});
        }
        if (chapters) {
            CsvRow subtotal = labelled(chapterTotalLabel(chapter));
            subtotal[Amount] = csvMoney(chapter.amount);
            subtotal[Labour] = csvMoney(chapter.labour);
            add(subtotal);
        }
    }
    CsvRow total = labelled(kComputoTotal);
    total[Amount] = csvMoney(totals.amount);
    add(total);
    CsvRow labour = labelled(kLabourTotal);
    if (const std::optional<double> percent = totals.labourPercent())
        labour[LabourShare] = csvNumber(core::roundedToCents(*percent));
    labour[Labour] = csvMoney(totals.labour);
    add(labour);

    if (out.write(text) != text.size())
        throw WriteFailure(QStringLiteral("scrittura non riuscita (%1)").arg(out.errorString()));
}

} // namespace report::exporting
