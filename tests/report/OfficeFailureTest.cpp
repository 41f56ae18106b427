// LibreOffice going away or freezing: a message, never a hang, and what was written
// stays; a code gone from the price list stops the report where it is.
#include "report/AutomationError.h"
#include "tests/report/OfficeEnvironment.h"
#include "report/OfficeSettings.h"
#include "tests/report/ReportSession.h"
#include "report/modExcel97.h"

namespace reporttest {

namespace {

// The same price list without article 01.A01.A02.
fixture::Tables withoutRinterro()
{
    fixture::Tables tables = reportTables();
    tables.rows.removeIf([](const fixture::Row& r) { return r.codiceTotale().startsWith(u"01.A01.A02"); });
    return tables;
}

struct AnswerTimeout
{
    explicit AnswerTimeout(int ms) : saved(report::OfficeSettings::current().answerTimeoutMs)
    {
        report::OfficeSettings::current().answerTimeoutMs = ms;
    }
    ~AnswerTimeout() { report::OfficeSettings::current().answerTimeoutMs = saved; }
    int saved;
};

} // namespace

TEST_F(ReportSession, aCodeGoneFromThePriceListStopsTheReportAndKeepsTheRowsAlreadyWritten)
{
    textSearch(0, QStringLiteral("scavo"), false, true, false);
    ASSERT_EQ((*window->findChild<ui::ReportList*>(QStringLiteral("lstArticoli"))).Count(), 3);
    // The price list changes under the search window: the second found article is no longer there.
    const fixture::PriceListFolder changed(withoutRinterro());
    state.priceList = core::PriceList(changed.open());
    const Sheet sheet = print();
    ASSERT_TRUE(printed);
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings().front().contains(u"«01.A01.A02»")) << warnings().front().toStdString();
    EXPECT_TRUE(warnings().front().contains(u"riga 8")) << warnings().front().toStdString();
    expectLabel(sheet, 1,
                kHeading + QStringLiteral(" - Ricerca del testo:  'scavo'  contenuto nell'Articolo e tutti i suoi "
                                          "Subarticoli associati"));
    EXPECT_EQ(sheet.at(2, 7).value(), QStringLiteral("01.A01.A01.020")) << "what was written stays";
    EXPECT_TRUE(sheet.rowEmpty(8));
    EXPECT_TRUE(window->isEnabled());
}

TEST(OfficeGoesAway, aKilledOfficeGivesAClosedErrorAtTheNextCallAndNoHang)
{
    report::modExcel97 excel;
    excel.Apri_Modello(report::OfficeSettings::current().templatePath());
    excel.SetCell(2, 3, QStringLiteral("prima"), true, QStringLiteral("@"), false);
    ASSERT_EQ(Cell{excel.inspect(2, 3)}.value(), QStringLiteral("prima"));

    signalOffices(SIGKILL);
    waitForOfficesToEnd();
    excel.SetCell(2, 4, QStringLiteral("dopo"), true, QStringLiteral("@"), false);
    try {
        excel.Flush();
        FAIL() << "the office is gone";
    } catch (const report::OfficeError& error) {
        EXPECT_EQ(error.kind(), report::OfficeError::Kind::Closed);
        EXPECT_TRUE(error.text().contains(u"LibreOffice") || error.text().contains(u"prezzario-calc"))
            << error.text().toStdString();
    }
    EXPECT_THROW(excel.inspect(2, 3), report::OfficeError) << "later calls fail at once";
}

TEST(OfficeGoesAway, aReportAfterTheOfficeWasKilledStartsANewOne)
{
    signalOffices(SIGKILL);
    waitForOfficesToEnd();
    report::modExcel97 excel;
    excel.Apri_Modello(report::OfficeSettings::current().templatePath());
    excel.SetCell(2, 3, QStringLiteral("di nuovo"), true, QStringLiteral("@"), false);
    EXPECT_EQ(Cell{excel.inspect(2, 3)}.value(), QStringLiteral("di nuovo"));
    excel.closeDocument();
}

TEST(OfficeFreezes, aFrozenOfficeIsGivenUpWithAMessageAndLeftAlone)
{
    report::modExcel97 excel;
    excel.Apri_Modello(report::OfficeSettings::current().templatePath());
    signalOffices(SIGSTOP);
    {
        const AnswerTimeout quick(2'000);
        excel.SetCell(2, 3, QStringLiteral("bloccato"), true, QStringLiteral("@"), false);
        try {
            excel.Flush();
            ADD_FAILURE() << "a frozen office cannot answer";
        } catch (const report::OfficeError& error) {
            EXPECT_EQ(error.kind(), report::OfficeError::Kind::NotResponding);
            EXPECT_TRUE(error.text().startsWith(u"LibreOffice non risponde")) << error.text().toStdString();
        }
    }
    // Left alone, not ended: once it runs again it serves the next report.
    signalOffices(SIGCONT);
    EXPECT_FALSE(officeGroups().isEmpty());
    report::modExcel97 next;
    next.Apri_Modello(report::OfficeSettings::current().templatePath());
    EXPECT_EQ(Cell{next.inspect(2, 2)}.value(), QStringLiteral("Codice"));
    next.closeDocument();
}

} // namespace reporttest
