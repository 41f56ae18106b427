// A price list kept in a spreadsheet: sheets written by the tests as flat OpenDocument, saved as .xlsx and
// .ods by a headless LibreOffice, built with --from-xlsx.
#include "tests/tools/BuilderTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tools/build/Builder.h"
#include "tools/build/ListSource.h"

#include <gtest/gtest.h>

using namespace buildertest;

namespace {

// A sheet as the tests write it: the first row is the header; a QVariant of type double is a number cell, a
// string a text cell, an invalid one an empty cell.
struct TestSheet
{
    QString name;
    QList<QVariantList> rows;
};

QString flatOds(const QList<TestSheet>& sheets)
{
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.3\" "
        "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>");
    for (const TestSheet& sheet : sheets) {
        xml += QStringLiteral("<table:table table:name=\"%1\">").arg(sheet.name.toHtmlEscaped());
        for (const QVariantList& row : sheet.rows) {
            xml += QStringLiteral("<table:table-row>");
            for (const QVariant& cell : row) {
                if (!cell.isValid())
                    xml += QStringLiteral("<table:table-cell/>");
                else if (cell.typeId() == QMetaType::Double)
                    xml += QStringLiteral("<table:table-cell office:value-type=\"float\" office:value=\"%1\"/>")
                               .arg(QString::number(cell.toDouble(), 'g', 17));
                else
                    xml += QStringLiteral("<table:table-cell office:value-type=\"string\"><text:p>%1</text:p>"
                                          "</table:table-cell>")
                               .arg(cell.toString().toHtmlEscaped());
            }
            xml += QStringLiteral("</table:table-row>");
        }
        xml += QStringLiteral("</table:table>");
    }
    return xml + QStringLiteral("</office:spreadsheet></office:body></office:document>\n");
}

// The sheets saved as `format` ("xlsx" or "ods") by LibreOffice.
QString saveWorkbook(const QTemporaryDir& dir, const QList<TestSheet>& sheets, const char* format)
{
    const QString source = dir.filePath(QStringLiteral("listino.fods"));
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(flatOds(sheets).toUtf8());
    file.close();
    return saveWithOffice(dir, source, format);
}

const QVariantList kPriceHeader = {
    QStringLiteral("sequenza"),         QStringLiteral("codice_totale"),        QStringLiteral("codice_sezione"),
    QStringLiteral("sezione"),          QStringLiteral("note_sezione"),         QStringLiteral("codice_capitolo"),
    QStringLiteral("codice_articolo"),  QStringLiteral("capitolo"),             QStringLiteral("note_capitolo"),
    QStringLiteral("seq_capitolo"),     QStringLiteral("codice_subarticolo"),   QStringLiteral("articolo"),
    QStringLiteral("note_articolo"),    QStringLiteral("note_subarticolo"),     QStringLiteral("subarticolo"),
    QStringLiteral("simbolo"),          QStringLiteral("prezzo_lordo"),         QStringLiteral("incidenza_manodopera"),
    QStringLiteral("somma_manodopera")};

// The sheets of a built price list, every value as the database holds it: numbers as number cells.
QList<TestSheet> sheetsOf(const core::Database& db)
{
    QList<TestSheet> sheets;
    TestSheet prices{QStringLiteral("prezzario"), {kPriceHeader}};
    for (const QVariantList& row : readAll(db, QStringLiteral("select * from prezzario order by sequenza"))) {
        QVariantList cells;
        for (const QVariant& value : row)
            cells << (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int
                          ? QVariant(value.toDouble())
                          : value);
        prices.rows << cells;
    }
    sheets << prices;
    sheets << TestSheet{QStringLiteral("anno_prezzario"),
                        {{QStringLiteral("ANNO_PREZZARIO")},
                         {scalar(db, QStringLiteral("select ANNO_PREZZARIO from anno_prezzario")).toDouble()}}};
    TestSheet premesse{QStringLiteral("premesse"),
                       {{QStringLiteral("codice_sezione"), QStringLiteral("premessa"), QStringLiteral("premessa2"),
                         QStringLiteral("premessa3")}}};
    premesse.rows << readAll(db, QStringLiteral("select * from premesse"));
    TestSheet manual{QStringLiteral("manuale"), {{QStringLiteral("titolo"), QStringLiteral("Descrizione")}}};
    manual.rows << readAll(db, QStringLiteral("select * from manuale"));
    return sheets << premesse << manual;
}

} // namespace

TEST(WorkbookBuild, theDemoListSavedAsXlsxAndOdsBuildsBackRowForRow)
{
    QTemporaryDir dir;
    const QString original = QDir(dir.path()).filePath(QStringLiteral("demo.mdb"));
    builder::DemoOptions options;
    options.rows = 3000;
    builder::buildDemo(options, original);
    const core::Database demo = openBuilt(original);
    const QList<TestSheet> sheets = sheetsOf(demo);
    for (const char* format : {"xlsx", "ods"}) {
        SCOPED_TRACE(format);
        const QString workbook = saveWorkbook(dir, sheets, format);
        const QString rebuilt = QDir(dir.path()).filePath(QStringLiteral("rebuilt.mdb"));
        const builder::BuildSummary summary = builder::buildFrom(builder::ListSource::workbook(workbook), rebuilt);
        EXPECT_EQ(summary.rows, 3000);
        const core::Database again = openBuilt(rebuilt);
        for (const char* table : {"prezzario order by sequenza", "anno_prezzario", "premesse order by codice_sezione",
                                  "manuale order by titolo"}) {
            const QString sql = QStringLiteral("select * from ") + QString::fromLatin1(table);
            EXPECT_EQ(readAll(again, sql), readAll(demo, sql)) << table;
        }
    }
}

TEST(WorkbookBuild, aCodeTheSpreadsheetMadeANumberIsRefusedWithItsSheetRowAndColumn)
{
    QList<TestSheet> sheets = {
        {QStringLiteral("prezzario"),
         {kPriceHeader,
          {1.0, QStringLiteral("01.A01.A01.010"), QStringLiteral("01"), QStringLiteral("Opere edili"), {},
           QStringLiteral("A01"), QStringLiteral("A01"), QStringLiteral("Scavi"), {}, 1.0, 10.0,
           QStringLiteral("Scavo"), {}, {}, QStringLiteral("fino a 2 m"), {}, 19.01, QStringLiteral("27,5"), {}}}},
        {QStringLiteral("anno_prezzario"), {{QStringLiteral("ANNO_PREZZARIO")}, {2021.0}}},
    };
    QTemporaryDir dir;
    try {
        builder::buildFrom(builder::ListSource::workbook(saveWorkbook(dir, sheets, "xlsx")), QString());
        FAIL() << "accepted";
    } catch (const builder::BuildError& error) {
        // The labour share typed as text with a decimal comma is taken as the number it is.
        const QStringList lines = error.text().split(u'\n');
        ASSERT_EQ(lines.size(), 1) << error.text().toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("foglio «prezzario», riga 2, colonna \"codice_subarticolo\": "
                                                       "il codice è un numero nel foglio (10): formattare la colonna "
                                                       "come testo")))
            << lines[0].toStdString();
    }
}
