#include "tests/search/SearchSession.h"

#include <QClipboard>
#include <QGuiApplication>

using searchtest::SearchSession;

namespace {

const QString kNothingFound = QStringLiteral("LA RICERCA NON HA FORNITO RISULTATI");

} // namespace

using TextSearch = SearchSession;

TEST_F(TextSearch, listsEachChapterAndArticleOnceForItsRunOfRows)
{
    textSearch(0, QStringLiteral("scav"), true, true, false);
    EXPECT_EQ(column(lstCapitoli), (QStringList{QStringLiteral("01.A01"), QStringLiteral("02.A01")}));
    EXPECT_EQ(keys(lstCapitoli), (QStringList{QStringLiteral("k0"), QStringLiteral("k1")}));
    EXPECT_EQ(column(lstCapitoli, 1), (QStringList{QStringLiteral("Opere edili"), QStringLiteral("Restauro")}));
    EXPECT_EQ(column(lstCapitoli, 2),
              (QStringList{QStringLiteral("Scavi e movimenti di terra"), QStringLiteral("Scavi archeologici")}));
    EXPECT_EQ(column(lstCapitoli, 3), (QStringList{QString(), QStringLiteral("Nota degli scavi archeologici")}));

    EXPECT_EQ(column(lstArticoli),
              (QStringList{QStringLiteral("01.A01.A01"), QStringLiteral("01.A01.A02"), QStringLiteral("02.A01.A01")}));
    EXPECT_EQ(column(lstArticoli, 2).first(), QStringLiteral("Scavi e movimenti di terra"));
    EXPECT_EQ(column(lstArticoli, 3),
              (QStringList{QStringLiteral("Scavo a sezione obbligata"),
                           QStringLiteral("Scavo di sbancamento dell'opera"), QStringLiteral("Scavo stratigrafico")}));
    EXPECT_EQ(column(lstArticoli, 4),
              (QStringList{QStringLiteral("Nota dello scavo a sezione obbligata"), QString(), QString()}));
    EXPECT_EQ(lstSubarticoli->Count(), 0);
    EXPECT_EQ(text("lblcontCap"), counter(2));
    EXPECT_EQ(text("lblcontArt"), counter(3));
    EXPECT_EQ(text("lblcontSub"), counter(0));

    // Only neighbouring rows are merged: an article whose rows are split by another is listed per run.
    textSearch(0, QStringLiteral("laterizio"), false, true, false);
    EXPECT_EQ(column(lstArticoli),
              (QStringList{QStringLiteral("01.A03.A05"), QStringLiteral("01.A03.A06"), QStringLiteral("01.A03.A05")}));
}

TEST_F(TextSearch, chaptersComeInListOrderAndASectionFiltersThem)
{
    // Chapters follow their chapter position, not the position of their rows.
    textSearch(0, QStringLiteral("*i"), true, false, false);
    EXPECT_EQ(column(lstCapitoli), (QStringList{QStringLiteral("01.B01"), QStringLiteral("01.A01"),
                                                QStringLiteral("02.C01"), QStringLiteral("02.A01")}));
    textSearch(1, QStringLiteral("*i"), true, false, false);
    EXPECT_EQ(column(lstCapitoli), (QStringList{QStringLiteral("01.B01"), QStringLiteral("01.A01")}));
    textSearch(2, QStringLiteral("scavo"), false, true, true);
    EXPECT_EQ(column(lstArticoli), QStringList{QStringLiteral("02.A01.A01")});
    EXPECT_EQ(lstSubarticoli->Count(), 0);
    EXPECT_EQ(text("lblcontSub"), counter(0));
}

TEST_F(TextSearch, subarticleRowsShowTheirFiguresAndLeaveNullsEmpty)
{
    textSearch(1, QStringLiteral("classe"), false, false, true);
    ASSERT_EQ(lstSubarticoli->Count(), 2);
    const QStringList priced{QStringLiteral("01.B01.A01.010"),
                             QStringLiteral("Classe C25/30 perché è così"),
                             QStringLiteral("m³"),
                             QStringLiteral("120,5"),
                             QStringLiteral("12 %"),
                             QStringLiteral("14,46")};
    for (int n = 0; n < 6; ++n)
        EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k0"), n), priced[n]) << n;
    for (int n = 3; n < 6; ++n)
        EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k1"), n), QString()) << n;
    EXPECT_EQ(text("lblcontCap"), counter(0));
    EXPECT_EQ(text("lblcontArt"), counter(0));
    EXPECT_EQ(text("lblcontSub"), counter(2));
}

// How texts match is the library's (SearchRules); here, that accented capitals typed in the box and an
// apostrophe reach the search as typed, and the box keeps them.
TEST_F(TextSearch, typedAccentsAndApostrophesReachTheSearch)
{
    box("txtCerca")->clear();
    type("txtCerca", QStringLiteral("PERCH"));
    for (const QString& accented : {QStringLiteral("É"), QStringLiteral(" "), QStringLiteral("È")}) {
        QTest::sendKeyEvent(QTest::Press, box("txtCerca"), Qt::Key_unknown, accented, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, box("txtCerca"), Qt::Key_unknown, accented, Qt::NoModifier);
    }
    ASSERT_EQ(text("txtCerca"), QStringLiteral("PERCHÉ È"));
    pickSection(0);
    click("opttesto");
    click("chkSubarticoli");
    run();
    EXPECT_EQ(column(lstSubarticoli), QStringList{QStringLiteral("01.B01.A01.010")});
    EXPECT_TRUE(warnings().isEmpty());

    textSearch(0, QStringLiteral("dell'opera"), true, true, true);
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_EQ(column(lstArticoli), QStringList{QStringLiteral("01.A01.A02")});
    EXPECT_EQ(text("txtCerca"), QStringLiteral("dell'opera"));
}

TEST_F(TextSearch, pastedControlCharactersNeverReachTheQuery)
{
    // What a copy from a spreadsheet or a careless program may carry: a NUL, tabs, line breaks.
    const QString dirty = QStringLiteral("sc") + QChar(0) + QStringLiteral("a\tvo\r\n") + QChar(0x7F);
    auto paste = [](QLineEdit* box, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    };
    pickSection(0);
    click("opttesto");
    paste(box("txtCerca"), dirty);
    EXPECT_EQ(text("txtCerca"), QStringLiteral("scavo"));
    click("chkArticoli");
    run();
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join(u'\n').toStdString();
    EXPECT_EQ(column(lstArticoli), searchtest::codes({"01.A01.A01", "01.A01.A02", "02.A01.A01"}));

    click("cmdpulisci");
    pickSection(1);
    click("optarticolo");
    // A code box keeps its three characters, counted before the control characters go.
    paste(box("txtArtCap"), QStringLiteral("a") + QChar(0) + QStringLiteral("01"));
    EXPECT_EQ(text("txtArtCap"), QStringLiteral("a0"));
    paste(cmbSezioni->lineEdit(), QStringLiteral("0") + QChar(0) + QStringLiteral("1 - Opere edili"));
    EXPECT_EQ(cmbSezioni->currentText(), QStringLiteral("01 - Opere edili"));
}

TEST_F(TextSearch, aFortyThousandCharacterTextIsSearchedWhole)
{
    pickSection(0);
    click("opttesto");
    box("txtCerca")->setText(QStringLiteral("spessore") + QString(40000, u'x'));
    ASSERT_EQ(text("txtCerca").size(), 40008);
    click("chkCapitoli");
    click("chkArticoli");
    click("chkSubarticoli");
    run();
    EXPECT_EQ(warnings(), QStringList{kNothingFound});
    EXPECT_EQ(lstSubarticoli->Count(), 0);
}

TEST_F(TextSearch, aQuoteTypedInTheSectionTextCannotBreakTheQuery)
{
    pickSection(0);
    click("opttesto");
    type("txtCerca", QStringLiteral("scavo"));
    click("chkArticoli");
    cmbSezioni->lineEdit()->selectAll();
    typeInCombo(QStringLiteral("0'"));
    run();
    EXPECT_EQ(warnings(), QStringList{kNothingFound});

    // "01'..." filters on its first two characters only.
    cmbSezioni->lineEdit()->selectAll();
    typeInCombo(QStringLiteral("01' or 1=1"));
    ui::MessageBox::clearRecorded();
    run();
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_EQ(column(lstArticoli), (QStringList{QStringLiteral("01.A01.A01"), QStringLiteral("01.A01.A02")}));
}

TEST_F(TextSearch, nothingFoundShowsZeroCountersThenTheMessage)
{
    textSearch(0, QStringLiteral("scavo"), true, true, true);
    ASSERT_TRUE(printEnabled());
    textSearch(0, QStringLiteral("zzz"), true, true, true);
    EXPECT_EQ(warnings(), QStringList{kNothingFound});
    for (const char* name : {"lblcontCap", "lblcontArt", "lblcontSub"})
        EXPECT_EQ(text(name), counter(0)) << name;
    EXPECT_FALSE(printEnabled());
    EXPECT_EQ(lstArticoli->Count(), 0);
}

TEST_F(TextSearch, headingsShowWhetherSubarticlesAreResultsOfTheirOwn)
{
    const auto shown = [this](const char* name) { return control<QWidget>(name)->isVisibleTo(window.get()); };
    textSearch(1, QStringLiteral("scav"), true, false, false);
    EXPECT_EQ(text("Frame3"), QStringLiteral("Articoli Associati"));
    EXPECT_TRUE(shown("lblsub"));

    textSearch(1, QStringLiteral("scav"), true, false, true);
    EXPECT_EQ(text("Frame3"), QStringLiteral("Risultato Articoli"));
    EXPECT_FALSE(shown("lblsub"));
    EXPECT_TRUE(shown("lblsub1"));
    EXPECT_TRUE(shown("lnlsub"));

    textSearch(1, QStringLiteral("scav"), false, true, false);
    EXPECT_TRUE(shown("lblsub"));
    EXPECT_FALSE(shown("lblsub1"));
    EXPECT_FALSE(shown("lnlsub"));
}

namespace {

// 33,000 subarticles whose descriptions all contain "di": more rows than a 16-bit counter can number.
fixture::Tables largeTables()
{
    fixture::Tables tables;
    for (int i = 0; i < 33000; ++i) {
        fixture::Row r;
        r.sequenza = i + 1;
        const int chapter = i / 100;
        r.capitolo_codice =
            QStringLiteral("%1%2").arg(QChar(u'A' + chapter / 100)).arg(chapter % 100, 2, 10, QLatin1Char('0'));
        r.seq_capitolo = chapter + 1;
        r.capitolo = QStringLiteral("Capitolo di prova %1").arg(chapter);
        r.articolo_codice = QStringLiteral("A%1").arg(i / 10 % 10, 2, 10, QLatin1Char('0'));
        r.articolo = QStringLiteral("Articolo di prova %1").arg(i / 10);
        r.subarticolo_codice = QStringLiteral("%1").arg(i % 10 * 10 + 10, 3, 10, QLatin1Char('0'));
        r.subarticolo = QStringLiteral("Subarticolo di prova %1").arg(i);
        tables.rows << r;
    }
    return tables;
}

struct LargeList : SearchSession
{
    LargeList() : SearchSession(largeTables()) {}
};

} // namespace

TEST_F(LargeList, wholeListSearchForACommonWordListsEveryRow)
{
    textSearch(0, QStringLiteral("di"), true, true, true);
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_EQ(lstCapitoli->Count(), 330);
    EXPECT_EQ(lstArticoli->Count(), 3300);
    EXPECT_EQ(lstSubarticoli->Count(), 33000);
    EXPECT_EQ(lstSubarticoli->Key(32999), QStringLiteral("k32999"));
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k32999"), 1), QStringLiteral("Subarticolo di prova 32999"));
    EXPECT_EQ(text("lblcontSub"), counter(33000));

    // A repeated run empties every row first: the keys start again from k0.
    textSearch(0, QStringLiteral("prova 3299"), false, false, true);
    EXPECT_EQ(column(lstSubarticoli).size(), 11);
    EXPECT_EQ(lstSubarticoli->Key(0), QStringLiteral("k0"));
}
