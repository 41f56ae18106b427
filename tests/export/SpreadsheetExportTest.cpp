#include "tests/export/ExportFixture.h"
#include "report/export/ItemExport.h"
#include "tests/support/NumericLocale.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using exporttest::Cell;
using exporttest::Rows;

const QStringList headings{QStringLiteral("Codice"),
                           QStringLiteral("Descrizione"),
                           QStringLiteral("Unità di misura"),
                           QStringLiteral("Prezzo"),
                           QStringLiteral("Quantità"),
                           QStringLiteral("Importo"),
                           QStringLiteral("Incidenza manodopera %"),
                           QStringLiteral("Prezzo precedente"),
                           QStringLiteral("Note")};
enum { Code, Description, Unit, Price, Quantity, Amount, Labour, Previous, Note };

struct RowCase
{
    const char* code;
    double price;
    double quantity; // 0: none
    double amount;   // 0: none
};

const RowCase expectedRows[] = {
    {"01.A01.A01.010", 1234.56, 2, 2469.12},
    {"01.A01.A02.005", 12.5, 10.125, 126.56},
    {"01.A02.B01.030", 45, 0, 0},
    {"010", 7, 3, 21},
};

void expectNumber(const Cell& cell, double value, const char* what)
{
    EXPECT_EQ(cell.type, QLatin1String("float")) << what << ": " << cell.text.toStdString();
    EXPECT_NEAR(cell.value.toDouble(), value, 1e-9) << what;
}

// What a spreadsheet user must find in either form: the headings, codes as text (leading zeros kept), numbers
// as numbers, the accented texts, the notes, and the total.
void expectSheet(Rows rows, bool formulas)
{
    for (QList<Cell>& row : rows)
        row.resize(std::max(row.size(), headings.size())); // the office leaves out empty cells at a row's end
    ASSERT_EQ(rows.size(), 6);                             // headings, four items, total
    ASSERT_GE(rows[0].size(), headings.size());
    for (int c = 0; c < headings.size(); ++c)
        EXPECT_EQ(rows[0][c].text, headings[c]);
    for (int r = 0; r < 4; ++r) {
        const RowCase& expected = expectedRows[r];
        const QList<Cell>& row = rows[r + 1];
        SCOPED_TRACE(expected.code);
        EXPECT_EQ(row[Code].type, QLatin1String("string"));
        EXPECT_EQ(row[Code].text, QString::fromUtf8(expected.code));
        expectNumber(row[Price], expected.price, "price");
        if (expected.quantity != 0) {
            expectNumber(row[Quantity], expected.quantity, "quantity");
            expectNumber(row[Amount], expected.amount, "amount");
            EXPECT_EQ(row[Amount].formula.isEmpty(), !formulas);
        } else {
            EXPECT_TRUE(row[Amount].type.isEmpty());
        }
    }
    EXPECT_TRUE(rows[1][Description].text.contains(QStringLiteral("più il trasporto")));
    EXPECT_TRUE(rows[1][Description].text.endsWith(QStringLiteral("città")));
    EXPECT_EQ(rows[1][Unit].text, QStringLiteral("m³"));
    expectNumber(rows[1][Labour], 27.5, "labour share");
    expectNumber(rows[2][Previous], 11.8, "previous price");
    EXPECT_EQ(rows[2][Note].text, QStringLiteral("già 01.A01.A02.001"));
    EXPECT_EQ(rows[3][Note].text, QStringLiteral("non presente in questa edizione"));
    EXPECT_TRUE(rows[4][Labour].type.isEmpty()) << "an unknown share stays empty, not 0";

    EXPECT_EQ(rows[5][Code].text, QStringLiteral("Totale"));
    expectNumber(rows[5][Amount], exporttest::sampleTotal, "total");
    if (formulas) {
        EXPECT_TRUE(rows[5][Amount].formula.contains(QStringLiteral("SUM"))) << rows[5][Amount].formula.toStdString();
    }
}

TEST(SpreadsheetExport, workbookKeepsNumbersCodesAndTotalAsCalcReadsThem)
{
    if (!exporttest::haveOffice())
        GTEST_SKIP() << "no LibreOffice";
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("elenco.xlsx"));
    report::exportItems(exporttest::sampleDocument(), path, report::ExportFormat::Xlsx);
    expectSheet(exporttest::readWithOffice(dir, path), true);
}

TEST(SpreadsheetExport, csvReadsBackWithItalianSettings)
{
    if (!exporttest::haveOffice())
        GTEST_SKIP() << "no LibreOffice";
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("elenco.csv"));
    report::exportItems(exporttest::sampleDocument(), path, report::ExportFormat::Csv);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains("\"01.A01.A01.010\";") && bytes.contains(";1234,56;2;2469,12;27,5;"));
    EXPECT_EQ(bytes.count("\r\n"), 6);

    // Separator ';', quote '"', UTF-8, from line 1, Italian, quoted fields as text, special numbers detected:
    // the settings an Italian user picks in the import dialog.
    const QString filter = QStringLiteral("Text - txt - csv (StarCalc):59,34,76,1,,1040,true,true");
    expectSheet(exporttest::readWithOffice(dir, path, filter), false);
}

// Texts a spreadsheet would evaluate as formulas arrive as text even with the office's default import, which
// does not take quoted fields as text; numbers, negative ones too, stay numbers.
TEST(SpreadsheetExport, csvTextsThatLookLikeFormulasStayText)
{
    if (!exporttest::haveOffice())
        GTEST_SKIP() << "no LibreOffice";
    core::ExportDocument document = exporttest::sampleDocument();
    const char* hostile[] = {"=2+3", "+1+1", "-1+1", "@SUM(1)", "\t=1"};
    for (qsizetype i = 0; i < 4; ++i)
        document.items[i].simbolo = core::Text::fromUtf8(hostile[i]);
    document.items[0].articolo = core::Text::fromUtf8(hostile[4]);
    document.items[0].subarticolo = core::Text();
    document.items[3].quantita = -3;
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("elenco.csv"));
    report::exportItems(document, path, report::ExportFormat::Csv);

    const Rows rows = exporttest::readWithOffice(
        dir, path, QStringLiteral("Text - txt - csv (StarCalc):59,34,76,1,,1040,false,true"));
    ASSERT_EQ(rows.size(), 6);
    for (int r = 0; r < 4; ++r) {
        SCOPED_TRACE(hostile[r]);
        EXPECT_EQ(rows[r + 1][Unit].type, QLatin1String("string"));
        EXPECT_TRUE(rows[r + 1][Unit].formula.isEmpty());
        EXPECT_TRUE(rows[r + 1][Unit].text.endsWith(QString::fromUtf8(hostile[r])));
    }
    EXPECT_TRUE(rows[1][Description].formula.isEmpty());
    EXPECT_EQ(rows[1][Description].type, QLatin1String("string"));
    expectNumber(rows[4][Quantity], -3, "a negative quantity");
    expectNumber(rows[4][Amount], -21, "its amount");
}

// The figures of every format are the same whatever the C library's numeric locale: an Italian one turned
// 1234,56 into 1234 in the workbook, the CSV and XPWE.
TEST(SpreadsheetExport, everyFormatGivesTheSameFiguresUnderAnItalianNumericLocale)
{
    const QTemporaryDir dir;
    const auto written = [&](report::ExportFormat format, const QString& name) {
        const QString path = dir.filePath(name);
        report::exportItems(exporttest::sampleDocument(), path, format);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray csv = written(report::ExportFormat::Csv, QStringLiteral("c.csv"));
    const QByteArray xpwe = written(report::ExportFormat::Xpwe, QStringLiteral("c.xpwe"));
    {
        const testing_support::ItalianNumericLocale italian;
        ASSERT_TRUE(italian.available()) << "it_IT.UTF-8 is missing: ./build.sh test generates it";
        EXPECT_EQ(written(report::ExportFormat::Csv, QStringLiteral("i.csv")), csv);
        EXPECT_EQ(written(report::ExportFormat::Xpwe, QStringLiteral("i.xpwe")), xpwe);
        written(report::ExportFormat::Xlsx, QStringLiteral("i.xlsx"));
    }
    if (exporttest::haveOffice())
        expectSheet(exporttest::readWithOffice(dir, dir.filePath(QStringLiteral("i.xlsx"))), true);
}

} // namespace
