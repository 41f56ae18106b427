// Rows copied from a list, read back by a real LibreOffice Calc. The office reads the copied HTML table
// through its HTML import, whose cells go through the same handling of numbers and text as a paste of
// HTML; it runs in English here, so numbers written the Italian way arrive as values only by the table's
// own marks.
#include "ui/ReportList.h"
#include "tests/report/ReportSession.h"
#include "report/modExcel97.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

namespace reporttest {

TEST(ListPaste, numbersArriveAsValuesAndCodesAndTextsAsTheyAre)
{
    QWidget window;
    ui::ReportList list(&window);
    list.setColumns({{QStringLiteral("Codice"), 1400},
                     {QStringLiteral("Descrizione"), 4000},
                     {QStringLiteral("Un. misura"), 1000},
                     {QStringLiteral("Prezzo"), 800, true},
                     {QStringLiteral("Inc. Manodopera"), 1500, true},
                     {QStringLiteral("Manodopera Lorda"), 1700, true},
                     {QStringLiteral("note"), 0}});
    const QStringList rows[] = {
        {QStringLiteral("01.A01.A01.010"), QStringLiteral("In terreno sciolto"), QStringLiteral("m³"),
         QStringLiteral("12,5"), QStringLiteral("27,5 %"), QStringLiteral("3,44"), QStringLiteral("nascosta")},
        {QStringLiteral("010"),
         QStringLiteral("Roccia dell'alveo <dura> & \"compatta\""),
         QStringLiteral("m²"),
         {},
         {},
         {},
         {}},
        {QStringLiteral("03.10"),
         QStringLiteral("Muratura a 3,5 teste"),
         QStringLiteral("m"),
         QStringLiteral("1234,56"),
         QStringLiteral("90 %"),
         QStringLiteral("1111,1"),
         {}},
        {QStringLiteral("020"),
         QStringLiteral("Scavo:\nin terreno\r\nsciolto\rasciutto"),
         QStringLiteral("m³"),
         {},
         {},
         {},
         {}},
    };
    for (qsizetype i = 0; i < qsizetype(std::size(rows)); ++i) {
        ui::ReportRow row;
        for (const QString& cell : rows[i])
            row.cell(cell);
        list.Add(ui::ReportList::keyFor(i), row);
    }
    list.copyToClipboard(ui::ReportList::Copy::All);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // Named as a workbook, so that the office opens the HTML as a spreadsheet.
    const QString path = folder.filePath(QStringLiteral("copia.xls"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(copied->html().toUtf8());
    file.close();

    report::modExcel97 excel;
    excel.Apri_Modello(path);
    struct Expected
    {
        int x;
        int y;
        const char* type;
        QString value;
    };
    const Expected cells[] = {
        {1, 1, "text", QStringLiteral("Codice")},
        {6, 1, "text", QStringLiteral("Manodopera Lorda")},
        {7, 1, "empty", {}},
        {1, 2, "text", QStringLiteral("01.A01.A01.010")},
        {2, 2, "text", QStringLiteral("In terreno sciolto")},
        {3, 2, "text", QStringLiteral("m³")},
        {4, 2, "value", QStringLiteral("12.5")},
        {5, 2, "value", QStringLiteral("27.50%")},
        {6, 2, "value", QStringLiteral("3.44")},
        {7, 2, "empty", {}},
        {1, 3, "text", QStringLiteral("010")},
        {2, 3, "text", QStringLiteral("Roccia dell'alveo <dura> & \"compatta\"")},
        {4, 3, "empty", {}},
        {1, 4, "text", QStringLiteral("03.10")},
        {2, 4, "text", QStringLiteral("Muratura a 3,5 teste")},
        {4, 4, "value", QStringLiteral("1234.56")},
        {5, 4, "value", QStringLiteral("90%")},
        {6, 4, "value", QStringLiteral("1111.1")},
        // A description of several lines stays in its row's cell, on one line.
        {2, 5, "text", QStringLiteral("Scavo: in terreno sciolto asciutto")},
        {2, 6, "empty", {}},
    };
    for (const Expected& expected : cells) {
        SCOPED_TRACE(testing::Message() << "cell " << expected.x << "," << expected.y);
        const QMap<QString, QString> facts = excel.inspect(expected.x, expected.y);
        EXPECT_EQ(facts.value(QStringLiteral("type")), QString::fromLatin1(expected.type));
        // Numbers are shown in the office's own language: compared with their decimal point.
        QString shown = facts.value(QStringLiteral("value"));
        if (facts.value(QStringLiteral("type")) == u"value")
            shown.replace(u',', u'.');
        EXPECT_EQ(shown, expected.value);
    }
    excel.closeDocument();
}

} // namespace reporttest
