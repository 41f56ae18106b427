// The computo metrico in each format, read back as its reader reads it, its figures compared with the library's
// own totals: the amounts, the chapters' subtotals, the total and the labour costs agree to the cent.
#include "tests/export/ExportFixture.h"
#include "core/Computo.h"
#include "core/Measures.h"
#include "report/export/ItemExport.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using exporttest::Cell;
using exporttest::Rows;

const QLocale italian(QLocale::Italian, QLocale::Italy);

QString money(core::Cents cents)
{
    return core::moneyText(cents, italian);
}

QString exported(const QTemporaryDir& dir, const core::ExportDocument& document, report::ExportFormat format,
                 const QString& name)
{
    const QString path = dir.filePath(name);
    report::exportItems(document, path, format, report::ExportDocumentKind::Computo);
    return path;
}

core::Cents centsOf(double value)
{
    return core::Cents(std::llround(value * 100));
}

// ---- PDF

TEST(ComputoExport, pdfShowsLinesSubtotalsLabourAndSummaryOnNumberedPages)
{
#ifndef PREZZARIO_PDFTOTEXT
    GTEST_SKIP() << "no pdftotext (poppler-utils)";
#endif
    const core::ExportDocument document = exporttest::computoDocument();
    const core::ComputoTotals totals = core::computoTotals(document);
    const QTemporaryDir dir;
    const QStringList pages =
        exporttest::pdfPages(exported(dir, document, report::ExportFormat::Pdf, QStringLiteral("computo.pdf")), true);
    ASSERT_GE(pages.size(), 3);
    const QString text = pages.join(u' ');

    QStringList expected{
        QStringLiteral("Computo metrico estimativo"),
        QStringLiteral("Prezzario Regione Vallorsa 2021"),
        QStringLiteral("Progetto scuola via Roma"),
        // Each line: its description, its factors as typed, its quantity; a note only its text.
        QStringLiteral("Cortile 12,50 8,40 1,20 126 "),
        QStringLiteral("Rampa 2 (4,50+1,20)/2 3 0,80 13,68 "),
        QStringLiteral("A dedurre pozzetto -1 1,20 1,20 1,20 -1,728"),
        QStringLiteral("Misure prese in contraddittorio con la direzione lavori Sommano"),
        QStringLiteral("Sommano m³ 137,952 12,35 ") + money(*document.items[0].importoCents()),
        QStringLiteral("Sommano m³ 125.500 8,60 ") + money(*document.items[1].importoCents()),
        QStringLiteral("non nel prezzario"),
        QStringLiteral("Stima dei costi della manodopera"),
        QStringLiteral("Riepilogo per capitoli"),
    };
    for (qsizetype i = 0; i < document.items.size(); ++i) {
        const core::ExportItem& item = document.items[i];
        expected << QStringLiteral("%1 %2").arg(i + 1).arg(item.code);
        expected << QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(i + 1)
                        .arg(item.code, money(*item.importoCents()),
                             core::percentText(*item.incidenzaManodopera, italian), money(*item.labourCents()));
    }
    for (const core::ChapterTotals& chapter : totals.chapters) {
        expected << QStringLiteral("Totale %1 %2").arg(chapter.name, money(chapter.amount));
        expected << QStringLiteral("%1 %2").arg(chapter.name, money(chapter.amount)); // the summary
    }
    expected << QStringLiteral("Totale computo ") + money(totals.amount);
    expected << QStringLiteral("Costo della manodopera %1 %2 %3")
                    .arg(money(totals.amount), core::percentText(*totals.labourPercent(), italian),
                         money(totals.labour));
    for (const QString& piece : expected)
        EXPECT_TRUE(text.contains(piece)) << piece.toStdString();

    for (int p = 0; p < pages.size(); ++p)
        EXPECT_TRUE(pages[p].contains(QStringLiteral("pagina %1 di %2").arg(p + 1).arg(pages.size()))) << p;

    // The text longer than a page flows on: every word, in order, over more than one page.
    const QRegularExpression word(QStringLiteral("parola\\d{3}"));
    QStringList words;
    QList<int> wordPages;
    for (int p = 0; p < pages.size(); ++p) {
        for (const QRegularExpressionMatch& match : word.globalMatch(pages[p])) {
            words << match.captured();
            wordPages << p;
        }
    }
    ASSERT_EQ(words.size(), exporttest::kLongTextWords);
    for (int i = 0; i < words.size(); ++i)
        ASSERT_EQ(words[i], QStringLiteral("parola%1").arg(i + 1, 3, 10, QLatin1Char('0')));
    EXPECT_LT(wordPages.front(), wordPages.back());
}

// ---- XLSX

// The rows whose column 'column' reads 'text'.
int rowWith(const Rows& rows, int column, const QString& text, int from = 0)
{
    for (int r = from; r < rows.size(); ++r) {
        if (column < rows[r].size() && rows[r][column].text == text)
            return r;
    }
    return -1;
}

Cell cellAt(const Rows& rows, int row, int column)
{
    return row >= 0 && column < rows[row].size() ? rows[row][column] : Cell();
}

TEST(ComputoExport, workbookRecomputedByCalcGivesTheLibrarysCents)
{
    if (!exporttest::haveOffice())
        GTEST_SKIP() << "no LibreOffice";
    enum { Code = 1, Description = 2, FirstFactor = 4, Quantity = 8, Price = 9, Amount = 10 };
    enum { LabourCode = 1, LabourAmount = 2, LabourShare = 3, LabourCost = 4 };
    const core::ExportDocument document = exporttest::computoDocument();
    const core::ComputoTotals totals = core::computoTotals(document);
    const QTemporaryDir dir;
    const QList<Rows> sheets = exporttest::readSheetsWithOffice(
        dir, exported(dir, document, report::ExportFormat::Xlsx, QStringLiteral("computo.xlsx")));
    ASSERT_EQ(sheets.size(), 2);
    const Rows& computo = sheets[0];
    const Rows& labour = sheets[1];
    ASSERT_FALSE(computo.isEmpty());
    EXPECT_EQ(cellAt(computo, 0, FirstFactor).text, QStringLiteral("Parti uguali"));

    for (const core::ExportItem& item : document.items) {
        SCOPED_TRACE(item.code.toStdString());
        const int itemRow = rowWith(computo, Code, item.code);
        ASSERT_GE(itemRow, 0);
        EXPECT_EQ(cellAt(computo, itemRow, Code).type, QLatin1String("string"));
        // Below the item: a row per line, then its quantity, price and amount.
        const int sumRow = rowWith(computo, Description, QStringLiteral("Sommano ") + item.simbolo.toString(), itemRow);
        ASSERT_GT(sumRow, itemRow);
        const Cell quantity = cellAt(computo, sumRow, Quantity);
        EXPECT_NEAR(quantity.value.toDouble(), *item.quantita, 1e-9);
        EXPECT_EQ(quantity.formula.contains(QStringLiteral("SUM")), !item.misure.isEmpty());
        EXPECT_NEAR(cellAt(computo, sumRow, Price).value.toDouble(), *item.prezzoLordo, 1e-9);
        const Cell amount = cellAt(computo, sumRow, Amount);
        EXPECT_TRUE(amount.formula.contains(QStringLiteral("ROUND"))) << amount.formula.toStdString();
        EXPECT_EQ(centsOf(amount.value.toDouble()), *item.importoCents());
        for (const core::MeasureLine& line : item.misure) {
            const int lineRow = rowWith(computo, Description, line.descrizione, itemRow);
            ASSERT_GT(lineRow, itemRow);
            ASSERT_LT(lineRow, sumRow);
            EXPECT_NEAR(cellAt(computo, lineRow, Quantity).value.toDouble(), *core::lineQuantity(line), 1e-9)
                << line.descrizione.toStdString();
        }

        const int labourRow = rowWith(labour, LabourCode, item.code);
        ASSERT_GE(labourRow, 0);
        EXPECT_EQ(centsOf(cellAt(labour, labourRow, LabourAmount).value.toDouble()), *item.importoCents());
        EXPECT_NEAR(cellAt(labour, labourRow, LabourShare).value.toDouble(), *item.incidenzaManodopera, 1e-9);
        EXPECT_EQ(centsOf(cellAt(labour, labourRow, LabourCost).value.toDouble()), *item.labourCents());
    }
    // The expression is a formula that computes the factor.
    const int rampa = rowWith(computo, Description, QStringLiteral("Rampa"));
    EXPECT_FALSE(cellAt(computo, rampa, FirstFactor + 1).formula.isEmpty());
    EXPECT_NEAR(cellAt(computo, rampa, FirstFactor + 1).value.toDouble(), 2.85, 1e-9);
    const int deduction = rowWith(computo, Description, QStringLiteral("A dedurre pozzetto"));
    EXPECT_EQ(cellAt(computo, deduction, FirstFactor).value.toDouble(), -1);

    for (const core::ChapterTotals& chapter : totals.chapters) {
        EXPECT_GE(rowWith(computo, Description, chapter.name), 0) << chapter.name.toStdString();
        const Cell subtotal =
            cellAt(computo, rowWith(computo, Description, QStringLiteral("Totale ") + chapter.name), Amount);
        EXPECT_EQ(centsOf(subtotal.value.toDouble()), chapter.amount) << chapter.name.toStdString();
        EXPECT_TRUE(subtotal.formula.contains(QStringLiteral("SUM")));
    }
    const Cell total = cellAt(computo, rowWith(computo, Description, QStringLiteral("Totale computo")), Amount);
    EXPECT_EQ(centsOf(total.value.toDouble()), totals.amount);
    EXPECT_FALSE(total.formula.isEmpty());
    const int labourTotal = rowWith(labour, LabourCode, QStringLiteral("Costo della manodopera"));
    EXPECT_EQ(centsOf(cellAt(labour, labourTotal, LabourCost).value.toDouble()), totals.labour);
    EXPECT_EQ(centsOf(cellAt(labour, labourTotal, LabourAmount).value.toDouble()), totals.amount);
}

// ---- CSV

// The fields of a CSV text as a spreadsheet splits them: ';' between fields, '"' around texts (doubled inside),
// line breaks inside quotes kept, CR LF between rows.
QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u';') {
            row << std::exchange(field, QString());
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << std::exchange(field, QString());
            rows << std::exchange(row, QStringList());
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

// An amount as the CSV writes it ("1703,71"), in cents; -1 for an empty field.
core::Cents csvCents(const QString& field)
{
    if (field.isEmpty())
        return -1;
    bool ok = false;
    const double value = QString(field).replace(u',', u'.').toDouble(&ok);
    return ok ? centsOf(value) : -2;
}

TEST(ComputoExport, csvHasChapterRowsOnlyWhenTheCollectionHasChapters)
{
    enum { Code, Description, Unit, Price, Quantity, Amount, LabourShare, Labour };
    const QStringList heading{QStringLiteral("Codice"),
                              QStringLiteral("Descrizione"),
                              QStringLiteral("Unità di misura"),
                              QStringLiteral("Prezzo"),
                              QStringLiteral("Quantità"),
                              QStringLiteral("Importo"),
                              QStringLiteral("Incidenza manodopera %"),
                              QStringLiteral("Manodopera")};
    core::ExportDocument withoutChapters = exporttest::computoDocument();
    withoutChapters.chapters.clear();
    for (core::ExportItem& item : withoutChapters.items)
        item.chapter.clear();

    for (const core::ExportDocument& document : {exporttest::computoDocument(), withoutChapters}) {
        const bool chapters = !document.chapters.isEmpty();
        SCOPED_TRACE(chapters ? "chapters" : "no chapters");
        const core::ComputoTotals totals = core::computoTotals(document);
        const QTemporaryDir dir;
        QFile file(exported(dir, document, report::ExportFormat::Csv, QStringLiteral("computo.csv")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
        const QList<QStringList> rows = parseCsv(QString::fromUtf8(bytes.mid(3)));
        ASSERT_FALSE(rows.isEmpty());
        EXPECT_EQ(rows[0], heading);
        for (const QStringList& row : rows)
            EXPECT_EQ(row.size(), heading.size()) << row.join(u'|').toStdString();

        // What each row must be, in order: chapter headings and subtotals around the items when there are chapters.
        struct Expected
        {
            QString code, description;
            core::Cents amount, labour;
        };
        QList<Expected> expected;
        for (const core::ChapterTotals& chapter : totals.chapters) {
            if (chapters)
                expected << Expected{{}, chapter.name, -1, -1};
            for (const int index : chapter.items) {
                const core::ExportItem& item = document.items[index];
                expected << Expected{item.code, {}, *item.importoCents(), *item.labourCents()};
            }
            if (chapters)
                expected << Expected{{}, QStringLiteral("Totale ") + chapter.name, chapter.amount, chapter.labour};
        }
        expected << Expected{{}, QStringLiteral("Totale computo"), totals.amount, -1};
        expected << Expected{{}, QStringLiteral("Costo della manodopera"), -1, totals.labour};
        ASSERT_EQ(rows.size(), expected.size() + 1);
        for (qsizetype r = 0; r < expected.size(); ++r) {
            const QStringList& row = rows[r + 1];
            SCOPED_TRACE(row.join(u'|').left(120).toStdString());
            EXPECT_EQ(row[Code], expected[r].code);
            if (!expected[r].description.isEmpty()) {
                EXPECT_EQ(row[Description], expected[r].description);
            }
            EXPECT_EQ(csvCents(row[Amount]), expected[r].amount);
            EXPECT_EQ(csvCents(row[Labour]), expected[r].labour);
        }
        const QStringList& first = rows[chapters ? 2 : 1];
        EXPECT_EQ(first[Unit], QStringLiteral("m³"));
        EXPECT_EQ(first[Price], QStringLiteral("12,35"));
        EXPECT_EQ(first[Quantity], QStringLiteral("137,952"));
        EXPECT_EQ(first[LabourShare], QStringLiteral("27,5"));
        EXPECT_EQ(rows.last()[LabourShare], core::plainNumber(core::roundedToCents(*totals.labourPercent()), u','));
    }
}

// A collection with no items, or with a chapter still empty, exports in every format; the empty chapter keeps
// its heading and a subtotal of 0,00.
TEST(ComputoExport, emptyCollectionsAndChaptersExportInEveryFormat)
{
    core::ExportDocument emptyChapter = exporttest::computoDocument();
    emptyChapter.items.removeIf(
        [](const core::ExportItem& item) { return item.chapter == QStringLiteral("Strutture"); });
    core::ExportDocument empty = emptyChapter;
    empty.items.clear();
    empty.chapters.clear();
    for (const core::ExportDocument* document : {&emptyChapter, &empty}) {
        const QTemporaryDir dir;
        for (const auto& [format, name] : {std::pair{report::ExportFormat::Pdf, "c.pdf"},
                                           {report::ExportFormat::Xlsx, "c.xlsx"},
                                           {report::ExportFormat::Csv, "c.csv"},
                                           {report::ExportFormat::Xpwe, "c.xpwe"}}) {
            EXPECT_NO_THROW(exported(dir, *document, format, QString::fromLatin1(name))) << name;
        }
        QFile csv(dir.filePath(QStringLiteral("c.csv")));
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
        const QList<QStringList> rows = parseCsv(QString::fromUtf8(csv.readAll().mid(3)));
        ASSERT_GE(rows.size(), 3);
        const QStringList& total = rows[rows.size() - 2];
        ASSERT_EQ(total.size(), 8);
        EXPECT_EQ(total[1], QStringLiteral("Totale computo"));
        EXPECT_EQ(csvCents(total[5]), core::computoTotals(*document).amount);
        if (document == &emptyChapter) {
            const QStringList strutture{{}, QStringLiteral("Strutture"), {}, {}, {}, {}, {}, {}};
            const QStringList subtotal{
                {}, QStringLiteral("Totale Strutture"), {}, {}, {}, QStringLiteral("0,00"), {}, QStringLiteral("0,00")};
            EXPECT_EQ(rows.indexOf(subtotal), rows.indexOf(strutture) + 1);
        }
    }
}

// ---- XPWE

// An element with its ID attribute, its own text and its children: enough of a tree for a small file.
struct Node
{
    QString name, id, text;
    QList<Node> children;

    QList<Node> all(const char* child) const
    {
        QList<Node> found;
        for (const Node& node : children) {
            if (node.name == QLatin1String(child))
                found << node;
        }
        return found;
    }
    Node one(const char* child) const
    {
        const QList<Node> found = all(child);
        EXPECT_EQ(found.size(), 1) << name.toStdString() << " > " << child;
        return found.value(0);
    }
    QString field(const char* child) const { return one(child).text; }
};

Node readNode(QXmlStreamReader& xml)
{
    Node node{xml.name().toString(), xml.attributes().value(QLatin1String("ID")).toString(), {}, {}};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement())
            node.children << readNode(xml);
        else if (xml.isCharacters() && !xml.isWhitespace())
            node.text += xml.text();
        else if (xml.isEndElement())
            break;
    }
    return node;
}

TEST(ComputoExport, xpweCarriesChaptersLinesAndQuantities)
{
    const core::ExportDocument document = exporttest::computoDocument();
    const QTemporaryDir dir;
    QFile file(exported(dir, document, report::ExportFormat::Xpwe, QStringLiteral("computo.xpwe")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    ASSERT_TRUE(xml.readNextStartElement());
    const Node root = readNode(xml);
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();

    // The chapters, as super-categories beside the list's own chapter structure.
    const QList<Node> chapters = root.one("PweDatiGenerali")
                                     .one("PweDGCapitoliCategorie")
                                     .one("PweDGSuperCategorie")
                                     .all("DGSuperCategorieItem");
    ASSERT_EQ(chapters.size(), document.chapters.size());
    for (qsizetype c = 0; c < chapters.size(); ++c) {
        EXPECT_EQ(chapters[c].id, QString::number(c + 1));
        EXPECT_EQ(chapters[c].field("DesSintetica"), document.chapters[c]);
    }

    const Node measurements = root.one("PweMisurazioni");
    QHash<QString, QString> codes; // EPItem ID → Tariffa
    for (const Node& price : measurements.one("PweElencoPrezzi").all("EPItem"))
        codes[price.id] = price.field("Tariffa");
    ASSERT_EQ(codes.size(), document.items.size());
    EXPECT_TRUE(codes.values().contains(QStringLiteral("NP.001"))) << "a new price is a price item too";

    const QList<Node> measured = measurements.one("PweVociComputo").all("VCItem");
    ASSERT_EQ(measured.size(), document.items.size());
    QStringList lineIds;
    for (qsizetype i = 0; i < measured.size(); ++i) {
        const core::ExportItem& item = document.items[i];
        const Node& vc = measured[i];
        SCOPED_TRACE(item.code.toStdString());
        EXPECT_EQ(codes.value(vc.field("IDEP")), item.code);
        EXPECT_EQ(vc.field("Quantita"), core::plainNumber(*item.quantita));
        EXPECT_EQ(vc.field("IDSpCat"), QString::number(document.chapters.indexOf(item.chapter) + 1));
        const QList<Node> lines = vc.all("PweVCMisure").value(0).all("RGItem");
        ASSERT_EQ(lines.size(), item.misure.size());
        for (qsizetype l = 0; l < lines.size(); ++l) {
            const core::MeasureLine& sent = item.misure[l];
            EXPECT_EQ(lines[l].field("IDVV"), vc.id);
            EXPECT_EQ(lines[l].field("Descrizione"), sent.descrizione);
            EXPECT_EQ(lines[l].field("Quantita"), core::plainNumber(*core::lineQuantity(sent)));
            EXPECT_EQ(lines[l].field("Flags"), QStringLiteral("0"));
            lineIds << lines[l].id;
        }
    }
    EXPECT_EQ(QSet<QString>(lineIds.begin(), lineIds.end()).size(), lineIds.size()) << "line IDs repeat";

    // The factors as typed, with a decimal point; empty when not filled.
    struct
    {
        const char* factors[core::kFactors];
        const char* quantity;
    } expected[] = {
        {{"", "12.50", "8.40", "1.20"}, "126"},
        {{"2", "(4.50+1.20)/2", "3", "0.80"}, "13.68"},
        {{"-1", "1.20", "1.20", "1.20"}, "-1.728"},
        {{"", "", "", ""}, "0"},
    };
    const QList<Node> first = measured[0].one("PweVCMisure").all("RGItem");
    ASSERT_EQ(first.size(), int(std::size(expected)));
    const char* names[core::kFactors] = {"PartiUguali", "Lunghezza", "Larghezza", "HPeso"};
    for (qsizetype l = 0; l < first.size(); ++l) {
        for (int f = 0; f < core::kFactors; ++f)
            EXPECT_EQ(first[l].field(names[f]), QString::fromUtf8(expected[l].factors[f])) << l << names[f];
        EXPECT_EQ(first[l].field("Quantita"), QString::fromUtf8(expected[l].quantity)) << l;
    }
}

} // namespace
