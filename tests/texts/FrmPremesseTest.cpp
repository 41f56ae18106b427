#include "texts/frmPremesse.h"

#include "core/AppState.h"
#include "tests/support/Fixture.h"
#include "ui/MDIForm1.h"
#include "ui/MessageBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

const QString kPrefazione = QStringLiteral("Prefazione Prezzario");
const QString kNotaGenerale = QStringLiteral("Nota metodologica - Premessa generale");
const QString kNotaPrima = QStringLiteral("Nota metodologica - Dettaglio-parte prima");
const QString kNotaSeconda = QStringLiteral("Nota metodologica - Dettaglio-parte seconda");
const QString kSezione21 = QStringLiteral("21 - Ingegneria Naturalistico e Recupero Ambientale");
const QString kSezione24 = QStringLiteral("24 - Agricoltura");

const QString kTestoPrefazione = QStringLiteral("Prefazione del prezzario 2021: l'opera è completa.");
const QString kTesto01 = QStringLiteral("Premessa della sezione 01\nsu due righe");
const QString kTesto20 = QStringLiteral("Premessa della sezione 20");
const QString kTesto21 = QStringLiteral("Premessa della sezione 21");
const QString kTesto24 = QStringLiteral("Premessa della sezione 24");
const QString kTestoApice = QStringLiteral("Testo della chiave apice");

fixture::Row subarticle(qint64 sequenza, const QString& codice, const QString& sezione, const QString& sub = {})
{
    fixture::Row row;
    row.sequenza = sequenza;
    row.sezione_codice = codice;
    row.sezione = sezione;
    if (!sub.isEmpty())
        row.subarticolo_codice = sub;
    return row;
}

// Sections stored out of code order, one of them on two rows; 05 has no introduction, 23 a Null one.
QList<fixture::Row> standardRows()
{
    return {subarticle(1, QStringLiteral("20"), QStringLiteral("Opere stradali")),
            subarticle(2, QStringLiteral("20"), QStringLiteral("Opere stradali"), QStringLiteral("020")),
            subarticle(3, QStringLiteral("05"), QStringLiteral("Impianti elettrici")),
            subarticle(4, QStringLiteral("23"), QStringLiteral("Opere marittime")),
            subarticle(5, QStringLiteral("01"), QStringLiteral("Opere edili"))};
}

QString standardPremesse()
{
    return QStringLiteral("codice_sezione,premessa,premessa2,premessa3\n") + QStringLiteral("\"Prefazione\",") +
           fixture::csvField(kTestoPrefazione) +
           QStringLiteral(",,\n"
                          "\"Premessa\",\"Nota generale\",\"Dettaglio prima parte\",\"Dettaglio seconda parte\"\n"
                          "\"01\",") +
           fixture::csvField(kTesto01) +
           QStringLiteral(",,\n"
                          "\"20\",\"Premessa della sezione 20\",,\n"
                          "\"21\",\"Premessa della sezione 21\",,\n"
                          "\"23\",,,\n"
                          "\"24\",\"Premessa della sezione 24\",,\n"
                          "\"'\",\"Testo della chiave apice\",,\n");
}

fixture::Tables standardTables()
{
    fixture::Tables tables;
    tables.rows = standardRows();
    tables.premesse = standardPremesse();
    return tables;
}

// The main window over a freshly built price list, and the preface window it opens.
struct PrefaceSession
{
    explicit PrefaceSession(const fixture::Tables& tables = standardTables()) : folder(tables)
    {
        main.MDIForm_Load(folder.folder());
        main.show();
        ui::MessageBox::clearRecorded();
    }

    QComboBox* combo() const { return window.findChild<QComboBox*>(QStringLiteral("cmbSezioni")); }
    QLineEdit* edit() const { return combo()->lineEdit(); }
    QString text() const { return window.findChild<QPlainTextEdit*>(QStringLiteral("txtPremessa"))->toPlainText(); }

    QStringList entries() const
    {
        QStringList items;
        for (int i = 0; i < combo()->count(); ++i)
            items << combo()->itemText(i);
        return items;
    }

    // Opens the list and chooses the entry with the keyboard, as a user does.
    void pick(const QString& entry)
    {
        const int row = combo()->findText(entry);
        ASSERT_GE(row, 0) << entry.toStdString();
        combo()->showPopup();
        combo()->view()->setCurrentIndex(combo()->model()->index(row, 0));
        QTest::keyClick(combo()->view(), Qt::Key_Return);
        ASSERT_FALSE(combo()->view()->isVisible());
    }

    void type(const QString& ascii) { QTest::keyClicks(edit(), ascii); }

    void erase()
    {
        QTest::keyClick(edit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit(), Qt::Key_Backspace);
    }

    fixture::PriceListFolder folder;
    core::AppState state;
    ui::MDIForm1 main{state};
    texts::frmPremesse window{state, &main};
};

} // namespace

TEST(PrefaceWindow, opensEmptyWithThePrefaceTheNotesAndTheSectionsInCodeOrder)
{
    PrefaceSession session;
    session.window.showFromMenu();
    EXPECT_EQ(session.window.windowTitle(), QStringLiteral("Prefazione e Premesse"));
    EXPECT_EQ(session.entries(),
              (QStringList{kPrefazione, kNotaGenerale, kNotaPrima, kNotaSeconda, QStringLiteral("01 - Opere edili"),
                           QStringLiteral("05 - Impianti elettrici"), QStringLiteral("20 - Opere stradali"), kSezione21,
                           QStringLiteral("23 - Opere marittime"), kSezione24}));
    EXPECT_EQ(session.combo()->currentIndex(), -1);
    EXPECT_TRUE(session.combo()->currentText().isEmpty());
    EXPECT_TRUE(session.text().isEmpty());
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
}

TEST(PrefaceWindow, sections21And24FollowOnlySections20And23)
{
    fixture::Tables tables;
    tables.rows = {subarticle(1, QStringLiteral("02"), QStringLiteral("Restauro")),
                   subarticle(2, QStringLiteral("21"), QStringLiteral("Verde pubblico")),
                   subarticle(3, QStringLiteral("22"), QStringLiteral("Acquedotti"))};
    tables.premesse = standardPremesse();
    PrefaceSession session(tables);
    session.window.showFromMenu();
    EXPECT_EQ(session.entries(),
              (QStringList{kPrefazione, kNotaGenerale, kNotaPrima, kNotaSeconda, QStringLiteral("02 - Restauro"),
                           QStringLiteral("21 - Verde pubblico"), QStringLiteral("22 - Acquedotti")}));
}

TEST(PrefaceWindow, aSectionOfThePriceList21IsListedTwice)
{
    fixture::Tables tables;
    tables.rows = {subarticle(1, QStringLiteral("20"), QStringLiteral("Opere stradali")),
                   subarticle(2, QStringLiteral("21"), QStringLiteral("Verde pubblico"))};
    tables.premesse = standardPremesse();
    PrefaceSession session(tables);
    session.window.showFromMenu();
    EXPECT_EQ(session.entries().mid(4),
              (QStringList{QStringLiteral("20 - Opere stradali"), kSezione21, QStringLiteral("21 - Verde pubblico")}));
}

TEST(PrefaceWindow, theTextCannotBeEdited)
{
    PrefaceSession session;
    session.window.showFromMenu();
    EXPECT_TRUE(session.window.findChild<QPlainTextEdit*>(QStringLiteral("txtPremessa"))->isReadOnly());
}

TEST(PrefaceWindow, theMainWindowIsDisabledWhileOpenAndEnabledAfterClosing)
{
    PrefaceSession session;
    ASSERT_TRUE(session.main.isEnabled());
    session.window.showFromMenu();
    EXPECT_FALSE(session.main.isEnabled());
    EXPECT_TRUE(session.window.isVisible());
    EXPECT_TRUE(session.window.isWindow());
    EXPECT_EQ(session.window.parentWidget(), nullptr);
    EXPECT_TRUE(session.window.isEnabled());

    session.pick(kPrefazione);
    EXPECT_EQ(session.text(), kTestoPrefazione);

    EXPECT_TRUE(session.window.close());
    EXPECT_FALSE(session.window.isVisible());
    EXPECT_TRUE(session.main.isEnabled());
}

TEST(PrefaceWindow, reopeningStartsFromAnEmptyWindow)
{
    PrefaceSession session;
    session.window.showFromMenu();
    const QStringList first = session.entries();
    session.pick(QStringLiteral("20 - Opere stradali"));
    session.type(QStringLiteral("x"));
    ASSERT_EQ(session.text(), kTesto20);
    session.window.close();

    session.window.showFromMenu();
    EXPECT_EQ(session.entries(), first);
    EXPECT_TRUE(session.combo()->currentText().isEmpty());
    EXPECT_EQ(session.combo()->currentIndex(), -1);
    EXPECT_TRUE(session.text().isEmpty());
    EXPECT_FALSE(session.main.isEnabled());
}

TEST(PrefaceChoice, thePrefaceAndEachSectionShowTheirOwnText)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(kPrefazione);
    EXPECT_EQ(session.text(), kTestoPrefazione);
    EXPECT_EQ(session.combo()->currentText(), kPrefazione);
    session.pick(QStringLiteral("01 - Opere edili"));
    EXPECT_EQ(session.text(), kTesto01);
    session.pick(QStringLiteral("20 - Opere stradali"));
    EXPECT_EQ(session.text(), kTesto20);
    session.pick(kSezione21);
    EXPECT_EQ(session.text(), kTesto21);
    session.pick(kSezione24);
    EXPECT_EQ(session.text(), kTesto24);
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
}

TEST(PrefaceChoice, theThreeMethodologicalNotesShowTheThreeTextsOfPremessa)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(kNotaGenerale);
    EXPECT_EQ(session.text(), QStringLiteral("Nota generale"));
    session.pick(kNotaPrima);
    EXPECT_EQ(session.text(), QStringLiteral("Dettaglio prima parte"));
    session.pick(kNotaSeconda);
    EXPECT_EQ(session.text(), QStringLiteral("Dettaglio seconda parte"));
}

TEST(PrefaceChoice, aSectionWithoutRowOrWithANullTextEmptiesTheText)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(QStringLiteral("01 - Opere edili"));
    ASSERT_EQ(session.text(), kTesto01);
    session.pick(QStringLiteral("05 - Impianti elettrici"));
    EXPECT_TRUE(session.text().isEmpty());

    session.pick(QStringLiteral("01 - Opere edili"));
    ASSERT_EQ(session.text(), kTesto01);
    session.pick(QStringLiteral("23 - Opere marittime"));
    EXPECT_TRUE(session.text().isEmpty());
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
}

TEST(PrefaceChoice, aMissingPrefaceOrNoteEmptiesTheTextWithoutAMessage)
{
    fixture::Tables tables;
    tables.rows = standardRows();
    tables.premesse = QStringLiteral("codice_sezione,premessa,premessa2,premessa3\n"
                                     "\"01\",\"Premessa della sezione 01\",,\n");
    PrefaceSession session(tables);
    session.window.showFromMenu();
    for (const QString& entry : {kPrefazione, kNotaGenerale, kNotaPrima, kNotaSeconda}) {
        session.pick(QStringLiteral("01 - Opere edili"));
        ASSERT_FALSE(session.text().isEmpty());
        session.pick(entry);
        EXPECT_TRUE(session.text().isEmpty()) << entry.toStdString();
    }
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
}

TEST(PrefaceChoice, aNullPrefaceOrNoteTextEmptiesTheText)
{
    fixture::Tables tables;
    tables.rows = standardRows();
    tables.premesse = QStringLiteral("codice_sezione,premessa,premessa2,premessa3\n"
                                     "\"Prefazione\",,,\n"
                                     "\"Premessa\",\"Nota generale\",,\"\"\n"
                                     "\"01\",\"Premessa della sezione 01\",,\n");
    PrefaceSession session(tables);
    session.window.showFromMenu();
    for (const QString& entry : {kPrefazione, kNotaPrima, kNotaSeconda}) {
        session.pick(QStringLiteral("01 - Opere edili"));
        ASSERT_FALSE(session.text().isEmpty());
        session.pick(entry);
        EXPECT_TRUE(session.text().isEmpty()) << entry.toStdString();
    }
    session.pick(kNotaGenerale);
    EXPECT_EQ(session.text(), QStringLiteral("Nota generale"));
}

TEST(PrefaceChoice, pickingAgainAfterTypingShowsTheEntryAgain)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(QStringLiteral("01 - Opere edili"));
    session.erase();
    session.type(QStringLiteral("9"));
    ASSERT_TRUE(session.text().isEmpty());
    session.pick(QStringLiteral("01 - Opere edili"));
    EXPECT_EQ(session.text(), kTesto01);
    EXPECT_EQ(session.combo()->currentText(), QStringLiteral("01 - Opere edili"));
}

TEST(PrefaceChoice, theMouseWheelOverTheClosedListChoosesNothing)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(QStringLiteral("01 - Opere edili"));
    // Over the arrow, where the combo itself receives the wheel.
    const QPointF arrow(session.combo()->width() - 5, session.combo()->height() / 2);
    QWheelEvent wheel(arrow, session.combo()->mapToGlobal(arrow), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(session.combo(), &wheel);
    EXPECT_EQ(session.combo()->currentText(), QStringLiteral("01 - Opere edili"));
    EXPECT_EQ(session.text(), kTesto01);
}

TEST(PrefaceTyping, deletingTheTextLeavesTheShownText)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(QStringLiteral("20 - Opere stradali"));
    session.erase();
    EXPECT_TRUE(session.combo()->currentText().isEmpty());
    EXPECT_EQ(session.combo()->currentIndex(), -1);
    EXPECT_EQ(session.text(), kTesto20);
}

TEST(PrefaceTyping, aSectionShowsAsSoonAsTwoTypedCharactersFormItsCode)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(kPrefazione);
    session.erase();
    ASSERT_EQ(session.text(), kTestoPrefazione);

    session.type(QStringLiteral("2"));
    EXPECT_TRUE(session.text().isEmpty());
    session.type(QStringLiteral("0"));
    EXPECT_EQ(session.text(), kTesto20);
    session.type(QStringLiteral(" - qualunque"));
    EXPECT_EQ(session.text(), kTesto20);
    EXPECT_EQ(session.combo()->currentText(), QStringLiteral("20 - qualunque"));
}

TEST(PrefaceTyping, typingAfterAPickKeepsTheTypedTextAndForgetsThePick)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(QStringLiteral("01 - Opere edili"));
    session.type(QStringLiteral("x"));
    EXPECT_EQ(session.combo()->currentText(), QStringLiteral("01 - Opere edilix"));
    EXPECT_EQ(session.combo()->currentIndex(), -1);
    EXPECT_EQ(session.text(), kTesto01);
    session.type(QStringLiteral("y"));
    EXPECT_EQ(session.combo()->currentText(), QStringLiteral("01 - Opere edilixy"));
}

TEST(PrefaceTyping, typedPrefaceCaptionFindsNothingAndEnterChoosesNothing)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(QStringLiteral("01 - Opere edili"));
    session.erase();
    session.type(kPrefazione);
    EXPECT_TRUE(session.text().isEmpty());

    QTest::keyClick(session.edit(), Qt::Key_Return);
    EXPECT_TRUE(session.text().isEmpty());
    EXPECT_EQ(session.combo()->currentText(), kPrefazione);
    EXPECT_EQ(session.combo()->currentIndex(), -1);
}

TEST(PrefaceTyping, typedQuotesStayInsideTheQuery)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.type(QStringLiteral("'"));
    EXPECT_EQ(session.text(), kTestoApice);
    session.erase();
    session.type(QStringLiteral("0'"));
    EXPECT_TRUE(session.text().isEmpty());
    session.erase();
    session.type(QStringLiteral("''"));
    EXPECT_TRUE(session.text().isEmpty());
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
}

TEST(PrefaceFailure, anEngineFailureIsReportedAndTheWindowStaysUsable)
{
    PrefaceSession session;
    session.window.showFromMenu();
    session.pick(kPrefazione);
    session.state.priceList.close();

    session.pick(QStringLiteral("01 - Opere edili"));
    session.type(QStringLiteral("x"));
    ASSERT_EQ(ui::MessageBox::recorded().size(), 2);
    EXPECT_EQ(ui::MessageBox::recorded().first().title, QStringLiteral("Prezziario"));
    EXPECT_FALSE(ui::MessageBox::recorded().first().text.isEmpty());
    EXPECT_TRUE(session.window.isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    session.state.priceList = core::PriceList(session.folder.open());
    session.pick(QStringLiteral("01 - Opere edili"));
    EXPECT_EQ(session.text(), kTesto01);
    session.window.close();
    EXPECT_TRUE(session.main.isEnabled());
}

TEST(PrefaceFailure, aFailedLoadStillLetsTheUserCloseAndGetTheMainWindowBack)
{
    PrefaceSession session;
    session.state.priceList.close();
    session.window.showFromMenu();
    ASSERT_EQ(ui::MessageBox::recorded().size(), 1);
    EXPECT_TRUE(session.window.isVisible());
    EXPECT_FALSE(session.main.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    session.window.close();
    EXPECT_TRUE(session.main.isEnabled());
}

TEST(PrefaceWindow, escapeClosesItAndGivesTheMainWindowBack)
{
    PrefaceSession session;
    session.window.showFromMenu();
    QApplication::setActiveWindow(&session.window);
    ASSERT_FALSE(session.main.isEnabled());
    QTest::keyClick(session.edit(), Qt::Key_Escape);
    EXPECT_FALSE(session.window.isVisible());
    EXPECT_TRUE(session.main.isEnabled());
}
