// Price lists written as XPWE: files the tests write, built with --from-xpwe or xpweSource, read back from the
// built database.
#include "tests/tools/BuilderTestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "tools/build/Builder.h"
#include "core/ChosenItems.h"
#include "report/export/ItemExport.h"
#include "tools/build/XpweSource.h"

#include <gtest/gtest.h>

using namespace buildertest;

namespace {

// Super-chapter, chapter and sub-chapter named by ID (as attribute and as child); a second item of the same
// article that names none; section 02 given by items without a price; section 03 by nothing but its code (its
// item names the IDs 0, which estimating programs write for none).
// Prices with a comma and with a point, as the file writes them.
const char* const kList = R"(<?xml version="1.0" encoding="UTF-8"?>
<PweDocumento>
 <PweDatiGenerali>
  <PweDGDatiGenerali><Oggetto>Listino di prova</Oggetto><Anno>2024</Anno></PweDGDatiGenerali>
  <PweDGCapitoliCategorie>
   <PweDGSuperCapitoli><DGSuperCapitoliItem ID="1"><DesSintetica>OPERE EDILI</DesSintetica><DesEstesa>Opere edili e affini</DesEstesa></DGSuperCapitoliItem></PweDGSuperCapitoli>
   <PweDGCapitoli><DGCapitoliItem ID="4"><DesSintetica>Scavi</DesSintetica></DGCapitoliItem></PweDGCapitoli>
   <PweDGSubCapitoli><DGSubCapitoliItem><ID>9</ID><DesSintetica>Scavo di sbancamento</DesSintetica></DGSubCapitoliItem></PweDGSubCapitoli>
  </PweDGCapitoliCategorie>
 </PweDatiGenerali>
 <PweMisurazioni>
  <PweElencoPrezzi>
   <EPItem ID="1"><IDSpCap>1</IDSpCap><IDCap>4</IDCap><IDSbCap>9</IDSbCap><Tariffa>01.A01.A01.010</Tariffa><DesBreve>Scavo</DesBreve><DesEstesa>in terreno sciolto</DesEstesa><UnMisura>m³</UnMisura><Prezzo1>12,50</Prezzo1><IncMDO>30</IncMDO></EPItem>
   <EPItem ID="2"><Tariffa>01.A01.A01.020</Tariffa><DesEstesa>in roccia</DesEstesa><UnMisura>m³</UnMisura><Prezzo1>40.2</Prezzo1></EPItem>
   <EPItem ID="3"><Tariffa>02</Tariffa><DesEstesa>IMPIANTI</DesEstesa></EPItem>
   <EPItem ID="4"><Tariffa>02.E01</Tariffa><DesBreve>Impianti elettrici</DesBreve></EPItem>
   <EPItem ID="5"><Tariffa>02.E01.P01</Tariffa><DesEstesa>Punto luce</DesEstesa><Prezzo1>0</Prezzo1></EPItem>
   <EPItem ID="6"><DesEstesa>interrotto</DesEstesa><Tariffa>02.E01.P01.005</Tariffa><UnMisura>cad</UnMisura><Prezzo1>1234,5</Prezzo1><IncMDO>12,5</IncMDO></EPItem>
   <EPItem ID="7"><IDSpCap>0</IDSpCap><IDCap>0</IDCap><Tariffa>03.B01.C01.001</Tariffa><DesBreve>Nolo</DesBreve><UnMisura>h</UnMisura><Prezzo1>55</Prezzo1></EPItem>
  </PweElencoPrezzi>
 </PweMisurazioni>
</PweDocumento>
)";

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return path;
}

QString lineOf(const QByteArray& text, const char* piece)
{
    return QString::number(text.left(text.indexOf(piece)).count('\n') + 1);
}

QByteArray utf16(const QString& text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder(QString(text).replace(QStringLiteral("encoding=\"UTF-8\""), QStringLiteral("encoding=\"UTF-16\"")));
}

TEST(XpweBuild, chapterStructureHeadingsAndCodesGiveTheLevels)
{
    // In UTF-16 as in UTF-8.
    for (const QByteArray& bytes : {QByteArray(kList), utf16(QString::fromUtf8(kList))}) {
        const QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("listino.xpwe"), bytes);
        const QString out = dir.filePath(QStringLiteral("Prezzario.mdb"));
        const builder::BuildSummary summary = builder::buildFrom(builder::xpweSource(path), out);
        EXPECT_EQ(summary.rows, 4);
        EXPECT_EQ(summary.sections, 3);
        EXPECT_EQ(summary.year, 2024);

        const core::Database db = openBuilt(out);
        const QList<QVariantList> rows =
            readAll(db, QStringLiteral("SELECT codice_totale, sezione, note_sezione, capitolo, seq_capitolo, articolo, "
                                       "subarticolo, simbolo, prezzo_lordo, incidenza_manodopera, somma_manodopera "
                                       "FROM prezzario ORDER BY sequenza"));
        const char* const expected[][11] = {
            {"01.A01.A01.010", "OPERE EDILI", "Opere edili e affini", "Scavi", "1", "Scavo di sbancamento",
             "in terreno sciolto", "m³", "12.5", "30", "3.75"},
            {"01.A01.A01.020", "OPERE EDILI", "Opere edili e affini", "Scavi", "1", "Scavo di sbancamento", "in roccia",
             "m³", "40.2", "NULL", "NULL"},
            {"02.E01.P01.005", "IMPIANTI", "NULL", "Impianti elettrici", "2", "Punto luce", "interrotto", "cad",
             "1234.5", "12.5", "154.31"},
            {"03.B01.C01.001", "", "NULL", "", "3", "", "Nolo", "h", "55", "NULL", "NULL"},
        };
        ASSERT_EQ(rows.size(), qsizetype(std::size(expected)));
        for (qsizetype r = 0; r < rows.size(); ++r) {
            for (qsizetype c = 0; c < 11; ++c) {
                const QString value = rows[r][c].isNull() ? QStringLiteral("NULL") : rows[r][c].toString();
                EXPECT_EQ(value, QString::fromUtf8(expected[r][c])) << "row " << r << " column " << c;
            }
        }
        EXPECT_EQ(scalar(db, QStringLiteral("SELECT ANNO_PREZZARIO FROM anno_prezzario")).toInt(), 2024);
    }
}

// The program's own XPWE export builds back into the items it holds.
TEST(XpweBuild, exportedItemsBuildBackUnchanged)
{
    const auto item = [](const char* code, const char* section, const char* chapter, const char* article,
                         const char* subarticle, const char* unit, double price, std::optional<double> labour) {
        core::ExportItem item;
        item.code = QString::fromUtf8(code);
        item.sezione = core::Text::fromUtf8(section);
        item.capitolo = core::Text::fromUtf8(chapter);
        item.articolo = core::Text::fromUtf8(article);
        item.subarticolo = core::Text::fromUtf8(subarticle);
        item.simbolo = core::Text::fromUtf8(unit);
        item.prezzoLordo = price;
        item.incidenzaManodopera = labour;
        return item;
    };
    core::ExportDocument document;
    document.listTitle = QStringLiteral("Prezzario Regione Vallorsa");
    document.year = QStringLiteral("2021");
    document.collectionName = QStringLiteral("Scuola 2019");
    document.items = {
        item("01.A01.A01.010", "OPERE EDILI", "Scavi e rinterri", "Scavo di sbancamento. Compreso il carico",
             "in terreno di qualsiasi natura, città", "m³", 1234.56, 27.5),
        item("01.A01.A02.005", "OPERE EDILI", "Scavi e rinterri", "Scavo a sezione obbligata", "in roccia", "m³", 12.5,
             std::nullopt),
        item("18.P02.B01.030", "IMPIANTI", "Impianti elettrici", "Punto luce\ninterrotto", "con frutto \"civile\"",
             "cad", 0.3, 60.0),
    };
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("computo.xpwe"));
    report::exportItems(document, path, report::ExportFormat::Xpwe);
    const QString out = dir.filePath(QStringLiteral("Prezzario.mdb"));
    EXPECT_EQ(builder::buildFrom(builder::xpweSource(path), out).year, 2021);

    const QList<QVariantList> rows = readAll(
        openBuilt(out), QStringLiteral("SELECT codice_totale, sezione, capitolo, articolo, subarticolo, simbolo, "
                                       "prezzo_lordo, incidenza_manodopera FROM prezzario ORDER BY sequenza"));
    ASSERT_EQ(rows.size(), document.items.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const core::ExportItem& sent = document.items[i];
        EXPECT_EQ(rows[i][0].toString(), sent.code);
        EXPECT_EQ(rows[i][1].toString(), sent.sezione.toString());
        EXPECT_EQ(rows[i][2].toString(), sent.capitolo.toString());
        EXPECT_EQ(rows[i][3].toString(), sent.articolo.toString());
        EXPECT_EQ(rows[i][4].toString(), sent.subarticolo.toString());
        EXPECT_EQ(rows[i][5].toString(), sent.simbolo.toString());
        EXPECT_EQ(rows[i][6].toDouble(), *sent.prezzoLordo);
        EXPECT_EQ(rows[i][7].isNull(), !sent.incidenzaManodopera);
        if (sent.incidenzaManodopera) {
            EXPECT_EQ(rows[i][7].toDouble(), *sent.incidenzaManodopera);
        }
    }
}

// A file that is not an XPWE document is refused whole: one message with the file and the line, no database.
TEST(XpweBuild, brokenOrForeignFilesAreRefusedWithTheirLine)
{
    const QByteArray list(kList);
    const struct
    {
        QByteArray bytes;
        const char* said;
        QString line;
    } cases[] = {
        {list.left(list.indexOf("<EPItem ID=\"6\"")), "è troncato", lineOf(list, "<EPItem ID=\"6\"")},
        {QByteArray(kList).replace("</EPItem>\n   <EPItem ID=\"3\"", "</EPItm>\n   <EPItem ID=\"3\""), "XML non valido",
         lineOf(list, "<EPItem ID=\"2\"")},
        {"<?xml version=\"1.0\"?>\n<Documento xmlns=\"six.xsd\"><prezzario/></Documento>\n", "non è un file XPWE",
         QStringLiteral("2")},
        {"codice;prezzo\n01.A01.A01.010;12,5\n", "non è un file XML", QStringLiteral("1")},
        // A character whose UTF-16 bytes hold a quote, then elements nested deeper than the reader's stack.
        {utf16(QStringLiteral("<PweDocumento><PweElencoPrezzi><EPItem><DesEstesa>\u0122") +
               QStringLiteral("<a>").repeated(60'000)),
         "annidati oltre il limite di 256 livelli", QStringLiteral("1")},
        // A text longer than a field, in pieces a comment apart.
        {QByteArray(kList).replace(
             "<DesEstesa>in roccia",
             QByteArray("<DesEstesa>" + QByteArray(QByteArray(600'000, 'r') + "<!---->").repeated(2) + "in roccia")),
         "il testo di <DesEstesa> supera il limite di 1.048.576 caratteri", lineOf(list, "<EPItem ID=\"2\"")},
        {"", "non è un file XML", QStringLiteral("1")},
    };
    for (const auto& c : cases) {
        const QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("listino.xpwe"), c.bytes);
        const ToolRun run = runTool({QStringLiteral("--from-xpwe"), path, QStringLiteral("--out"),
                                     dir.filePath(QStringLiteral("Prezzario.mdb"))});
        EXPECT_EQ(run.exitCode, 1) << c.said;
        EXPECT_TRUE(run.err.contains(QStringLiteral("«%1»").arg(path))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.said))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("riga %1").arg(c.line))) << run.err.toStdString();
        EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("listino.xpwe")});
    }
}

// Every wrong item is reported in one run, each with its line, column and Tariffa; nothing is written.
TEST(XpweBuild, everyProblemIsReportedWithLineColumnAndTariffa)
{
    QByteArray list(kList);
    list.replace("<Anno>2024</Anno>", "");
    list.replace("<Tariffa>01.A01.A01.020</Tariffa>", "<Tariffa>01.a01.A01.020</Tariffa>");
    list.replace("<Prezzo1>1234,5</Prezzo1>", "<Prezzo1>1.234,5</Prezzo1>");
    list.replace("<IDCap>4</IDCap>", "<IDCap>7</IDCap>");
    list.replace("<Tariffa>02.E01.P01</Tariffa><DesEstesa>Punto luce</DesEstesa><Prezzo1>0</Prezzo1>",
                 "<Tariffa>02.E01.P01</Tariffa><DesEstesa>Punto luce</DesEstesa><Prezzo1>3</Prezzo1>");
    list.replace("<Tariffa>03.B01.C01.001</Tariffa>", "");
    list.replace("<DesBreve>Impianti elettrici</DesBreve>",
                 "<DesBreve>Impianti elettrici</DesBreve><EPItem><Tariffa>02.E01.X01.001</Tariffa></EPItem>");
    const QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("listino.xpwe"), list);
    const ToolRun run =
        runTool({QStringLiteral("--from-xpwe"), path, QStringLiteral("--out"), dir.filePath(QStringLiteral("a.mdb"))});
    EXPECT_EQ(run.exitCode, 1);
    const struct
    {
        const char* item;
        const char* element; // where the item is in the file
        const char* said;
    } expected[] = {
        {"Tariffa 01.A01.A01.010", "<EPItem ID=\"1\"", "IDCap \"7\" non corrisponde ad alcun DGCapitoliItem"},
        {"Tariffa 01.a01.A01.020", "<EPItem ID=\"2\"", "scriverlo in maiuscolo"},
        {"Tariffa 02.E01)", "<EPItem ID=\"4\"", "contiene un altro EPItem (riga"},
        {"Tariffa 02.E01.P01)", "<EPItem ID=\"5\"", "ha 3 parti separate da punti"},
        {"Tariffa 02.E01.P01.005), colonna \"Prezzo1\"", "<EPItem ID=\"6\"", "separatore delle migliaia"},
        {"EPItem senza Tariffa", "<EPItem ID=\"7\"", "manca la Tariffa"},
    };
    for (const auto& e : expected) {
        const QString line = QStringLiteral(", riga %1, colonna ").arg(lineOf(list, e.element));
        const QStringList said = run.err.split(u'\n').filter(QString::fromUtf8(e.item));
        ASSERT_EQ(said.size(), 1) << e.item << "\n" << run.err.toStdString();
        EXPECT_TRUE(said[0].contains(line)) << said[0].toStdString();
        EXPECT_TRUE(said[0].contains(QString::fromUtf8(e.said))) << said[0].toStdString();
    }
    EXPECT_TRUE(run.err.contains(QStringLiteral("indicarlo con --anno AAAA"))) << run.err.toStdString();
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("listino.xpwe")});
}

// --anno wins over the year the file gives.
TEST(XpweBuild, annoWinsOverTheFile)
{
    const QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("listino.xpwe"), kList);
    const ToolRun run = runTool({QStringLiteral("--from-xpwe"), path, QStringLiteral("--anno"), QStringLiteral("2025"),
                                 QStringLiteral("--check")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("4 righe, 3 sezioni, 3 capitoli, 3 articoli, anno 2025")))
        << run.err.toStdString();
}

} // namespace
