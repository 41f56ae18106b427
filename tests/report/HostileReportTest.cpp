// Every layout of the report printed from a price list with hostile texts, and from a file with quotes in
// its codes: every written cell holds exactly what the file holds.
#include "tests/support/HostileList.h"
#include "tests/report/ReportSession.h"

namespace reporttest {

namespace {

QStringList codes(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* code : list)
        out << QString::fromUtf8(code);
    return out;
}

struct HostileReport : ReportSession
{
    explicit HostileReport(const fixture::Tables& stored = hostile::tables())
        : ReportSession(hostile::tables()), tables(stored)
    {
    }

    fixture::Tables tables;

    // Checks every data row of the sheet against the file; returns the codes printed in column 2.
    QStringList expectSheetAsStored(const Sheet& sheet)
    {
        EXPECT_EQ(warnings(), QStringList());
        EXPECT_TRUE(printed);
        QStringList printedCodes;
        for (int row = 3; row <= sheet.rows.size(); ++row) {
            const QStringList cells = sheet.values(row);
            const QString code = cells[1];
            if (code.isEmpty())
                continue; // an empty row or a block label
            SCOPED_TRACE(QStringLiteral("row %1, %2").arg(row).arg(code).toStdString());
            printedCodes << code;
            EXPECT_EQ(cells[0], code.left(2));
            QStringList expected;
            if (code.size() == 2) {
                const auto first = std::find_if(tables.rows.begin(), tables.rows.end(),
                                                [&](const fixture::Row& r) { return r.sezione_codice == code; });
                expected = {first->sezione, {}, {}, {}, {}, first->note_sezione.value_or(QString())};
            } else if (code.size() == 6) {
                const QStringList c = hostile::expectedCells(QStringLiteral("lstCapitoli"), code, tables);
                expected = {c[2], {}, {}, {}, {}, c[3]};
            } else if (code.size() == 10) {
                const QStringList a = hostile::expectedCells(QStringLiteral("lstArticoli"), code, tables);
                expected = {a[3], {}, {}, {}, {}, a[4]};
            } else {
                expected = hostile::expectedCells(QStringLiteral("lstSubarticoli"), code, tables).mid(1);
                expected << QString();
            }
            // A spreadsheet cell holds a line break as one character: a CR LF in the file arrives as LF.
            for (QString& text : expected)
                text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            EXPECT_EQ(cells.mid(2), expected);
        }
        return printedCodes;
    }

    QStringList subarticles(const QStringList& codes) const
    {
        QStringList subs;
        for (const QString& code : codes)
            if (code.size() == 14)
                subs << code;
        return subs;
    }
};

} // namespace

TEST_F(HostileReport, everyLayoutWritesTheTextsAsStored)
{
    const QString quoteAndBlank = QStringLiteral("' ");
    // The text layouts: each level alone, and every combination.
    const std::tuple<bool, bool, bool, QStringList> searches[] = {
        {true, false, false, codes({"01.A01.A01.010", "01.A01.A01.020", "01.A01.A02.010"})},
        {false, true, false, codes({"01.A01.A01.010", "01.A01.A01.020"})},
        {false, false, true, codes({"02.A01.A01.010"})},
        {true, true, true, codes({"02.A01.A01.010"})},
        {false, true, true, codes({"02.A01.A01.010"})},
        {true, false, true, codes({"02.A01.A01.010"})},
        {true, true, false, codes({"01.A01.A01.010", "01.A01.A01.020"})},
    };
    for (const auto& [capitoli, articoli, subarticoli, expectedSubs] : searches) {
        SCOPED_TRACE(QStringLiteral("%1%2%3").arg(capitoli).arg(articoli).arg(subarticoli).toStdString());
        textSearch(0, quoteAndBlank, capitoli, articoli, subarticoli);
        EXPECT_EQ(subarticles(expectSheetAsStored(print())), expectedSubs);
    }

    // The code and range layouts, on the longest texts and on the whole of section 01.
    articleSearch(1, QStringLiteral("B02"), QStringLiteral("A01"));
    EXPECT_EQ(subarticles(expectSheetAsStored(print())), codes({"01.B02.A01.010", "01.B02.A01.020"}));
    subarticleSearch(1, QStringLiteral("A01"), QStringLiteral("A01"), QStringLiteral("010"));
    EXPECT_EQ(subarticles(expectSheetAsStored(print())), codes({"01.A01.A01.010"}));
    rangeSearch(1, QStringLiteral("A01"), {}, QStringLiteral("B02"), {});
    EXPECT_EQ(subarticles(expectSheetAsStored(print())),
              codes({"01.A01.A01.010", "01.A01.A01.020", "01.A01.A02.010", "01.B02.A01.010", "01.B02.A01.020"}));
}

struct QuotedCodesReport : HostileReport
{
    QuotedCodesReport() : HostileReport(hostile::quotedTables()) {}

    void SetUp() override
    {
        hostile::quoteCodes(folder.database());
        ReportSession::SetUp();
    }
};

TEST_F(QuotedCodesReport, layoutsThatQueryByCodeFindTheRowsOfQuotedCodes)
{
    // Chapter "A'1" and article "'--" go into the layouts' own queries.
    textSearch(0, QStringLiteral("' "), true, false, false);
    EXPECT_EQ(subarticles(expectSheetAsStored(print())), codes({"01.A'1.A01.010", "01.A'1.A01.020", "01.A'1.'--.010"}));
    textSearch(0, QStringLiteral("accenti"), false, true, false);
    EXPECT_EQ(subarticles(expectSheetAsStored(print())), codes({"01.A'1.'--.010"}));
    textSearch(0, QStringLiteral("accenti"), true, true, false);
    EXPECT_EQ(subarticles(expectSheetAsStored(print())), codes({"01.A'1.'--.010"}));
    textSearch(0, QStringLiteral("in "), false, false, true);
    EXPECT_EQ(subarticles(expectSheetAsStored(print())), codes({"01.A'1.A01.010", "01.A'1.A01.020"}));
}

} // namespace reporttest
