#include "core/AppState.h"
#include "tests/support/Fixture.h"
#include "ui/MessageBox.h"
#include "ui/ReportList.h"
#include "consultation/frmPrincipale.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using ui::ReportList;
using fixture::Row;

namespace {

Row row(qint64 sequenza, const QString& section, const QString& chapter, qint64 seqCapitolo, const QString& article,
        const QString& sub)
{
    Row r;
    r.sequenza = sequenza;
    r.sezione_codice = section;
    r.sezione = section == u"01" ? QStringLiteral("Opere edili") : QStringLiteral("Sezione ") + section;
    r.capitolo_codice = chapter;
    r.seq_capitolo = seqCapitolo;
    r.capitolo = QStringLiteral("Capitolo ") + chapter;
    r.articolo_codice = article;
    r.articolo = QStringLiteral("Articolo ") + article + QStringLiteral(" dell'opera");
    r.subarticolo_codice = sub;
    r.subarticolo = QStringLiteral("Subarticolo ") + sub + QStringLiteral(" perché è così");
    return r;
}

// Section 01: chapter B01 comes before A01 in the list; A01 appears twice with two descriptions; the first
// chapter row has no section note while a later one has. Section 02 has notes everywhere.
fixture::Tables consultationTables()
{
    QList<Row> rows;
    Row b01 = row(1, QStringLiteral("01"), QStringLiteral("B01"), 1, QStringLiteral("A01"), QStringLiteral("010"));
    b01.note_capitolo = QStringLiteral("Nota del capitolo B01");
    b01.note_articolo = QStringLiteral("Nota dell'articolo B01.A01");
    rows << b01;
    Row nullPrice = row(2, QStringLiteral("01"), QStringLiteral("B01"), 1, QStringLiteral("A01"), QStringLiteral("020"));
    nullPrice.note_articolo = b01.note_articolo;
    nullPrice.note_capitolo = b01.note_capitolo;
    nullPrice.prezzo_lordo.reset();
    nullPrice.incidenza_manodopera.reset();
    nullPrice.somma_manodopera.reset();
    rows << nullPrice;
    Row b01b = row(3, QStringLiteral("01"), QStringLiteral("B01"), 1, QStringLiteral("B02"), QStringLiteral("010"));
    b01b.note_capitolo = b01.note_capitolo;
    rows << b01b;
    Row a01 = row(4, QStringLiteral("01"), QStringLiteral("A01"), 2, QStringLiteral("A01"), QStringLiteral("010"));
    a01.note_sezione = QStringLiteral("Nota di sezione su una riga successiva");
    rows << a01;
    Row a01bis = row(5, QStringLiteral("01"), QStringLiteral("A01"), 3, QStringLiteral("A02"), QStringLiteral("010"));
    a01bis.capitolo = QStringLiteral("Un altro capitolo con lo stesso codice");
    a01bis.note_sezione = a01.note_sezione;
    rows << a01bis;
    Row s02 = row(6, QStringLiteral("02"), QStringLiteral("A01"), 4, QStringLiteral("A01"), QStringLiteral("010"));
    s02.note_sezione = QStringLiteral("Note della sezione 02");
    rows << s02;
    // The same codes in another section must not leak into section 01's lookups.
    Row a01Elsewhere = s02;
    a01Elsewhere.sequenza = 7;
    a01Elsewhere.subarticolo_codice = QStringLiteral("020");
    rows << a01Elsewhere;
    return {rows};
}

struct Consultation : ::testing::Test
{
    fixture::PriceListFolder folder{consultationTables()};
    core::AppState state;
    QWidget mainWindow;
    std::unique_ptr<consultation::frmPrincipale> window;

    QComboBox* cmbSezioni = nullptr;
    ReportList* lst_Capitoli = nullptr;
    ReportList* lst_Articoli = nullptr;
    ReportList* lstSubarticoli = nullptr;

    void SetUp() override
    {
        ui::MessageBox::clearRecorded();
        state.priceList = core::PriceList(folder.open());
        mainWindow.show();
        window = std::make_unique<consultation::frmPrincipale>(state, &mainWindow);
        window->showFromMenu();
        QApplication::setActiveWindow(window.get());
        cmbSezioni = window->findChild<QComboBox*>(QStringLiteral("cmbSezioni"));
        lst_Capitoli = window->findChild<ReportList*>(QStringLiteral("lst_Capitoli"));
        lst_Articoli = window->findChild<ReportList*>(QStringLiteral("lst_Articoli"));
        lstSubarticoli = window->findChild<ReportList*>(QStringLiteral("lstSubarticoli"));
    }

    QString box(const char* name) const
    {
        if (auto* line = window->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return line->text();
        return window->findChild<QPlainTextEdit*>(QString::fromLatin1(name))->toPlainText();
    }

    // The user opens the combo and picks an entry.
    void pickSection(int index)
    {
        cmbSezioni->setCurrentIndex(index);
        emit cmbSezioni->activated(index);
    }

    void clickRow(ReportList* list, qsizetype row)
    {
        QApplication::processEvents(); // the list shows its new rows once the handler returns
        const QRect rect = list->visualRect(list->model()->index(static_cast<int>(row), 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    static QStringList texts(const ReportList* list, int column = 0)
    {
        QStringList out;
        for (qsizetype i = 0; i < list->Count(); ++i)
            out << list->SubItem(list->Key(i), column);
        return out;
    }
};

} // namespace

TEST_F(Consultation, opensEmptyWithTheMainWindowDisabled)
{
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Consultazione"));
    EXPECT_EQ(cmbSezioni->count(), 2);
    EXPECT_EQ(cmbSezioni->itemText(0), QStringLiteral("01 - Opere edili"));
    EXPECT_EQ(cmbSezioni->currentText(), QString());
    EXPECT_EQ(QApplication::focusWidget(), cmbSezioni);
    EXPECT_EQ(lst_Capitoli->Count(), 0);

    pickSection(0);
    clickRow(lst_Capitoli, 0);
    window->close();
    EXPECT_TRUE(mainWindow.isEnabled());

    // A new showing starts again from an empty window.
    window->showFromMenu();
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_EQ(cmbSezioni->currentText(), QString());
    EXPECT_EQ(cmbSezioni->count(), 2);
    EXPECT_EQ(lst_Capitoli->Count(), 0);
    EXPECT_EQ(lst_Articoli->Count(), 0);
    EXPECT_EQ(box("txtCapSel"), QString());
    window->close();
}

TEST_F(Consultation, sectionListsItsChaptersInListOrderWithTheFirstRowsNote)
{
    pickSection(0);
    EXPECT_EQ(texts(lst_Capitoli), (QStringList{QStringLiteral("01.B01"), QStringLiteral("01.A01"),
                                               QStringLiteral("01.A01")}));
    EXPECT_EQ(texts(lst_Capitoli, 1), (QStringList{QStringLiteral("Capitolo B01"), QStringLiteral("Capitolo A01"),
                                                  QStringLiteral("Un altro capitolo con lo stesso codice")}));
    EXPECT_EQ(lst_Capitoli->Key(2), QStringLiteral("k2"));
    // The first chapter row carries no section note: the box stays empty although later rows have one.
    EXPECT_EQ(box("txtSezioneNote"), QString());

    pickSection(1);
    EXPECT_EQ(texts(lst_Capitoli), QStringList{QStringLiteral("02.A01")});
    EXPECT_EQ(box("txtSezioneNote"), QStringLiteral("Note della sezione 02"));
}

TEST_F(Consultation, pickingTheSameSectionAgainRebuildsEverything)
{
    pickSection(0);
    clickRow(lst_Capitoli, 0);
    clickRow(lst_Articoli, 0);
    clickRow(lstSubarticoli, 1);
    ASSERT_EQ(lstSubarticoli->Count(), 2);
    ASSERT_FALSE(box("txtSubarticolo").isEmpty());

    pickSection(0);
    EXPECT_EQ(lst_Capitoli->Count(), 3);
    EXPECT_EQ(lst_Capitoli->SelectedKey(), QStringLiteral("k0"));
    EXPECT_EQ(lst_Articoli->Count(), 0);
    EXPECT_EQ(lstSubarticoli->Count(), 0);
    for (const char* name : {"txtCapSel", "txtArtSel", "txtArticolo", "txtCapitoloNote", "txtArticoloNote",
                             "txtSubarticolo"})
        EXPECT_EQ(box(name), QString()) << name;
}

TEST_F(Consultation, clearingTheSectionTextSelectsTheFirstSection)
{
    pickSection(1);
    QLineEdit* edit = cmbSezioni->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(cmbSezioni->currentText(), QStringLiteral("01 - Opere edili"));
    EXPECT_EQ(lst_Capitoli->Count(), 3);

    // Any other typed text changes nothing until an entry is picked.
    QTest::keyClicks(edit, QStringLiteral("x"));
    EXPECT_EQ(lst_Capitoli->Count(), 3);
}

TEST_F(Consultation, chapterRowListsItsArticlesOnceEachWithKeyAndNote)
{
    pickSection(0);
    clickRow(lst_Capitoli, 0);
    EXPECT_EQ(box("txtCapSel"), QStringLiteral("01.B01"));
    EXPECT_EQ(box("txtCapitoloNote"), QStringLiteral("Nota del capitolo B01"));
    EXPECT_EQ(texts(lst_Articoli), (QStringList{QStringLiteral("01.B01.A01"), QStringLiteral("01.B01.B02")}));
    EXPECT_EQ(texts(lst_Articoli, 1).first(), QStringLiteral("Articolo A01 dell'opera"));
}

TEST_F(Consultation, articleRowListsSubarticlesWithNullSafeFigures)
{
    pickSection(0);
    clickRow(lst_Capitoli, 0);
    clickRow(lst_Articoli, 0);
    EXPECT_EQ(box("txtArtSel"), QStringLiteral("01.B01.A01"));
    EXPECT_EQ(box("txtArticolo"), QStringLiteral("Articolo A01 dell'opera"));
    EXPECT_EQ(box("txtArticoloNote"), QStringLiteral("Nota dell'articolo B01.A01"));
    ASSERT_EQ(lstSubarticoli->Count(), 2);
    const QStringList priced{QStringLiteral("01.B01.A01.010"), QStringLiteral("Subarticolo 010 perché è così"),
                             QStringLiteral("m³"), QStringLiteral("12,5"), QStringLiteral("27,5 %"),
                             QStringLiteral("3,44")};
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k0"), column), priced[column]);
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k1"), 3), QString());
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k1"), 4), QString());
    EXPECT_EQ(lstSubarticoli->SubItem(QStringLiteral("k1"), 5), QString());

    clickRow(lstSubarticoli, 1);
    EXPECT_EQ(box("txtSubarticolo"), QStringLiteral("Subarticolo 020 perché è così"));
}

TEST_F(Consultation, keyboardWalksTheWholeHierarchy)
{
    cmbSezioni->setFocus();
    QTest::keyClick(cmbSezioni, Qt::Key_Down); // the combo's keyboard pick
    pickSection(0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), lst_Capitoli);
    EXPECT_EQ(box("txtCapSel"), QStringLiteral("01.B01"));
    EXPECT_EQ(lst_Articoli->Count(), 2);

    // Arrow keys inside the list refresh the level below, as a click does.
    QTest::keyClick(lst_Capitoli, Qt::Key_Down);
    EXPECT_EQ(box("txtCapSel"), QStringLiteral("01.A01"));
    // Both chapter rows coded A01 select the rows of the key 01.A01.
    EXPECT_EQ(texts(lst_Articoli), (QStringList{QStringLiteral("01.A01.A01"), QStringLiteral("01.A01.A02")}));

    QTest::keyClick(lst_Capitoli, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), lst_Articoli);
    EXPECT_EQ(box("txtArtSel"), QStringLiteral("01.A01.A01"));
    EXPECT_EQ(lstSubarticoli->Count(), 1);
    QTest::keyClick(lst_Articoli, Qt::Key_Down);
    EXPECT_EQ(box("txtArtSel"), QStringLiteral("01.A01.A02"));

    lstSubarticoli->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box("txtSubarticolo"), QStringLiteral("Subarticolo 010 perché è così"));
}

TEST_F(Consultation, typedQuotesInTheSectionTextNeverReachTheEngine)
{
    pickSection(0);
    QLineEdit* edit = cmbSezioni->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("'x"));
    clickRow(lst_Capitoli, 0);
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
    EXPECT_EQ(box("txtCapSel"), QStringLiteral("'x.B01"));
    EXPECT_EQ(lst_Articoli->Count(), 0);
}

TEST_F(Consultation, engineFailureIsShownAndTheWindowStaysUsable)
{
    pickSection(0);
    state.priceList.close();
    lst_Capitoli->setFocus(Qt::OtherFocusReason);
    clickRow(lst_Capitoli, 1);
    ASSERT_EQ(ui::MessageBox::recorded().size(), 1);
    EXPECT_TRUE(ui::MessageBox::recorded().front().text.contains(QStringLiteral("non è aperto")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    state.priceList = core::PriceList(folder.open());
    clickRow(lst_Capitoli, 1);
    EXPECT_EQ(box("txtCapSel"), QStringLiteral("01.A01"));
    EXPECT_EQ(lst_Articoli->Count(), 2);
}

TEST_F(Consultation, informazioniAsksForTheConsultationManual)
{
    QSignalSpy manual(window.get(), &consultation::frmPrincipale::manualeRequested);
    window->findChild<QAction*>(QStringLiteral("mnuInf"))->trigger();
    EXPECT_EQ(manual.count(), 1);
}

TEST(ConsultationSize, sectionWithMoreChaptersThanA16BitCounter)
{
    fixture::Tables tables;
    const int chapters = 33000;
    for (int i = 0; i < chapters; ++i) {
        Row r;
        r.sequenza = i + 1;
        r.seq_capitolo = i + 1;
        r.capitolo_codice = QStringLiteral("%1%2").arg(QChar(u'A' + i / 1000 % 26)).arg(i % 100, 2, 10, QLatin1Char('0'));
        r.articolo_codice = QStringLiteral("%1%2").arg(QChar(u'A' + i / 10000)).arg(i / 100 % 100, 2, 10, QLatin1Char('0'));
        r.capitolo = QStringLiteral("Capitolo numero %1").arg(i);
        tables.rows << r;
    }
    const fixture::PriceListFolder folder(tables);
    core::AppState state;
    state.priceList = core::PriceList(folder.open());
    QWidget mainWindow;
    consultation::frmPrincipale window(state, &mainWindow);
    window.showFromMenu();
    QApplication::setActiveWindow(&window);
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("cmbSezioni"));
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    auto* chaptersList = window.findChild<ReportList*>(QStringLiteral("lst_Capitoli"));
    EXPECT_EQ(chaptersList->Count(), chapters);
    chaptersList->Select(QStringLiteral("k32999"));
    chaptersList->setFocus(Qt::TabFocusReason);
    auto* capSel = window.findChild<QLineEdit*>(QStringLiteral("txtCapSel"));
    EXPECT_EQ(capSel->text(), QStringLiteral("01.") + chaptersList->SubItem(QStringLiteral("k32999"), 0).mid(3));
    EXPECT_TRUE(ui::MessageBox::recorded().isEmpty());
    window.close();
}

TEST_F(Consultation, escapeClosesAndF1OrAltIOpensTheManual)
{
    QSignalSpy manual(window.get(), &consultation::frmPrincipale::manualeRequested);
    QTest::keyClick(window.get(), Qt::Key_F1);
    QTest::keyClick(window.get(), Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(manual.count(), 2);
    QTest::keyClick(cmbSezioni->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
}
