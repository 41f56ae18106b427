// Text searches of several levels: the result lists in labelled blocks, or each found article with
// its subarticles from the price list.
#include "tests/report/ReportSession.h"

namespace reporttest {

namespace {

const QStringList kSubMezzi{QStringLiteral("01"),
                            QStringLiteral("01.A01.A02.010"),
                            QStringLiteral("Con mezzi meccanici per scavo"),
                            QStringLiteral("m³"),
                            QStringLiteral("8"),
                            QStringLiteral("12 %"),
                            QStringLiteral("0,96"),
                            {}};
const QStringList kSub25{QStringLiteral("01"),
                         QStringLiteral("01.B02.A05.010"),
                         QStringLiteral("Spessore 25 cm, scavo escluso"),
                         QStringLiteral("m²"),
                         QStringLiteral("45,1"),
                         QStringLiteral("40 %"),
                         QStringLiteral("18,04"),
                         {}};
const QStringList kSub30{QStringLiteral("01"),
                         QStringLiteral("01.B02.A05.020"),
                         QStringLiteral("Spessore 30 cm, scavo escluso"),
                         QStringLiteral("m²"),
                         QStringLiteral("52"),
                         QStringLiteral("40 %"),
                         QStringLiteral("20,8"),
                         {}};

QString title(const QString& text, const QString& tail)
{
    return kHeading + QStringLiteral(" - Ricerca del testo:  '") + text + QStringLiteral("'  ") + tail;
}

} // namespace

TEST_F(ReportSession, withoutChaptersTheArticlesBlockStartsAtRowFiveAndTwoEmptyRowsFollowIt)
{
    textSearch(1, QStringLiteral("scavo"), false, true, true);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(
        sheet, 1,
        title(QStringLiteral("scavo"), QStringLiteral("contenuto in Articoli e Subarticoli non correlati fra loro")));
    EXPECT_TRUE(sheet.rowEmpty(3));
    EXPECT_TRUE(sheet.rowEmpty(4));
    expectLabel(sheet, 5, QStringLiteral("ARTICOLI:"));
    expectRow(sheet, 6, RowKind::Article, kArticleA01);
    expectRow(sheet, 7, RowKind::Article, kArticleA02);
    EXPECT_TRUE(sheet.rowEmpty(8));
    EXPECT_TRUE(sheet.rowEmpty(9));
    expectLabel(sheet, 10, QStringLiteral("SUBARTICOLI:"));
    expectRow(sheet, 11, RowKind::Subarticle, kSubMezzi);
    expectRow(sheet, 12, RowKind::Subarticle, kSub25);
    expectRow(sheet, 13, RowKind::Subarticle, kSub30);
    EXPECT_TRUE(sheet.rowEmpty(14));
}

TEST_F(ReportSession, threeUnrelatedBlocksWithTheBoldPatternOfEachKind)
{
    textSearch(0, QStringLiteral("scav"), true, true, true);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1,
                title(QStringLiteral("scav"),
                      QStringLiteral("contenuto in Capitoli, Articoli e Subarticoli non correlati fra loro")));
    expectLabel(sheet, 3, QStringLiteral("CAPITOLI:"));
    expectRow(sheet, 4, RowKind::Chapter, kChapterA01);
    expectRow(sheet, 5, RowKind::Chapter, kChapter02A01);
    expectLabel(sheet, 8, QStringLiteral("ARTICOLI:"));
    expectRow(sheet, 9, RowKind::Article, kArticleA01);
    expectRow(sheet, 10, RowKind::Article, kArticleA02);
    expectRow(sheet, 11, RowKind::Article, kArticle02);
    expectLabel(sheet, 14, QStringLiteral("SUBARTICOLI:"));
    expectRow(sheet, 15, RowKind::Subarticle, kSubMezzi);
    expectRow(sheet, 16, RowKind::Subarticle, kSub25);
    expectRow(sheet, 17, RowKind::Subarticle, kSub30);
}

TEST_F(ReportSession, chaptersAndSubarticlesHaveTheirOwnTitle)
{
    textSearch(0, QStringLiteral("scav"), true, false, true);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(
        sheet, 1,
        title(QStringLiteral("scav"), QStringLiteral("contenuto in Capitoli e Subarticoli non correlati fra loro")));
    expectLabel(sheet, 3, QStringLiteral("CAPITOLI:"));
    expectLabel(sheet, 8, QStringLiteral("SUBARTICOLI:"));
    expectRow(sheet, 9, RowKind::Subarticle, kSubMezzi);
}

TEST_F(ReportSession, relatedArticlesAreEachFollowedByAllTheirSubarticles)
{
    textSearch(0, QStringLiteral("scav"), true, true, false);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    // This title alone has single blanks around the searched text.
    expectLabel(sheet, 1,
                kHeading + QStringLiteral(" - Ricerca del testo: 'scav' contenuto in Capitoli e Articoli con "
                                          "relativi Subarticoli correlati"));
    expectLabel(sheet, 3, QStringLiteral("CAPITOLI:"));
    expectRow(sheet, 4, RowKind::Chapter, kChapterA01);
    expectRow(sheet, 5, RowKind::Chapter, kChapter02A01);
    expectLabel(sheet, 8, QStringLiteral("ARTICOLI (con SUBARTICOLI associati):"));
    expectRow(sheet, 9, RowKind::Article, kArticleA01);
    // From the database: the share gets its " %" here.
    expectRow(sheet, 10, RowKind::Subarticle,
              {QStringLiteral("01"),
               QStringLiteral("01.A01.A01.010"),
               QStringLiteral("In terreno sciolto"),
               QStringLiteral("m³"),
               QStringLiteral("12,5"),
               QStringLiteral("27,5 %"),
               QStringLiteral("3,44"),
               {}});
    expectRow(sheet, 11, RowKind::Subarticle,
              {QStringLiteral("01"),
               QStringLiteral("01.A01.A01.020"),
               QStringLiteral("In roccia dura dell'alveo"),
               QStringLiteral("m³"),
               {},
               {},
               {},
               {}});
    expectRow(sheet, 12, RowKind::Article, kArticleA02);
    expectRow(sheet, 13, RowKind::Subarticle, kSubMezzi);
    expectRow(sheet, 14, RowKind::Article, kArticle02);
    expectRow(sheet, 15, RowKind::Subarticle, kSub02);
    EXPECT_TRUE(sheet.rowEmpty(16));
}

TEST_F(ReportSession, relatedLayoutWithChaptersOnlyEndsAfterTheChapterBlock)
{
    textSearch(0, QStringLiteral("rinterri"), true, true, false);
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 3, QStringLiteral("CAPITOLI:"));
    expectRow(sheet, 4, RowKind::Chapter, kChapterA01);
    for (int row = 5; row <= 12; ++row)
        EXPECT_TRUE(sheet.rowEmpty(row)) << row;
}

TEST_F(ReportSession, aBlockKindWithThreeEmptyListsWritesOnlyTheTitle)
{
    textSearch(0, QStringLiteral("zzzz"), true, true, true);
    ASSERT_EQ(warnings(), QStringList{QStringLiteral("LA RICERCA NON HA FORNITO RISULTATI")});
    const Sheet sheet = printDirectly();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1,
                title(QStringLiteral("zzzz"),
                      QStringLiteral("contenuto in Capitoli, Articoli e Subarticoli non correlati fra loro")));
    for (int row = 3; row <= 12; ++row)
        EXPECT_TRUE(sheet.rowEmpty(row)) << row;
}

TEST_F(ReportSession, anEmptyKindInTextModeShowsTheWorkbookAndWritesNothing)
{
    click("opttesto");
    ASSERT_EQ(window->reportKind(), core::ReportKind::None);
    const Sheet sheet = printDirectly();
    ASSERT_TRUE(printed) << "the workbook is made and shown";
    EXPECT_TRUE(sheet.rowEmpty(1)) << "not even the title";
    EXPECT_EQ(sheet.at(2, 2).value(), QStringLiteral("Codice"));
    for (int row = 3; row <= 12; ++row)
        EXPECT_TRUE(sheet.rowEmpty(row)) << row;
    EXPECT_TRUE(warnings().isEmpty());
}

} // namespace reporttest
