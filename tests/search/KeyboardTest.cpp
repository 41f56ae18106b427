// The search window used from the keyboard alone.
#include "tests/search/SearchSession.h"

#include <QSignalSpy>

using searchtest::SearchSession;

using Keyboard = SearchSession;

TEST_F(Keyboard, enterInABoxRunsTheSearchWithEveryCheck)
{
    pickSection(0);
    click("opttesto");
    type("txtCerca", QStringLiteral("s"));
    QTest::keyClick(box("txtCerca"), Qt::Key_Return);
    EXPECT_EQ(warnings(), QStringList{QStringLiteral(
                              "Inserire un Elemento di almeno 2 caratteri prima di procedere con la ricerca")});
    type("txtCerca", QStringLiteral("cavo"));
    click("chkArticoli");
    QTest::keyClick(box("txtCerca"), Qt::Key_Enter);
    EXPECT_EQ(warnings().size(), 1);
    EXPECT_EQ(lstArticoli->Count(), 3);

    click("cmdpulisci");
    pickSection(1);
    click("optarticolo");
    type("txtArtCap", QStringLiteral("a01"));
    type("txtArtArt", QStringLiteral("a02"));
    QTest::keyClick(box("txtArtArt"), Qt::Key_Return);
    EXPECT_EQ(column(lstArticoli), QStringList{QStringLiteral("01.A01.A02")});
}

TEST_F(Keyboard, theFocusReturnsToTheBoxAWarningIsAbout)
{
    const struct
    {
        std::function<void()> setUp;
        const char* cause;
    } cases[] = {
        {[this] { click("opttesto"); }, "cmbSezioni"},
        {[this] { pickSection(0), click("opttesto"), type("txtCerca", QStringLiteral("x")); }, "txtCerca"},
        {[this] { pickSection(0), click("opttesto"), type("txtCerca", QStringLiteral("xy")); }, "chkCapitoli"},
        {[this] { pickSection(1), click("optarticolo"), type("txtArtCap", QStringLiteral("A01")); }, "txtArtArt"},
        {[this] {
             pickSection(1), click("optSub"), type("txtSubCap", QStringLiteral("A01")),
                 type("txtSubArt", QStringLiteral("A01")), type("txtSubSub", QStringLiteral("0'0"));
         },
         "txtSubSub"},
        {[this] {
             pickSection(1), click("optDa_A"), type("txtDa_Cap", QStringLiteral("A01")),
                 type("txtA_Cap", QStringLiteral("Z99"));
         },
         "txtA_Cap"},
        {[this] {
             pickSection(1), click("optDa_A"), type("txtDa_Cap", QStringLiteral("A01")),
                 type("txtDa_Art", QStringLiteral("A01")), type("txtA_Cap", QStringLiteral("A03"));
         },
         "txtA_Art"},
    };
    for (const auto& c : cases) {
        click("cmdpulisci");
        ui::MessageBox::clearRecorded();
        c.setUp();
        box("txtCerca")->setFocus();
        run();
        EXPECT_EQ(warnings().size(), 1) << c.cause;
        EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(),
                  QString::fromLatin1(c.cause))
            << warnings().join(u'\n').toStdString();
    }
}

TEST_F(Keyboard, escapeClosesAndF1OrAltIOpensTheManual)
{
    QSignalSpy manual(window.get(), &search::frmCerca::manualeRequested);
    QTest::keyClick(window.get(), Qt::Key_F1);
    QTest::keyClick(window.get(), Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(manual.count(), 2);
    QTest::keyClick(box("txtCerca"), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
}
