// A report far past 32,767 rows: the row counter and the list indices have no 16-bit limit.
#include "tests/report/ReportSession.h"

namespace reporttest {

namespace {

// One section, 20 chapters of 50 articles of 40 subarticles: 40,000 subarticles in all.
fixture::Tables largeTables()
{
    return gridTables(20, 50, 40);
}

struct LargeReport : ReportSession
{
    LargeReport() : ReportSession(largeTables()) {}
};

} // namespace

TEST_F(LargeReport, fortyThousandSubarticlesArePrintedToTheLastRow)
{
    textSearch(0, QStringLiteral("voce numero"), false, false, true);
    ASSERT_EQ((*window->findChild<ui::ReportList*>(QStringLiteral("lstSubarticoli"))).Count(), 40000);
    // 1 section, 20 chapters, 1,000 articles and 40,000 subarticles from row 3 on.
    const int last = 3 + 1 + 20 + 1000 + 40000 - 1;
    const Sheet sheet = print("cmdstampa", 6, {32768, last, last + 1});
    ASSERT_TRUE(printed);
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join(u'\n').toStdString();
    expectRow(sheet, 6, RowKind::Subarticle,
              {QStringLiteral("01"),
               QStringLiteral("01.A01.A01.010"),
               QStringLiteral("Voce numero 1"),
               QStringLiteral("m³"),
               QStringLiteral("12,5"),
               QStringLiteral("27,5 %"),
               QStringLiteral("3,44"),
               {}});
    EXPECT_FALSE(sheet.rowEmpty(32768));
    expectRow(sheet, last, RowKind::Subarticle,
              {QStringLiteral("01"),
               QStringLiteral("01.A20.A50.400"),
               QStringLiteral("Voce numero 40000"),
               QStringLiteral("m³"),
               QStringLiteral("12,5"),
               QStringLiteral("27,5 %"),
               QStringLiteral("3,44"),
               {}});
    EXPECT_TRUE(sheet.rowEmpty(last + 1));
}

} // namespace reporttest
