// Text searches of one level: every price-list row under each found element, grouped under section,
// chapter and article headings.
#include "tests/report/ReportSession.h"

namespace reporttest {

namespace {

const QString kArtIndTitle = QStringLiteral("'  contenuto nell'Articolo e tutti i suoi Subarticoli associati");

const QStringList kSubA02{QStringLiteral("01"),
                          QStringLiteral("01.A01.A02.010"),
                          QStringLiteral("Con mezzi meccanici per scavo"),
                          QStringLiteral("m³"),
                          QStringLiteral("8"),
                          QStringLiteral("12 %"),
                          QStringLiteral("0,96"),
                          {}};
const QStringList kSection02{
    QStringLiteral("02"), QStringLiteral("02"), QStringLiteral("Restauro"), {}, {}, {}, {}, {}};

// Every row of the list, rows 3 to 14: both sections, an empty row between them.
void expectWholeList(const Sheet& sheet)
{
    expectRows(sheet, 3, kFirstArticleHeadings);
    expectRows(sheet, 6,
               {{RowKind::Subarticle, kSub010},
                {RowKind::Subarticle, kSub020},
                {RowKind::Article, kArticleA02},
                {RowKind::Subarticle, kSubA02}});
    EXPECT_TRUE(sheet.rowEmpty(10));
    expectRows(sheet, 11,
               {{RowKind::SectionWithoutNote, kSection02},
                {RowKind::Chapter, kChapter02A01},
                {RowKind::Article, kArticle02},
                {RowKind::Subarticle, kSub02}});
}

// Chapters A01, B01, A01 again in list order: an article of B01 lies between two articles of A01.
fixture::Tables interleavedTables()
{
    fixture::Tables tables;
    const std::tuple<qint64, const char*, const char*, const char*> rows[] = {
        {1, "A01", "Scavi", "Voce alfa"}, {2, "B01", "Demolizioni", "Voce beta"}, {3, "A01", "Scavi", "Voce gamma"}};
    for (const auto& [sequenza, chapter, chapterName, article] : rows) {
        fixture::Row r;
        r.sequenza = sequenza;
        r.capitolo_codice = QString::fromLatin1(chapter);
        r.capitolo = QString::fromLatin1(chapterName);
        r.seq_capitolo = sequenza;
        r.articolo_codice = QStringLiteral("A0%1").arg(sequenza);
        r.articolo = QString::fromLatin1(article);
        tables.rows << r;
    }
    return tables;
}

struct InterleavedReport : ReportSession
{
    InterleavedReport() : ReportSession(interleavedTables()) {}
};

} // namespace

TEST_F(ReportSession, oneFoundArticleFillsTitleSectionChapterArticleAndItsSubarticles)
{
    textSearch(0, QStringLiteral("sezione obbligata"), false, true, false);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1, kHeading + QStringLiteral(" - Ricerca del testo:  'sezione obbligata") + kArtIndTitle);
    EXPECT_EQ(sheet.values(2),
              (QStringList{QStringLiteral("Sez."), QStringLiteral("Codice"), QStringLiteral("Descrizione"),
                           QStringLiteral("Un. misura"), QStringLiteral("Prezzo"), QStringLiteral("Inc. Manodopera"),
                           QStringLiteral("Manodopera Lorda"), QStringLiteral("Note")}))
        << "row 2 stays as the template has it";
    expectRows(sheet, 3, kFirstArticleHeadings);
    expectRow(sheet, 6, RowKind::Subarticle, kSub010);
    // Null price, share and amount: empty cells, still bordered.
    expectRow(sheet, 7, RowKind::Subarticle, kSub020);
    EXPECT_TRUE(sheet.rowEmpty(8));
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join(u'\n').toStdString();
}

TEST_F(ReportSession, articlesOfOneChapterShareItsHeadingAndAnotherSectionFollowsAnEmptyRow)
{
    textSearch(0, QStringLiteral("scavo"), false, true, false);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectWholeList(sheet);
    EXPECT_TRUE(sheet.rowEmpty(15));
}

TEST_F(InterleavedReport, aChapterHeadingComesAgainWhenAnotherChapterCameBetween)
{
    textSearch(0, QStringLiteral("voce"), false, true, false);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    QStringList column2;
    for (int row = 3; row <= 12; ++row)
        column2 << sheet.at(2, row).value();
    EXPECT_EQ(column2,
              (QStringList{QStringLiteral("01"), QStringLiteral("01.A01"), QStringLiteral("01.A01.A01"),
                           QStringLiteral("01.A01.A01.010"), QStringLiteral("01.B01"), QStringLiteral("01.B01.A02"),
                           QStringLiteral("01.B01.A02.010"), QStringLiteral("01.A01"), QStringLiteral("01.A01.A03"),
                           QStringLiteral("01.A01.A03.010")}));
    EXPECT_EQ(sheet.boldPattern(10), QStringLiteral("11111110")) << "a chapter row again";
    EXPECT_TRUE(sheet.rowEmpty(13));
}

TEST_F(ReportSession, foundSubarticlesShareOneHeadingAndTakeTheirCellsFromTheList)
{
    textSearch(0, QStringLiteral("scavo escluso"), false, false, true);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1,
                kHeading + QStringLiteral(" - Ricerca del testo:  'scavo escluso'  contenuto nei soli Subarticoli"));
    expectRow(sheet, 3, RowKind::Section, kSection01);
    expectRow(sheet, 4, RowKind::Chapter,
              {QStringLiteral("01"), QStringLiteral("01.B02"), QStringLiteral("Murature"), {}, {}, {}, {}, {}});
    expectRow(sheet, 5, RowKind::Article,
              {QStringLiteral("01"),
               QStringLiteral("01.B02.A05"),
               QStringLiteral("Muratura in laterizio"),
               {},
               {},
               {},
               {},
               {}});
    // The share as the list shows it: the list already carries " %".
    expectRow(sheet, 6, RowKind::Subarticle,
              {QStringLiteral("01"),
               QStringLiteral("01.B02.A05.010"),
               QStringLiteral("Spessore 25 cm, scavo escluso"),
               QStringLiteral("m²"),
               QStringLiteral("45,1"),
               QStringLiteral("40 %"),
               QStringLiteral("18,04"),
               {}});
    expectRow(sheet, 7, RowKind::Subarticle,
              {QStringLiteral("01"),
               QStringLiteral("01.B02.A05.020"),
               QStringLiteral("Spessore 30 cm, scavo escluso"),
               QStringLiteral("m²"),
               QStringLiteral("52"),
               QStringLiteral("40 %"),
               QStringLiteral("20,8"),
               {}});
    EXPECT_TRUE(sheet.rowEmpty(8));
}

TEST_F(ReportSession, aFoundChapterPrintsEveryArticleWithItsSubarticles)
{
    textSearch(0, QStringLiteral("scavi"), true, false, false);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1,
                kHeading + QStringLiteral(" - Ricerca del testo:  'scavi'  contenuto nel Capitolo e tutti i suoi "
                                          "Articoli e Subarticoli associati"));
    expectWholeList(sheet);
}

TEST_F(ReportSession, theSearchedTextKeepsItsCaseAndItsApostropheInTheTitle)
{
    textSearch(0, QStringLiteral("Dell'Alveo"), false, false, true);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1,
                kHeading + QStringLiteral(" - Ricerca del testo:  'Dell'Alveo'  contenuto nei soli Subarticoli"));
    expectRow(sheet, 6, RowKind::Subarticle, kSub020);
}

TEST_F(ReportSession, bothPrintButtonsGiveTheSameReport)
{
    textSearch(0, QStringLiteral("scavo"), false, true, false);
    const Sheet first = print("cmdstampa", 15);
    ASSERT_TRUE(printed);
    const Sheet second = print("cmdStampa1", 15);
    ASSERT_TRUE(printed);
    for (int row = 1; row <= 15; ++row) {
        for (int column = 1; column <= 8; ++column)
            EXPECT_EQ(first.at(column, row).facts, second.at(column, row).facts) << column << "," << row;
    }
}

} // namespace reporttest
