#include "tests/search/SearchSession.h"

#include <QFile>

#include <functional>

using searchtest::SearchSession;

namespace {

const QString kRunInterrupted = QStringLiteral("La ricerca non è stata completata");
const QString kListInterrupted = QStringLiteral("L'elenco non è stato completato");

} // namespace

struct EngineFailure : SearchSession
{
    using SearchSession::SearchSession;

    void expectNoResultShown()
    {
        for (const ui::ReportList* list : {lstCapitoli, lstArticoli, lstSubarticoli})
            EXPECT_EQ(list->Count(), 0) << list->objectName().toStdString();
        for (const char* name : {"lblcontCap", "lblcontArt", "lblcontSub", "txtArtSel", "txtArticolo"})
            EXPECT_EQ(text(name), QString()) << name;
        EXPECT_FALSE(printEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
};

TEST_F(EngineFailure, aRunTheEngineStopsLeavesNoResultAndAUsableWindow)
{
    textSearch(1, QStringLiteral("scav"), true, true, true);
    ASSERT_GT(lstArticoli->Count(), 0);
    state.priceList.close();
    run();
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings().front().startsWith(kRunInterrupted)) << warnings().front().toStdString();
    EXPECT_TRUE(warnings().front().contains(QStringLiteral("non è aperto")));
    expectNoResultShown();
    EXPECT_TRUE(window->isEnabled());

    state.priceList = core::PriceList(folder.open());
    ui::MessageBox::clearRecorded();
    run();
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_EQ(lstCapitoli->Count(), 1);
    EXPECT_TRUE(printEnabled());
}

TEST_F(EngineFailure, everyModeReportsTheFailureTheSameWay)
{
    // Each mode fails after a run that listed rows; the range run fails in its checks, before it
    // empties the lists itself.
    const std::function<void()> searches[] = {
        [this] { articleSearch(1, QStringLiteral("A01"), QStringLiteral("A01")); },
        [this] { subarticleSearch(1, QStringLiteral("A01"), QStringLiteral("A01"), QStringLiteral("010")); },
        [this] { rangeSearch(1, QStringLiteral("A01"), {}, {}, QStringLiteral("A03"), {}, {}); },
    };
    for (const auto& search : searches) {
        ui::MessageBox::clearRecorded();
        search();
        ASSERT_TRUE(warnings().isEmpty());
        ASSERT_GT(lstCapitoli->Count(), 0);
        state.priceList.close();
        run();
        ASSERT_EQ(warnings().size(), 1);
        EXPECT_TRUE(warnings().front().startsWith(kRunInterrupted)) << warnings().front().toStdString();
        expectNoResultShown();
        state.priceList = core::PriceList(folder.open());
    }
}

TEST_F(EngineFailure, aDrillDownTheEngineStopsEmptiesTheListItWasFilling)
{
    textSearch(1, QStringLiteral("scavo"), false, true, false);
    clickRow(lstArticoli, 0);
    ASSERT_EQ(lstSubarticoli->Count(), 2);
    state.priceList.close();
    clickRow(lstArticoli, 1);
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings().front().startsWith(kListInterrupted)) << warnings().front().toStdString();
    EXPECT_EQ(lstSubarticoli->Count(), 0);
    EXPECT_EQ(text("lblcontSub"), counter(0));
    EXPECT_EQ(lstArticoli->Count(), 2) << "the results of the run stay";

    state.priceList = core::PriceList(folder.open());
    clickRow(lstArticoli, 1);
    EXPECT_EQ(column(lstSubarticoli), QStringList{QStringLiteral("01.A01.A02.010")});
    EXPECT_EQ(text("lblcontSub"), counter(1));
}

TEST_F(EngineFailure, aSectionListThatCannotBeReadGivesTheMainWindowBack)
{
    window->close();
    state.priceList.close();
    window->showFromMenu();
    EXPECT_EQ(warnings().size(), 1);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_FALSE(window->isVisible());
}

namespace {

// Enough rows for the table to span a few hundred pages, so that one of them can be damaged while the
// first page, the schema and the section index stay readable.
fixture::Tables manyPages()
{
    fixture::Tables tables;
    const QString filler = QStringLiteral(" con descrizione lunga abbastanza da riempire molte pagine del database");
    for (int i = 0; i < 3000; ++i) {
        fixture::Row r;
        r.sequenza = i + 1;
        r.capitolo_codice = QStringLiteral("A%1").arg(i / 100, 2, 10, QLatin1Char('0'));
        r.seq_capitolo = i / 100 + 1;
        r.articolo_codice = QStringLiteral("A%1").arg(i / 10 % 10, 2, 10, QLatin1Char('0'));
        r.subarticolo_codice = QStringLiteral("%1").arg(i % 10 * 10 + 10, 3, 10, QLatin1Char('0'));
        r.capitolo = QStringLiteral("Capitolo di prova %1").arg(i / 100) + filler;
        r.articolo = QStringLiteral("Articolo di prova %1").arg(i / 10) + filler;
        r.subarticolo = QStringLiteral("Subarticolo di prova %1").arg(i) + filler + filler + filler;
        tables.rows << r;
    }
    return tables;
}

// Overwrites one page a third of the way into the file: the rows are written before the indexes, so
// this is a page of table rows. The subarticle query streams its rows in list order, so the run has
// listed the rows before that page when it meets it.
void damageAPage(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    constexpr qint64 kPage = 4096;
    const qint64 page = file.size() / kPage / 3;
    ASSERT_GT(page, 10);
    file.seek(page * kPage);
    file.write(QByteArray(kPage, '\x5a'));
}

struct DamagedPage : EngineFailure
{
    DamagedPage() : EngineFailure(manyPages()) { damageAPage(folder.database()); }
};

} // namespace

TEST_F(DamagedPage, aRunThatMeetsADamagedPageHalfWayDiscardsWhatItHadListed)
{
    ASSERT_TRUE(warnings().isEmpty()) << warnings().join(u'\n').toStdString();
    textSearch(0, QStringLiteral("di prova"), false, false, true);
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings().front().startsWith(kRunInterrupted)) << warnings().front().toStdString();
    // Said in Italian, naming the file: not the engine's own words.
    EXPECT_TRUE(
        warnings().front().contains(QStringLiteral("«") + folder.database() + QStringLiteral("» è danneggiato")))
        << warnings().front().toStdString();
    EXPECT_FALSE(warnings().front().contains(QStringLiteral("malformed")));
    expectNoResultShown();

    // The window stays usable: it clears, and a new run is reported the same way.
    click("cmdpulisci");
    textSearch(0, QStringLiteral("prova"), false, false, true);
    EXPECT_EQ(warnings().size(), 2);
    expectNoResultShown();
}
