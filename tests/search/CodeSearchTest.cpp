#include "tests/search/SearchSession.h"

using searchtest::SearchSession;

namespace {

const QString kNothingFound = QStringLiteral("LA RICERCA NON HA FORNITO RISULTATI");
} // namespace

using CodeSearch = SearchSession;

TEST_F(CodeSearch, articleRunListsItsChapterItselfAndAllItsSubarticles)
{
    textSearch(1, QStringLiteral("scav"), true, false, false);
    ASSERT_EQ(window->reportKind(), core::ReportKind::CapInd);
    ASSERT_EQ(text("Frame3"), QStringLiteral("Articoli Associati"));

    articleSearch(1, QStringLiteral("a01"), QStringLiteral("a01"));
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_EQ(column(lstCapitoli), QStringList{QStringLiteral("01.A01")});
    EXPECT_EQ(column(lstCapitoli, 1), QStringList{QStringLiteral("Opere edili")});
    EXPECT_EQ(column(lstCapitoli, 2), QStringList{QStringLiteral("Scavi e movimenti di terra")});
    EXPECT_EQ(column(lstArticoli), QStringList{QStringLiteral("01.A01.A01")});
    EXPECT_EQ(column(lstArticoli, 3), QStringList{QStringLiteral("Scavo a sezione obbligata")});
    EXPECT_EQ(column(lstArticoli, 4), QStringList{QStringLiteral("Nota dello scavo a sezione obbligata")});
    EXPECT_EQ(column(lstSubarticoli),
              (QStringList{QStringLiteral("01.A01.A01.010"), QStringLiteral("01.A01.A01.020")}));
    EXPECT_EQ(keys(lstSubarticoli), (QStringList{QStringLiteral("k0"), QStringLiteral("k1")}));
    EXPECT_EQ(text("txtArticolo"), QStringLiteral("Scavo a sezione obbligata"));
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A01"));
    EXPECT_EQ(text("lblcontCap"), counter(1));
    EXPECT_EQ(text("lblcontSub"), counter(2));
    EXPECT_TRUE(printEnabled());
    // The typed parts stay as typed, for the report's title; the search kind of the text run is kept.
    const core::SearchRequest request = window->currentRequest();
    EXPECT_EQ(request.codePrefix + request.code.chapter + u'.' + request.code.article, QStringLiteral("01.a01.a01"));
    EXPECT_EQ(window->reportKind(), core::ReportKind::CapInd);
    // An article run leaves the headings as the last run left them.
    EXPECT_EQ(text("Frame3"), QStringLiteral("Articoli Associati"));
    EXPECT_TRUE(label("lblsub")->isVisibleTo(window.get()));
}

TEST_F(CodeSearch, articleRunShowsTheSubarticleFigures)
{
    articleSearch(1, QStringLiteral("B01"), QStringLiteral("A01"));
    ASSERT_EQ(lstSubarticoli->Count(), 2);
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k0"), 3), QStringLiteral("120,5"));
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k0"), 4), QStringLiteral("12 %"));
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k0"), 5), QStringLiteral("14,46"));
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k1"), 4), QString());
    EXPECT_EQ(column(lstCapitoli, 3), QStringList{QStringLiteral("Nota del capitolo B01")});
}

TEST_F(CodeSearch, codesThatPassTheChecksButDoNotExistFindNothing)
{
    articleSearch(1, QStringLiteral("abc"), QStringLiteral("def"));
    EXPECT_EQ(warnings(), QStringList{kNothingFound});
    EXPECT_FALSE(printEnabled());
    for (const char* name : {"lblcontCap", "lblcontArt", "lblcontSub"})
        EXPECT_EQ(text(name), counter(0)) << name;

    // Codes of another section are not found in this one.
    ui::MessageBox::clearRecorded();
    subarticleSearch(1, QStringLiteral("C01"), QStringLiteral("A01"), QStringLiteral("010"));
    EXPECT_EQ(warnings(), QStringList{kNothingFound});
}

TEST_F(CodeSearch, subarticleRunRefusesTheWholeListOnlyAfterTheCodeChecks)
{
    pickSection(1);
    click("optSub");
    type("txtSubCap", QStringLiteral("A01"));
    type("txtSubArt", QStringLiteral("A01"));
    type("txtSubSub", QStringLiteral("010"));
    pickSection(0);
    ASSERT_EQ(warnings(),
              QStringList{QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca subarticolo")});
    ui::MessageBox::clearRecorded();
    run();
    box("txtSubSub")->clear();
    type("txtSubSub", QStringLiteral("01"));
    run();
    EXPECT_EQ(warnings(),
              (QStringList{QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca per subarticolo"),
                           QStringLiteral("Il Codice Subarticolo devono avere una lunghezza di 3 caratteri.")}));
}

TEST_F(CodeSearch, subarticleRunListsItWithItsChapterAndArticle)
{
    textSearch(1, QStringLiteral("scav"), false, true, false);
    articleSearch(1, QStringLiteral("A01"), QStringLiteral("A02"));
    ASSERT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A02"));

    subarticleSearch(1, QStringLiteral("a01"), QStringLiteral("a01"), QStringLiteral("020"));
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_EQ(column(lstCapitoli), QStringList{QStringLiteral("01.A01")});
    EXPECT_EQ(column(lstArticoli), QStringList{QStringLiteral("01.A01.A01")});
    EXPECT_EQ(column(lstArticoli, 4), QStringList{QStringLiteral("Nota dello scavo a sezione obbligata")});
    EXPECT_EQ(column(lstSubarticoli), QStringList{QStringLiteral("01.A01.A01.020")});
    EXPECT_EQ(column(lstSubarticoli, 1), QStringList{QStringLiteral("In roccia dura con rete a[b] elettrosaldata")});
    for (const ui::ReportList* list : {lstCapitoli, lstArticoli, lstSubarticoli})
        EXPECT_EQ(keys(list), QStringList{QStringLiteral("k0")});
    // The subarticle run empties the detail boxes and does not fill them.
    EXPECT_EQ(text("txtArtSel"), QString());
    EXPECT_EQ(text("txtArticolo"), QString());
    EXPECT_FALSE(label("lblsub")->isVisibleTo(window.get()));
    EXPECT_TRUE(label("lblsub1")->isVisibleTo(window.get()));
    EXPECT_TRUE(control<QWidget>("lnlsub")->isVisibleTo(window.get()));
    EXPECT_EQ(window->reportKind(), core::ReportKind::ArtInd);
    EXPECT_TRUE(printEnabled());
}

TEST_F(CodeSearch, aQuoteInTheSectionTextCannotBreakTheLookup)
{
    typeInCombo(QStringLiteral("0'"));
    click("optarticolo");
    ASSERT_EQ(text("lblArtSez"), QStringLiteral("0'."));
    type("txtArtCap", QStringLiteral("A01"));
    type("txtArtArt", QStringLiteral("A01"));
    run();
    EXPECT_EQ(warnings(), QStringList{kNothingFound});

    ui::MessageBox::clearRecorded();
    click("optSub");
    type("txtSubCap", QStringLiteral("A01"));
    type("txtSubArt", QStringLiteral("A01"));
    type("txtSubSub", QStringLiteral("010"));
    run();
    EXPECT_EQ(warnings(), QStringList{kNothingFound});
}
