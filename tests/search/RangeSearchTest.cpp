#include "tests/search/SearchSession.h"

using searchtest::codes;
using searchtest::SearchSession;

struct RangeSearch : SearchSession
{
    // Sets the six parts as the user would retype them and runs, without touching mode or section.
    void rerun(const QString& daCap, const QString& daArt, const QString& daSub, const QString& aCap,
               const QString& aArt, const QString& aSub)
    {
        const std::pair<const char*, QString> parts[] = {{"txtDa_Cap", daCap}, {"txtDa_Art", daArt},
                                                         {"txtDa_Sub", daSub}, {"txtA_Cap", aCap},
                                                         {"txtA_Art", aArt},   {"txtA_Sub", aSub}};
        for (const auto& [name, part] : parts) {
            box(name)->clear();
            type(name, part);
        }
        run();
    }
};

// Every check and its order are the library's (tests/core); here, that the window shows them.
TEST_F(RangeSearch, aRefusedRangeWarnsAndKeepsItsCodesForTheReport)
{
    pickSection(1);
    click("optDa_A");
    rerun(QStringLiteral("a01"), QStringLiteral("a05"), {}, QStringLiteral("A02"), {}, {});
    // The codes are stored as typed before the length comparison, and kept after the refusal.
    EXPECT_EQ(window->Elemento_DA(), QStringLiteral("01.a01.a05"));
    EXPECT_EQ(window->Elemento_A(), QStringLiteral("01.A02"));
    rerun(QStringLiteral("Z99"), {}, {}, QStringLiteral("A01"), {}, {});
    EXPECT_EQ(warnings(), (QStringList{QStringLiteral("Ricerca possibile solo fra elementi dello stesso tipo "
                                                      "(Capitolo-Capitolo, Articolo-Articolo, Subarticolo-Subarticolo)"),
                                       QStringLiteral("Codice Capitolo di partenza inesistente")}));
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Prezzario"), QStringLiteral("Prezziario")}));
    EXPECT_EQ(QApplication::focusWidget(), box("txtDa_Cap"));
    EXPECT_EQ(lstCapitoli->Count() + lstSubarticoli->Count(), 0);
    EXPECT_FALSE(printEnabled());
}

TEST_F(RangeSearch, oneChapterListsItsArticlesOnceAndAllItsSubarticles)
{
    rangeSearch(1, QStringLiteral("A01"), {}, {}, QStringLiteral("A01"), {}, {});
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_EQ(column(lstCapitoli), codes({"01.A01"}));
    EXPECT_EQ(column(lstCapitoli, 2), codes({"Scavi e movimenti di terra"}));
    EXPECT_EQ(column(lstArticoli), codes({"01.A01.A01", "01.A01.A02"}));
    EXPECT_EQ(column(lstArticoli, 4), (QStringList{QStringLiteral("Nota dello scavo a sezione obbligata"), QString()}));
    EXPECT_EQ(column(lstSubarticoli), codes({"01.A01.A01.010", "01.A01.A01.020", "01.A01.A02.010"}));
    EXPECT_EQ(keys(lstSubarticoli), codes({"k0", "k1", "k2"}));
    EXPECT_EQ(text("lblcontArt"), counter(2));
    EXPECT_EQ(window->Elemento_DA(), QStringLiteral("01.A01"));
    EXPECT_EQ(window->Elemento_A(), QStringLiteral("01.A01"));
    EXPECT_EQ(window->reportKind(), core::ReportKind::None);
    EXPECT_EQ(text("Frame3"), QStringLiteral("Risultato Articoli"));
    EXPECT_FALSE(label("lblsub")->isVisibleTo(window.get()));
    EXPECT_TRUE(label("lblsub1")->isVisibleTo(window.get()));
    EXPECT_TRUE(control<QWidget>("lnlsub")->isVisibleTo(window.get()));
    EXPECT_TRUE(printEnabled());

    // The same chapter written in another letter case is a true range over the same rows.
    rangeSearch(1, QStringLiteral("a01"), {}, {}, QStringLiteral("A01"), {}, {});
    EXPECT_EQ(column(lstArticoli), codes({"01.A01.A01", "01.A01.A02"}));
    EXPECT_EQ(lstSubarticoli->Count(), 3);
    EXPECT_EQ(window->Elemento_DA(), QStringLiteral("01.a01"));
}

TEST_F(RangeSearch, chapterRangeFollowsTheListOrder)
{
    rangeSearch(1, QStringLiteral("B01"), {}, {}, QStringLiteral("A03"), {}, {});
    EXPECT_EQ(column(lstCapitoli), codes({"01.B01", "01.A01", "01.A03"}));
    EXPECT_EQ(column(lstCapitoli, 3), (QStringList{QStringLiteral("Nota del capitolo B01"), QString(), QString()}));
    // An article whose rows are split by another is listed once per run of rows.
    EXPECT_EQ(column(lstArticoli), codes({"01.B01.A01", "01.B01.A02", "01.A01.A01", "01.A01.A02", "01.A03.A05",
                                          "01.A03.A06", "01.A03.A05"}));
    EXPECT_EQ(lstSubarticoli->Count(), 10);
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k0"), 3), QStringLiteral("120,5"));
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k1"), 3), QString());

    // The chapter positions bound the range; the rows come in list order.
    rangeSearch(2, QStringLiteral("C01"), {}, {}, QStringLiteral("A01"), {}, {});
    EXPECT_EQ(column(lstCapitoli), codes({"02.A01", "02.C01"}));
    EXPECT_EQ(column(lstSubarticoli), codes({"02.A01.A01.010", "02.C01.A01.010"}));
    ui::MessageBox::clearRecorded();
    rangeSearch(2, QStringLiteral("A01"), {}, {}, QStringLiteral("C01"), {}, {});
    EXPECT_EQ(warnings(), QStringList{QStringLiteral("Il Codice Capitolo di arrivo deve essere successivo "
                                                     "nell'ordine del prezzario al Codice Capitolo di partenza")});
}

TEST_F(RangeSearch, articleRangeRunsFromTheFirstSubarticleOfTheStartToTheLastOfTheEnd)
{
    rangeSearch(1, QStringLiteral("A03"), QStringLiteral("A05"), {}, QStringLiteral("A03"), QStringLiteral("A06"), {});
    EXPECT_EQ(column(lstCapitoli), codes({"01.A03"}));
    EXPECT_EQ(column(lstArticoli), codes({"01.A03.A05", "01.A03.A06"}));
    EXPECT_EQ(column(lstSubarticoli), codes({"01.A03.A05.010", "01.A03.A05.020", "01.A03.A06.010"}));

    rangeSearch(1, QStringLiteral("A01"), QStringLiteral("A02"), {}, QStringLiteral("A01"), QStringLiteral("A02"), {});
    EXPECT_EQ(column(lstCapitoli), codes({"01.A01"}));
    EXPECT_EQ(column(lstArticoli), codes({"01.A01.A02"}));
    EXPECT_EQ(column(lstSubarticoli), codes({"01.A01.A02.010"}));
    EXPECT_EQ(window->Elemento_DA(), QStringLiteral("01.A01.A02"));
}

TEST_F(RangeSearch, subarticleRangeAcceptsLowerCaseParts)
{
    rangeSearch(1, QStringLiteral("a01"), QStringLiteral("a01"), QStringLiteral("020"), QStringLiteral("a03"),
                QStringLiteral("a05"), QStringLiteral("010"));
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_EQ(column(lstCapitoli), codes({"01.A01", "01.A03"}));
    EXPECT_EQ(column(lstArticoli), codes({"01.A01.A01", "01.A01.A02", "01.A03.A05"}));
    EXPECT_EQ(column(lstSubarticoli), codes({"01.A01.A01.020", "01.A01.A02.010", "01.A03.A05.010"}));
    EXPECT_EQ(window->Elemento_DA(), QStringLiteral("01.a01.a01.020"));
    EXPECT_EQ(window->Elemento_A(), QStringLiteral("01.a03.a05.010"));
}

TEST_F(RangeSearch, aRefusedRunLeavesThePreviousResults)
{
    rangeSearch(1, QStringLiteral("A01"), {}, {}, QStringLiteral("A01"), {}, {});
    ASSERT_EQ(lstSubarticoli->Count(), 3);
    rerun(QStringLiteral("A01"), {}, {}, QStringLiteral("Z99"), {}, {});
    EXPECT_EQ(warnings(), QStringList{QStringLiteral("Codice Capitolo di arrivo inesistente")});
    EXPECT_EQ(lstSubarticoli->Count(), 3);
    EXPECT_EQ(text("lblcontSub"), counter(3));
    EXPECT_TRUE(printEnabled());
}

TEST_F(RangeSearch, theSearchKindFollowsBoxesTickedInRangeMode)
{
    pickSection(1);
    click("optDa_A");
    click("chkSubarticoli");
    rerun(QStringLiteral("A01"), {}, {}, QStringLiteral("A01"), {}, {});
    EXPECT_EQ(window->reportKind(), core::ReportKind::SubInd);
    EXPECT_EQ(lstSubarticoli->Count(), 3);
}
