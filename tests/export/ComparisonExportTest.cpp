// A comparison of two editions written for people and for other programs: each format read back by its reader
// holds the library's rows, in order.
#include "report/export/ComparisonExport.h"
#include "tests/support/EditionPair.h"
#include "tests/export/ExportFixture.h"
#include "core/Find.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

core::Comparison comparedPair()
{
    const fixture::PriceListFolder older(fixture::olderEdition());
    const fixture::PriceListFolder newer(fixture::newerEdition());
    return core::compareEditions(core::PriceList::open(older.database()), core::PriceList::open(newer.database()))
        .value();
}

TEST(ComparisonExport, workbookHoldsEveryRowWithNumbersAsNumbers)
{
    if (!exporttest::haveOffice())
        GTEST_SKIP() << "no LibreOffice";
    const core::Comparison comparison = comparedPair();
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("confronto.xlsx"));
    report::exportComparison(comparison.items, QStringLiteral("Confronto 2020 – 2021"),
                             report::ComparisonHeadings::Fields, path, report::ExportFormat::Xlsx);
    const exporttest::Rows rows = exporttest::readWithOffice(dir, path);
    ASSERT_EQ(rows.size(), comparison.items.size() + 1);
    QStringList headings;
    for (const exporttest::Cell& cell : rows[0])
        headings << cell.text;
    EXPECT_EQ(headings.join(u','), QStringLiteral("stato,codice_vecchio,codice_nuovo,descrizione,unita,"
                                                  "prezzo_vecchio,prezzo_nuovo,variazione_percentuale"));
    for (qsizetype i = 0; i < comparison.items.size(); ++i) {
        const core::ComparedItem& item = comparison.items[i];
        SCOPED_TRACE(QString(item.newCode + u'/' + item.oldCode).toStdString());
        QList<exporttest::Cell> row = rows[i + 1];
        row.resize(8);
        const QString texts[] = {core::compareStateName(item.state), item.oldCode, item.newCode,
                                 core::shortDescription(item.articolo.toString(), item.subarticolo.toString()),
                                 item.unit().toString()};
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(row[c].text, texts[c]);
            EXPECT_EQ(row[c].type, texts[c].isEmpty() ? QString() : QStringLiteral("string"));
        }
        const std::optional<double> numbers[] = {item.oldPrice, item.newPrice, item.changePercent()};
        for (int c = 5; c < 8; ++c) {
            EXPECT_EQ(row[c].type, numbers[c - 5] ? QStringLiteral("float") : QString());
            if (numbers[c - 5]) {
                EXPECT_NEAR(row[c].value.toDouble(), *numbers[c - 5], 0.005);
            }
        }
    }
}

TEST(ComparisonExport, csvAndPdfShowTheRowsWithTheWindowsHeadings)
{
    const core::Comparison comparison = comparedPair();
    const QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("confronto.csv"));
    report::exportComparison(comparison.items, QStringLiteral("Confronto 2020 – 2021"),
                             report::ComparisonHeadings::Italian, csv, report::ExportFormat::Csv);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF\"Stato\";\"Codice precedente\";\"Codice nuovo\";\"Descrizione\";"
                                 "\"U.M.\";\"Prezzo precedente\";\"Prezzo nuovo\";\"Variazione %\"\r\n"));
    EXPECT_TRUE(bytes.contains("\"nuova\";;\"01.A01.A05.010\";\"Trasporto – a discarica\";\"t\";;14;\r\n"));
    EXPECT_TRUE(bytes.contains("\"variata\";\"01.A01.A01.040\";\"01.A01.A01.040\";\"Scavo – in terreno roccioso\";"
                               "\"m³\";;40;\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), comparison.items.size() + 1);
    // Decimals with a comma, as the semicolons promise an Italian spreadsheet.
    core::ComparedItem changed;
    changed.state = core::CompareState::Variata;
    changed.oldCode = changed.newCode = QStringLiteral("01.A01.A01.010");
    changed.oldPrice = 12.5;
    changed.newPrice = 13.75;
    report::exportComparison({changed}, {}, report::ComparisonHeadings::Italian, csv, report::ExportFormat::Csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith(";12,5;13,75;10\r\n"));
    file.close();

    const QString pdf = dir.filePath(QStringLiteral("confronto.pdf"));
    report::exportComparison(comparison.items, QStringLiteral("Confronto 2020 – 2021"),
                             report::ComparisonHeadings::Italian, pdf, report::ExportFormat::Pdf);
    const QStringList pages = exporttest::pdfPages(pdf, true);
#ifdef PREZZARIO_PDFTOTEXT
    ASSERT_EQ(pages.size(), 1);
    for (const char* piece : {"Confronto 2020 – 2021", "Prezzo Prezzo Variazione Stato Codice precedente Codice nuovo Descrizione U.M. precedente nuovo %",
                              "ricodificata 01.A01.A02.010 01.A01.A03.010 Demolizione – di muratura in mattoni m³ "
                              "100,00 120,00 20,00",
                              "eliminata 03.C01.A01.010 Intonaco – di calce m² 15,00", "pagina 1 di 1"})
        EXPECT_TRUE(pages[0].contains(QString::fromUtf8(piece))) << piece << "\nin: " << pages[0].toStdString();
#endif

    // A comparison has no place in a bill of quantities: refused, and nothing is written.
    const QString xpwe = dir.filePath(QStringLiteral("confronto.xpwe"));
    EXPECT_THROW(report::exportComparison(comparison.items, {}, report::ComparisonHeadings::Italian, xpwe,
                                          report::ExportFormat::Xpwe),
                 report::ExportError);
    EXPECT_FALSE(QFile::exists(xpwe));
}

} // namespace
