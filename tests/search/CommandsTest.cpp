#include "tests/search/SearchSession.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

#include "texts/frmInfo.h"

using searchtest::SearchSession;

using Commands = SearchSession;

namespace {

const char* const kOpeningTexts[] = {"txtCerca",   "txtArtCap",   "txtArtArt", "txtSubCap", "txtSubArt", "txtSubSub",
                                     "txtDa_Cap",  "txtDa_Art",   "txtDa_Sub", "txtA_Cap",  "txtA_Art",  "txtA_Sub",
                                     "txtArtSel",  "txtArticolo", "lblArtSez", "lblSubSez", "lblDa_Sez", "lblA_Sez",
                                     "lblcontCap", "lblcontArt",  "lblcontSub"};

} // namespace

TEST_F(Commands, pulisciAfterAChaptersOnlySearchRestoresTheOpeningState)
{
    textSearch(1, QStringLiteral("*i"), true, false, false);
    clickRow(lstCapitoli, 1);
    clickRow(lstArticoli, 0);
    ASSERT_EQ(text("Frame3"), QStringLiteral("Articoli Associati"));
    ASSERT_GT(lstSubarticoli->Count(), 0);

    click("cmdpulisci");
    EXPECT_TRUE(warnings().isEmpty());
    for (const char* name : {"opttesto", "optarticolo", "optSub", "optDa_A"})
        EXPECT_FALSE(option(name)->isChecked()) << name;
    for (const char* name : {"chkCapitoli", "chkArticoli", "chkSubarticoli"})
        EXPECT_FALSE(check(name)->isChecked()) << name;
    for (const char* name : kOpeningTexts)
        EXPECT_EQ(text(name), QString()) << name;
    EXPECT_EQ(cmbSezioni->currentText(), QString());
    EXPECT_EQ(cmbSezioni->count(), 3) << "the section list is kept";
    EXPECT_EQ(lstCapitoli->Count() + lstArticoli->Count() + lstSubarticoli->Count(), 0);
    EXPECT_EQ(text("Frame3"), QStringLiteral("Risultato Articoli"));
    EXPECT_TRUE(label("lblsub")->isVisibleTo(window.get()));
    EXPECT_FALSE(label("lblsub1")->isVisibleTo(window.get()));
    EXPECT_FALSE(control<QWidget>("lnlsub")->isVisibleTo(window.get()));
    EXPECT_FALSE(printEnabled());
    // The report's variables survive; printing is off until the next run sets them again.
    EXPECT_EQ(window->reportKind(), core::ReportKind::CapInd);

    // No section is chosen any more: a code mode asks for one.
    click("optarticolo");
    EXPECT_EQ(warnings(),
              QStringList{QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca articolo")});
}

TEST_F(Commands, pulisciAfterSubarticleAndRangeRunsRestoresTheHeadings)
{
    rangeSearch(1, QStringLiteral("A01"), {}, {}, QStringLiteral("A03"), {}, {});
    ASSERT_FALSE(label("lblsub")->isVisibleTo(window.get()));
    click("cmdpulisci");
    EXPECT_TRUE(label("lblsub")->isVisibleTo(window.get()));
    EXPECT_FALSE(label("lblsub1")->isVisibleTo(window.get()));
    EXPECT_EQ(window->Elemento_DA(), QStringLiteral("01.A01"));
    EXPECT_EQ(window->Elemento_A(), QStringLiteral("01.A03"));
    EXPECT_EQ(lstArticoli->Count(), 0);
}

TEST_F(Commands, pulisciBeforeAnyRunClearsTheInputsWithoutAQuery)
{
    pickSection(1);
    click("optSub");
    type("txtSubCap", QStringLiteral("A01"));
    type("txtSubArt", QStringLiteral("A01"));
    type("txtSubSub", QStringLiteral("010"));
    // Any query would fail on a closed database and show a message.
    state.priceList.close();
    click("cmdpulisci");
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_FALSE(option("optSub")->isChecked());
    EXPECT_EQ(cmbSezioni->currentText(), QString());
    for (const char* name : {"lblSubSez", "txtSubCap", "txtSubArt", "txtSubSub"})
        EXPECT_EQ(text(name), QString()) << name;
    EXPECT_EQ(lstSubarticoli->Count(), 0);
}

TEST_F(Commands, printIsAvailableOnlyAfterARunThatFoundSomething)
{
    EXPECT_FALSE(printEnabled());
    click("opttesto");
    run(); // refused: no section
    EXPECT_FALSE(printEnabled());

    textSearch(1, QStringLiteral("scavo"), false, true, false);
    EXPECT_TRUE(printEnabled());
    // A refused run leaves printing as it was.
    box("txtCerca")->setText(QStringLiteral("s"));
    run();
    EXPECT_TRUE(printEnabled());
    pickSection(2);
    EXPECT_FALSE(printEnabled()) << "a change of section";

    box("txtCerca")->setText(QStringLiteral("scavo"));
    run();
    ASSERT_TRUE(printEnabled());
    click("optarticolo");
    EXPECT_FALSE(printEnabled()) << "a change of mode";

    articleSearch(1, QStringLiteral("A01"), QStringLiteral("A01"));
    ASSERT_TRUE(printEnabled());
    click("cmdpulisci");
    EXPECT_FALSE(printEnabled());

    articleSearch(1, QStringLiteral("Z01"), QStringLiteral("Z01"));
    EXPECT_FALSE(printEnabled()) << "a run that found nothing";
}

TEST_F(Commands, bothPrintButtonsAskForTheReportAndDoNothingElse)
{
    textSearch(1, QStringLiteral("scavo"), true, true, true);
    QSignalSpy report(window.get(), &search::frmCerca::stampaRequested);
    const QStringList before = column(lstArticoli) + column(lstSubarticoli);
    click("cmdstampa");
    EXPECT_EQ(report.count(), 1);
    click("cmdStampa1");
    EXPECT_EQ(report.count(), 2);
    EXPECT_EQ(column(lstArticoli) + column(lstSubarticoli), before);
    EXPECT_TRUE(printEnabled());
    EXPECT_TRUE(warnings().isEmpty());
}

// The report is given the request the controls make and the rows the lists show.
TEST_F(Commands, theReportGetsTheRequestAndTheShownRows)
{
    subarticleSearch(1, QStringLiteral("a01"), QStringLiteral("a01"), QStringLiteral("020"));
    core::SearchRequest request = window->currentRequest();
    EXPECT_EQ(request.mode, core::SearchMode::Subarticle);
    EXPECT_EQ(request.codePrefix, QStringLiteral("01."));
    EXPECT_EQ(request.code.chapter + request.code.article + request.code.subarticle, QStringLiteral("a01a01020"));
    EXPECT_EQ(request.sectionText, QStringLiteral("01 - Opere edili"));
    const core::SearchResults& shown = window->shownResults();
    ASSERT_EQ(shown.subarticles.size(), 1);
    EXPECT_EQ(shown.subarticles[0].code, QStringLiteral("01.A01.A01.020"));
    EXPECT_EQ(shown.articles.size(), 1);
    EXPECT_EQ(shown.chapters[0].code, QStringLiteral("01.A01"));

    textSearch(1, QStringLiteral("*i"), true, false, false);
    clickRow(lstCapitoli, 1);
    EXPECT_EQ(window->shownResults().articles.size(), lstArticoli->Count()) << "the drill-down's rows are printed";

    textSearch(0, QStringLiteral("dell'opera"), false, true, false);
    request = window->currentRequest();
    EXPECT_EQ(request.mode, core::SearchMode::Text);
    EXPECT_EQ(request.text, QStringLiteral("dell'opera"));
}

TEST_F(Commands, informazioniAsksForTheManualOnTheSearchTopics)
{
    QSignalSpy manual(window.get(), &search::frmCerca::manualeRequested);
    control<QAction>("mnuInfo")->trigger();
    EXPECT_EQ(manual.count(), 1);
    EXPECT_EQ(control<QAction>("mnuInfo")->text(), QStringLiteral("Informazioni"));
}

TEST_F(Commands, theManualOpenedFromHereShowsOnlyTheSearchTopics)
{
    texts::frmInfo manual(state);
    QStringList shown;
    const auto visibleTopics = [&] {
        shown.clear();
        for (QAction* entry : manual.findChild<QMenu*>(QStringLiteral("mnu"))->actions()) {
            if (entry->isVisible())
                shown << entry->objectName();
        }
        manual.reject();
    };
    QObject::connect(window.get(), &search::frmCerca::manualeRequested, &manual, [&] {
        QTimer::singleShot(0, &manual, visibleTopics);
        manual.showModal(texts::frmInfo::Topics::Search);
    });
    control<QAction>("mnuInfo")->trigger();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("mnuR"), QStringLiteral("mnuRT"), QStringLiteral("mnuCAS"),
                                  QStringLiteral("mnuCA"), QStringLiteral("mnuAS"), QStringLiteral("mnuCS"),
                                  QStringLiteral("mnuS"), QStringLiteral("mnuA"), QStringLiteral("mnuCP"),
                                  QStringLiteral("mnuA2"), QStringLiteral("mnuS2"), QStringLiteral("mnuI")}));

    // Opened afterwards from the main window, the manual offers every topic again.
    QTimer::singleShot(0, &manual, visibleTopics);
    manual.showModal();
    EXPECT_EQ(shown.size(), 19);
}
