// Code and range searches: one section row, then the hierarchy rebuilt from the three result lists.
#include "tests/report/ReportSession.h"

namespace reporttest {

TEST_F(ReportSession, articleCodeSearchPrintsSectionChapterArticleAndSubarticlesWithAnUpperCaseTitle)
{
    articleSearch(1, QStringLiteral("a01"), QStringLiteral("a01"));
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1, kHeading + QStringLiteral("  - Ricerca per Articolo con codice: '01.A01.A01'"));
    expectRows(sheet, 3, kFirstArticleHeadings);
    expectRow(sheet, 6, RowKind::Subarticle, kSub010);
    expectRow(sheet, 7, RowKind::Subarticle, kSub020);
    EXPECT_TRUE(sheet.rowEmpty(8));
}

TEST_F(ReportSession, subarticleCodeSearchTitleShowsTheWholeDottedCode)
{
    subarticleSearch(1, QStringLiteral("a01"), QStringLiteral("a01"), QStringLiteral("020"));
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1, kHeading + QStringLiteral("  - Ricerca per Subarticolo con codice: '01.A01.A01.020'"));
    expectRows(sheet, 3, kFirstArticleHeadings);
    expectRow(sheet, 6, RowKind::Subarticle, kSub020);
    EXPECT_TRUE(sheet.rowEmpty(7));
}

TEST_F(ReportSession, rangeSearchPrintsEachChapterWithItsArticlesAndTheirSubarticlesWithoutGaps)
{
    rangeSearch(1, QStringLiteral("a01"), {}, QStringLiteral("b02"), {});
    ASSERT_EQ(window->Elemento_DA(), QStringLiteral("01.a01")) << "the typed case is kept by the search";
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1,
                kHeading + QStringLiteral("  - Ricerca da codice inziale: '01.A01' a codice finale: '01.B02'"));
    expectRows(sheet, 3, kFirstArticleHeadings);
    expectRow(sheet, 6, RowKind::Subarticle, kSub010);
    expectRow(sheet, 7, RowKind::Subarticle, kSub020);
    QStringList codes;
    for (int row = 8; row <= 15; ++row)
        codes << sheet.at(2, row).value();
    EXPECT_EQ(codes, (QStringList{QStringLiteral("01.A01.A02"), QStringLiteral("01.A01.A02.010"),
                                  QStringLiteral("01.B02"), QStringLiteral("01.B02.A05"),
                                  QStringLiteral("01.B02.A05.010"), QStringLiteral("01.B02.A05.020"),
                                  QStringLiteral("01.B02.A06"), QStringLiteral("01.B02.A06.010")}));
    for (int row = 3; row <= 15; ++row)
        EXPECT_EQ(sheet.at(1, row).value(), QStringLiteral("01")) << row;
    EXPECT_EQ(sheet.boldPattern(10), QStringLiteral("11111110"));
    EXPECT_EQ(sheet.boldPattern(11), QStringLiteral("11011110"));
    EXPECT_TRUE(sheet.rowEmpty(16));
}

TEST_F(ReportSession, aSectionWithoutNoteGetsAnEmptyBorderedCellThatIsNotBold)
{
    rangeSearch(2, QStringLiteral("a01"), {}, QStringLiteral("c01"), {});
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    expectRow(sheet, 3, RowKind::SectionWithoutNote,
              {QStringLiteral("02"), QStringLiteral("02"), QStringLiteral("Restauro"), {}, {}, {}, {}, {}});
    expectRow(
        sheet, 4, RowKind::Chapter,
        {QStringLiteral("02"), QStringLiteral("02.A01"), QStringLiteral("Scavi archeologici"), {}, {}, {}, {}, {}});
    EXPECT_EQ(sheet.at(2, 7).value(), QStringLiteral("02.C01"));
}

TEST_F(ReportSession, withNoChapterListedOnlyTheTitleAndTheSectionRowArePrinted)
{
    articleSearch(1, QStringLiteral("zzz"), QStringLiteral("zzz"));
    ASSERT_EQ(warnings(), QStringList{QStringLiteral("LA RICERCA NON HA FORNITO RISULTATI")});
    const Sheet sheet = printDirectly();
    ASSERT_TRUE(printed);
    expectLabel(sheet, 1, kHeading + QStringLiteral("  - Ricerca per Articolo con codice: '01.ZZZ.ZZZ'"));
    expectRow(sheet, 3, RowKind::Section, kSection01);
    EXPECT_TRUE(sheet.rowEmpty(4));
}

} // namespace reporttest
