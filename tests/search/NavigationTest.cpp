#include "tests/search/SearchSession.h"

using searchtest::codes;
using searchtest::SearchSession;

struct Navigation : SearchSession
{
    // Everything a drill-down can change: rows, keys, detail boxes and counters.
    QStringList snapshot() const
    {
        QStringList out;
        for (const ui::ReportList* list : {lstCapitoli, lstArticoli, lstSubarticoli})
            out << keys(list).join(u',') << column(list).join(u',') << column(list, 3).join(u',');
        for (const char* name : {"txtArtSel", "txtArticolo", "lblcontCap", "lblcontArt", "lblcontSub"})
            out << text(name);
        return out;
    }

    void expectNothingHappensOn(ui::ReportList* list, qsizetype row)
    {
        const QStringList before = snapshot();
        clickRow(list, row);
        EXPECT_EQ(snapshot(), before) << list->objectName().toStdString();
    }
};

TEST_F(Navigation, textChaptersOnlyExpandsChaptersIntoArticlesAndArticlesIntoSubarticles)
{
    textSearch(1, QStringLiteral("*i"), true, false, false);
    ASSERT_EQ(column(lstCapitoli), codes({"01.B01", "01.A01"}));

    clickRow(lstCapitoli, 1);
    EXPECT_EQ(column(lstArticoli), codes({"01.A01.A01", "01.A01.A02"}));
    EXPECT_EQ(keys(lstArticoli), codes({"k0", "k1"}));
    EXPECT_EQ(column(lstArticoli, 4), (QStringList{QStringLiteral("Nota dello scavo a sezione obbligata"), QString()}));
    EXPECT_EQ(text("lblcontArt"), counter(2));
    EXPECT_EQ(text("lblcontSub"), counter(0));

    clickRow(lstArticoli, 0);
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A01"));
    EXPECT_EQ(text("txtArticolo"), QStringLiteral("Scavo a sezione obbligata"));
    EXPECT_EQ(column(lstSubarticoli), codes({"01.A01.A01.010", "01.A01.A01.020"}));
    EXPECT_EQ(text("lblcontSub"), counter(2));

    // Another chapter empties the subarticles; the detail boxes keep the article seen last.
    clickRow(lstCapitoli, 0);
    EXPECT_EQ(column(lstArticoli), codes({"01.B01.A01", "01.B01.A02"}));
    EXPECT_EQ(lstSubarticoli->Count(), 0);
    EXPECT_EQ(text("lblcontSub"), counter(0));
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A01"));

    clickRow(lstArticoli, 0);
    ASSERT_EQ(lstSubarticoli->Count(), 2);
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k0"), 4), QStringLiteral("12 %"));
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k1"), 3), QString());
    expectNothingHappensOn(lstSubarticoli, 1);
}

TEST_F(Navigation, textArticlesOnlyListsTheSubarticlesOfTheArticle)
{
    textSearch(1, QStringLiteral("scavo"), false, true, false);
    clickRow(lstArticoli, 1);
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A02"));
    EXPECT_EQ(text("txtArticolo"), QStringLiteral("Scavo di sbancamento dell'opera"));
    EXPECT_EQ(column(lstSubarticoli), codes({"01.A01.A02.010"}));
    expectNothingHappensOn(lstSubarticoli, 0);
}

TEST_F(Navigation, textSubarticlesOnlyClimbsToTheParentArticle)
{
    textSearch(1, QStringLiteral("spessore"), false, false, true);
    ASSERT_EQ(lstSubarticoli->Count(), 5);
    ASSERT_EQ(lstArticoli->Count(), 0);
    clickRow(lstSubarticoli, 1);
    EXPECT_EQ(column(lstArticoli), codes({"01.A03.A05"}));
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A03.A05"));
    EXPECT_EQ(text("txtArticolo"), QStringLiteral("Muratura portante in laterizio"));
    EXPECT_EQ(text("lblcontArt"), counter(1));

    // Selecting that article changes only the detail boxes and keeps the subarticle results.
    clickRow(lstSubarticoli, 3);
    ASSERT_EQ(column(lstArticoli), codes({"01.A03.A06"}));
    const QStringList subarticles = column(lstSubarticoli);
    clickRow(lstArticoli, 0);
    EXPECT_EQ(column(lstSubarticoli), subarticles);
    EXPECT_EQ(lstSubarticoli->SelectedKey(), QStringLiteral("k3"));
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A03.A06"));
    EXPECT_EQ(text("lblcontSub"), counter(5));
}

TEST_F(Navigation, textChaptersAndArticlesDrillFromArticlesOnly)
{
    textSearch(1, QStringLiteral("scav"), true, true, false);
    expectNothingHappensOn(lstCapitoli, 0);
    clickRow(lstArticoli, 0);
    EXPECT_EQ(column(lstSubarticoli), codes({"01.A01.A01.010", "01.A01.A01.020"}));
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A01"));
}

TEST_F(Navigation, textChaptersAndSubarticlesDoNothing)
{
    textSearch(1, QStringLiteral("*i"), true, false, true);
    ASSERT_EQ(lstArticoli->Count(), 0);
    expectNothingHappensOn(lstCapitoli, 1);
    expectNothingHappensOn(lstSubarticoli, 0);
}

TEST_F(Navigation, textArticlesAndSubarticlesShowOnlyTheDetails)
{
    for (const bool capitoli : {false, true}) {
        textSearch(1, QStringLiteral("di"), capitoli, true, true);
        ASSERT_EQ(column(lstArticoli), codes({"01.B01.A02", "01.A01.A02"}));
        const QStringList subarticles = column(lstSubarticoli);
        ASSERT_EQ(subarticles.size(), 2);
        const QString subCounter = text("lblcontSub");
        clickRow(lstArticoli, 1);
        EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A02"));
        EXPECT_EQ(text("txtArticolo"), QStringLiteral("Scavo di sbancamento dell'opera"));
        EXPECT_EQ(column(lstSubarticoli), subarticles);
        EXPECT_EQ(text("lblcontSub"), subCounter);
        expectNothingHappensOn(lstSubarticoli, 1);
    }
}

TEST_F(Navigation, articleCodeRebuildsTheSameSubarticles)
{
    articleSearch(1, QStringLiteral("B01"), QStringLiteral("A01"));
    const QStringList before = snapshot();
    expectNothingHappensOn(lstCapitoli, 0);
    clickRow(lstArticoli, 0);
    clickRow(lstArticoli, 0);
    EXPECT_EQ(snapshot(), before);
    expectNothingHappensOn(lstSubarticoli, 1);
}

TEST_F(Navigation, subarticleCodeClimbsToTheParentAndLocksTheSubarticles)
{
    subarticleSearch(1, QStringLiteral("A01"), QStringLiteral("A01"), QStringLiteral("020"));
    ASSERT_EQ(text("txtArtSel"), QString());
    clickRow(lstArticoli, 0);
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A01"));
    EXPECT_EQ(text("txtArticolo"), QStringLiteral("Scavo a sezione obbligata"));
    EXPECT_EQ(column(lstSubarticoli), codes({"01.A01.A01.020"}));

    box("txtArtSel")->clear();
    clickRow(lstSubarticoli, 0);
    EXPECT_EQ(column(lstArticoli), codes({"01.A01.A01"}));
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A01"));
    expectNothingHappensOn(lstCapitoli, 0);
}

TEST_F(Navigation, rangeShowsOnlyTheDetailsOfArticles)
{
    rangeSearch(1, QStringLiteral("A01"), {}, {}, QStringLiteral("A01"), {}, {});
    expectNothingHappensOn(lstCapitoli, 0);
    const QStringList subarticles = column(lstSubarticoli);
    clickRow(lstArticoli, 1);
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A02"));
    EXPECT_EQ(column(lstSubarticoli), subarticles);
    EXPECT_EQ(text("lblcontSub"), counter(3));
    expectNothingHappensOn(lstSubarticoli, 2);
}

TEST_F(Navigation, focusIntoAnEmptyListDoesNothing)
{
    // Chapters and subarticles: the article list is empty while an article selection would refill the
    // subarticles. With the database closed, any query would show an error.
    textSearch(1, QStringLiteral("*i"), true, false, true);
    ASSERT_EQ(lstArticoli->Count(), 0);
    ASSERT_GT(lstSubarticoli->Count(), 0);
    state.priceList.close();
    QStringList before = snapshot();
    lstArticoli->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(warnings().isEmpty());
    state.priceList = core::PriceList(folder.open());

    // A subarticle code that finds nothing leaves an empty subarticle list that would climb to its parent.
    subarticleSearch(1, QStringLiteral("Z01"), QStringLiteral("Z01"), QStringLiteral("010"));
    ASSERT_EQ(warnings(), QStringList{QStringLiteral("LA RICERCA NON HA FORNITO RISULTATI")});
    ui::MessageBox::clearRecorded();
    state.priceList.close();
    before = snapshot();
    lstSubarticoli->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(warnings().isEmpty());
    state.priceList = core::PriceList(folder.open());
}

TEST_F(Navigation, focusIntoAListWithRowsRunsTheSelectionOfItsSelectedRow)
{
    textSearch(1, QStringLiteral("spessore"), false, false, true);
    ASSERT_EQ(lstArticoli->Count(), 0);
    lstSubarticoli->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(column(lstArticoli), codes({"01.B01.A02"}));
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.B01.A02"));
}

TEST_F(Navigation, arrowKeysInAListActLikeAClick)
{
    textSearch(1, QStringLiteral("scavo"), false, true, false);
    clickRow(lstArticoli, 0);
    ASSERT_EQ(lstSubarticoli->Count(), 2);
    QTest::keyClick(lstArticoli, Qt::Key_Down);
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A02"));
    EXPECT_EQ(column(lstSubarticoli), codes({"01.A01.A02.010"}));
    QTest::keyClick(lstArticoli, Qt::Key_Up);
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A01"));
    EXPECT_EQ(lstSubarticoli->Count(), 2);
}

TEST_F(Navigation, refilledListsSelectTheirFirstRowAgain)
{
    textSearch(1, QStringLiteral("scavo"), false, true, false);
    clickRow(lstArticoli, 1);
    ASSERT_EQ(lstArticoli->SelectedKey(), QStringLiteral("k1"));
    run();
    EXPECT_EQ(lstArticoli->SelectedKey(), QStringLiteral("k0"));
    lstArticoli->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(text("txtArtSel"), QStringLiteral("01.A01.A01"));

    textSearch(1, QStringLiteral("*i"), true, false, false);
    clickRow(lstCapitoli, 1);
    clickRow(lstArticoli, 1);
    ASSERT_EQ(lstArticoli->SelectedKey(), QStringLiteral("k1"));
    clickRow(lstCapitoli, 0);
    EXPECT_EQ(lstArticoli->SelectedKey(), QStringLiteral("k0"));
    EXPECT_EQ(lstArticoli->SelectedText(), QStringLiteral("01.B01.A01"));
}
