#include "tests/search/SearchSession.h"

#include <QWheelEvent>

using searchtest::SearchSession;

namespace {

const QString kArticolo = QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca articolo");
const QString kPerArticolo = QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca per articolo");
const QString kSubarticolo = QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca subarticolo");
const QString kPerSubarticolo =
    QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca per subarticolo");
const QString kDaA = QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca ''Da-A''");

} // namespace

using SearchWindow = SearchSession;

TEST_F(SearchWindow, opensEmptyWithTheMainWindowDisabled)
{
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Ricerca"));
    ASSERT_EQ(cmbSezioni->count(), 3);
    EXPECT_EQ(cmbSezioni->itemText(0), QStringLiteral("Tutto il prezzario"));
    EXPECT_EQ(cmbSezioni->itemText(1), QStringLiteral("01 - Opere edili"));
    EXPECT_EQ(cmbSezioni->itemText(2), QStringLiteral("02 - Restauro"));
    EXPECT_EQ(cmbSezioni->currentText(), QString());
    for (const char* name : {"opttesto", "optarticolo", "optSub", "optDa_A"})
        EXPECT_FALSE(option(name)->isChecked()) << name;
    for (const char* name : {"chkCapitoli", "chkArticoli", "chkSubarticoli"})
        EXPECT_FALSE(check(name)->isChecked()) << name;
    for (const char* name :
         {"txtCerca",  "txtArtCap", "txtArtArt", "txtSubCap", "txtSubArt",  "txtSubSub",  "txtDa_Cap",
          "txtDa_Art", "txtDa_Sub", "txtA_Cap",  "txtA_Art",  "txtA_Sub",   "txtArtSel",  "txtArticolo",
          "lblArtSez", "lblSubSez", "lblDa_Sez", "lblA_Sez",  "lblcontCap", "lblcontArt", "lblcontSub"})
        EXPECT_EQ(text(name), QString()) << name;
    EXPECT_EQ(lstCapitoli->Count() + lstArticoli->Count() + lstSubarticoli->Count(), 0);
    EXPECT_EQ(text("Frame3"), QStringLiteral("Risultato Articoli"));
    EXPECT_TRUE(label("lblsub")->isVisibleTo(window.get()));
    EXPECT_FALSE(label("lblsub1")->isVisibleTo(window.get()));
    EXPECT_FALSE(control<QWidget>("lnlsub")->isVisibleTo(window.get()));
    EXPECT_FALSE(printEnabled());
    EXPECT_EQ(window->reportKind(), core::ReportKind::None);
    EXPECT_TRUE(warnings().isEmpty());
}

TEST_F(SearchWindow, theTextHasNoLengthLimitAndEachCodeBoxTakesThreeCharacters)
{
    const QString longText(40000, u'x');
    box("txtCerca")->setText(longText);
    EXPECT_EQ(text("txtCerca").size(), longText.size());
    for (const char* name : {"txtArtCap", "txtArtArt", "txtSubCap", "txtSubArt", "txtSubSub", "txtDa_Cap", "txtDa_Art",
                             "txtDa_Sub", "txtA_Cap", "txtA_Art", "txtA_Sub"})
        EXPECT_EQ(box(name)->maxLength(), 3) << name;
}

TEST_F(SearchWindow, runWithoutAModeWarnsAndChangesNothing)
{
    pickSection(1);
    run();
    EXPECT_EQ(warnings(), QStringList{QStringLiteral("Selezionare un tipo di ricerca prima di procedere ")});
    EXPECT_EQ(titles(), QStringList{QStringLiteral("Prezziario")});
    EXPECT_EQ(text("lblcontCap"), QString());
    EXPECT_FALSE(printEnabled());
}

TEST_F(SearchWindow, codeModesRefuseAMissingSectionAndUnselectThemselves)
{
    click("optarticolo");
    click("optSub");
    click("optDa_A");
    pickSection(0);
    click("optarticolo");
    click("optSub");
    click("optDa_A");
    EXPECT_EQ(warnings(), (QStringList{kArticolo, kSubarticolo, kDaA, kPerArticolo, kPerSubarticolo, kDaA}));
    for (const char* name : {"optarticolo", "optSub", "optDa_A"})
        EXPECT_FALSE(option(name)->isChecked()) << name;
    for (const char* name : {"lblArtSez", "lblSubSez", "lblDa_Sez", "lblA_Sez"})
        EXPECT_EQ(text(name), QString()) << name;

    // The text mode needs no section.
    ui::MessageBox::clearRecorded();
    click("opttesto");
    EXPECT_TRUE(option("opttesto")->isChecked());
    EXPECT_TRUE(warnings().isEmpty());
}

TEST_F(SearchWindow, codeModesWithASectionTakeItsPrefix)
{
    pickSection(2);
    click("optarticolo");
    EXPECT_EQ(text("lblArtSez"), QStringLiteral("02."));
    click("optSub");
    EXPECT_EQ(text("lblSubSez"), QStringLiteral("02."));
    EXPECT_EQ(text("lblArtSez"), QString());
    click("optDa_A");
    EXPECT_EQ(text("lblDa_Sez"), QStringLiteral("02."));
    EXPECT_EQ(text("lblA_Sez"), QStringLiteral("02."));
    EXPECT_EQ(text("lblSubSez"), QString());
    EXPECT_TRUE(option("optDa_A")->isChecked());
    EXPECT_FALSE(option("optSub")->isChecked());
    EXPECT_TRUE(warnings().isEmpty());
}

TEST_F(SearchWindow, clickingTheSelectedOptionKeepsItSelected)
{
    pickSection(1);
    for (const char* name : {"opttesto", "optarticolo", "optSub", "optDa_A"}) {
        click(name);
        click(name);
        EXPECT_TRUE(option(name)->isChecked()) << name;
    }
}

TEST_F(SearchWindow, choosingASectionRefreshesTheSelectedCodeMode)
{
    pickSection(1);
    click("optSub");
    type("txtSubCap", QStringLiteral("A01"));
    type("txtSubArt", QStringLiteral("A01"));
    type("txtSubSub", QStringLiteral("010"));
    pickSection(2);
    EXPECT_EQ(text("lblSubSez"), QStringLiteral("02."));
    for (const char* name : {"txtSubCap", "txtSubArt", "txtSubSub"})
        EXPECT_EQ(text(name), QString()) << name;
    EXPECT_TRUE(warnings().isEmpty());

    pickSection(0);
    EXPECT_EQ(text("lblSubSez"), QString());
    EXPECT_EQ(warnings(), QStringList{kSubarticolo});
    EXPECT_TRUE(option("optSub")->isChecked()) << "a warning here does not change the mode";

    ui::MessageBox::clearRecorded();
    pickSection(1);
    click("optarticolo");
    type("txtArtCap", QStringLiteral("A01"));
    pickSection(2);
    EXPECT_EQ(text("lblArtSez"), QStringLiteral("02."));
    EXPECT_EQ(text("txtArtCap"), QString());
    pickSection(0);
    EXPECT_EQ(text("lblArtSez"), QString());
    EXPECT_EQ(warnings(), QStringList{kArticolo});
}

TEST_F(SearchWindow, choosingTheWholeListInRangeModeKeepsBothPrefixes)
{
    pickSection(1);
    click("optDa_A");
    type("txtDa_Cap", QStringLiteral("A01"));
    type("txtA_Cap", QStringLiteral("A03"));
    pickSection(0);
    EXPECT_EQ(warnings(),
              QStringList{QStringLiteral("Selezionare una Sezione prima di procedere con la ricerca ''DA-A''")});
    EXPECT_EQ(text("lblDa_Sez"), QStringLiteral("01."));
    EXPECT_EQ(text("lblA_Sez"), QStringLiteral("01."));
    EXPECT_EQ(text("txtDa_Cap"), QStringLiteral("A01"));

    pickSection(2);
    EXPECT_EQ(text("lblDa_Sez"), QStringLiteral("02."));
    EXPECT_EQ(text("lblA_Sez"), QStringLiteral("02."));
    for (const char* name : {"txtDa_Cap", "txtDa_Art", "txtDa_Sub", "txtA_Cap", "txtA_Art", "txtA_Sub"})
        EXPECT_EQ(text(name), QString()) << name;
}

TEST_F(SearchWindow, eachModeEmptiesTheInputsOfTheOthers)
{
    // With no mode selected every input can be filled.
    pickSection(1);
    type("txtCerca", QStringLiteral("scavo"));
    click("chkCapitoli");
    click("chkSubarticoli");
    for (const char* name : {"txtArtCap", "txtArtArt", "txtSubCap", "txtSubArt", "txtSubSub", "txtDa_Cap", "txtA_Cap"})
        type(name, QStringLiteral("A01"));

    click("opttesto");
    EXPECT_EQ(text("txtCerca"), QStringLiteral("scavo"));
    EXPECT_TRUE(check("chkCapitoli")->isChecked());
    EXPECT_TRUE(check("chkSubarticoli")->isChecked());
    for (const char* name : {"txtArtCap", "txtArtArt", "txtSubCap", "txtSubArt", "txtSubSub", "txtDa_Cap", "txtA_Cap"})
        EXPECT_EQ(text(name), QString()) << name;

    // The range mode guards nothing: its own boxes and the text inputs can be filled while it is selected.
    click("optDa_A");
    EXPECT_EQ(text("txtCerca"), QString());
    EXPECT_FALSE(check("chkCapitoli")->isChecked());
    type("txtCerca", QStringLiteral("muro"));
    click("chkArticoli");
    type("txtDa_Cap", QStringLiteral("A01"));
    type("txtA_Cap", QStringLiteral("A03"));
    EXPECT_EQ(text("txtCerca"), QStringLiteral("muro"));
    EXPECT_TRUE(check("chkArticoli")->isChecked());

    click("optarticolo");
    EXPECT_EQ(text("txtCerca"), QString());
    EXPECT_FALSE(check("chkArticoli")->isChecked());
    for (const char* name : {"txtDa_Cap", "txtA_Cap", "lblDa_Sez", "lblA_Sez"})
        EXPECT_EQ(text(name), QString()) << name;
    type("txtArtCap", QStringLiteral("A01"));
    type("txtArtArt", QStringLiteral("A02"));

    click("optSub");
    EXPECT_EQ(text("txtArtCap"), QString());
    EXPECT_EQ(text("lblArtSez"), QString());
    type("txtSubCap", QStringLiteral("A01"));

    // Coming back keeps the mode's own inputs.
    click("optarticolo");
    EXPECT_EQ(text("txtSubCap"), QString());
    type("txtArtCap", QStringLiteral("B01"));
    click("optarticolo");
    EXPECT_EQ(text("txtArtCap"), QStringLiteral("B01"));
    EXPECT_TRUE(warnings().isEmpty());
}

TEST_F(SearchWindow, inputGuardsKeepTheOtherModesEmpty)
{
    pickSection(1);
    click("optSub");
    type("txtCerca", QStringLiteral("scavo"));
    click("chkCapitoli");
    type("txtArtCap", QStringLiteral("A01"));
    EXPECT_EQ(text("txtCerca"), QString());
    EXPECT_FALSE(check("chkCapitoli")->isChecked());
    EXPECT_EQ(text("txtArtCap"), QString());
    type("txtSubSub", QStringLiteral("010"));
    EXPECT_EQ(text("txtSubSub"), QStringLiteral("010"));

    click("optarticolo");
    click("chkArticoli");
    click("chkSubarticoli");
    type("txtSubCap", QStringLiteral("A01"));
    type("txtCerca", QStringLiteral("x"));
    EXPECT_FALSE(check("chkArticoli")->isChecked());
    EXPECT_FALSE(check("chkSubarticoli")->isChecked());
    EXPECT_EQ(text("txtSubCap"), QString());
    EXPECT_EQ(text("txtCerca"), QString());

    click("opttesto");
    type("txtArtArt", QStringLiteral("A01"));
    type("txtSubArt", QStringLiteral("A01"));
    EXPECT_EQ(text("txtArtArt"), QString());
    EXPECT_EQ(text("txtSubArt"), QString());
    type("txtDa_Sub", QStringLiteral("010"));
    EXPECT_EQ(text("txtDa_Sub"), QStringLiteral("010")) << "the range boxes are never guarded";

    // Guards also act on text set by code, not only on typing.
    click("optarticolo");
    box("txtCerca")->setText(QStringLiteral("incollato"));
    EXPECT_EQ(text("txtCerca"), QString());
}

TEST_F(SearchWindow, noHandlerChangesLetterCase)
{
    pickSection(1);
    click("optarticolo");
    type("txtArtCap", QStringLiteral("a01"));
    click("opttesto");
    type("txtCerca", QStringLiteral("Scavo"));
    EXPECT_EQ(text("txtCerca"), QStringLiteral("Scavo"));
}

TEST_F(SearchWindow, typingInTheComboForgetsThePickedEntry)
{
    // "Tutto il prezzario" picked, then text typed: the index is no longer 0, so the run is not refused
    // for the whole list and the section prefix left by the last pick is used.
    pickSection(1);
    click("optarticolo");
    type("txtArtCap", QStringLiteral("A01"));
    type("txtArtArt", QStringLiteral("A01"));
    pickSection(0);
    ASSERT_EQ(warnings(), QStringList{kArticolo});
    ui::MessageBox::clearRecorded();
    cmbSezioni->lineEdit()->selectAll();
    typeInCombo(QStringLiteral("01"));
    run();
    EXPECT_EQ(warnings(), QStringList{QStringLiteral("LA RICERCA NON HA FORNITO RISULTATI")});

    // Picking the entry again makes it count once more.
    ui::MessageBox::clearRecorded();
    pickSection(0);
    ui::MessageBox::clearRecorded();
    run();
    EXPECT_EQ(warnings(), QStringList{kPerArticolo});
}

TEST_F(SearchWindow, enterAndTheWheelInTheComboPickNothing)
{
    pickSection(1);
    click("optSub");
    type("txtSubCap", QStringLiteral("A01"));
    cmbSezioni->setFocus();
    QTest::keyClick(cmbSezioni->lineEdit(), Qt::Key_Return);
    QWheelEvent wheel(QPointF(5, 5), cmbSezioni->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(cmbSezioni, &wheel);
    EXPECT_EQ(cmbSezioni->currentText(), QStringLiteral("01 - Opere edili"));
    EXPECT_EQ(text("txtSubCap"), QStringLiteral("A01")) << "no Click ran";
    EXPECT_TRUE(warnings().isEmpty());
}

TEST_F(SearchWindow, closingGivesTheMainWindowBackAndReopeningStartsAfresh)
{
    textSearch(1, QStringLiteral("scavo"), false, true, false);
    ASSERT_EQ(window->reportKind(), core::ReportKind::ArtInd);
    ASSERT_GT(lstArticoli->Count(), 0);
    window->close();
    EXPECT_TRUE(mainWindow.isEnabled());

    window->showFromMenu();
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_EQ(cmbSezioni->count(), 3);
    EXPECT_EQ(cmbSezioni->currentText(), QString());
    EXPECT_FALSE(option("opttesto")->isChecked());
    EXPECT_EQ(text("txtCerca"), QString());
    EXPECT_EQ(lstArticoli->Count(), 0);
    EXPECT_EQ(text("lblcontArt"), QString());
    EXPECT_FALSE(printEnabled());
    // The window's variables keep their values across showings.
    EXPECT_EQ(window->reportKind(), core::ReportKind::ArtInd);
}

TEST_F(SearchWindow, closingWithoutARunGivesTheMainWindowBack)
{
    window->close();
    EXPECT_TRUE(mainWindow.isEnabled());
}
