// Trova as a user drives it: Ctrl+K, typing, the filters, Enter, Up and Escape. What the words find is the
// library's, tested there; here the window must show that, follow each key and open the item chosen.
#include "core/AppState.h"
#include "app/Application.h"
#include "core/Find.h"
#include "ui/MDIForm1.h"
#include "ui/ReportList.h"
#include "tests/support/SearchList.h"
#include "search/frmCerca.h"
#include "consultation/frmPrincipale.h"
#include "search/frmTrova.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

struct Trova : ::testing::Test
{
    fixture::PriceListFolder folder{fixture::searchTables()};
    core::AppState state;
    app::Application prezzario{state};
    search::frmTrova* window = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(prezzario.startUp(folder.folder()));
        prezzario.mainWindow().show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&prezzario.mainWindow()));
        QTest::keyClick(&prezzario.mainWindow(), Qt::Key_K, Qt::ControlModifier);
        window = &prezzario.trova();
        ASSERT_TRUE(window->isVisible());
        settle();
    }

    void TearDown() override
    {
        prezzario.consultazione().close();
        window->close();
    }

    template <typename Widget>
    Widget* child(const char* name)
    {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }

    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isBusy(); }, 10000));
        QApplication::processEvents();
    }

    // The codes the list shows, in its order.
    QStringList listed()
    {
        settle();
        const auto* list = child<ui::ReportList>("lstTrovati");
        QStringList codes;
        for (qsizetype row = 0; row < list->Count(); ++row)
            codes << list->SubItem(ui::ReportList::keyFor(row), 0);
        return codes;
    }

    // What the library finds for the same text and section.
    QStringList expected(const QString& typed, const QString& section = {})
    {
        const core::PriceList list = core::PriceList::open(folder.database());
        const auto index = core::FindIndex::build(list);
        const auto found = index->find(core::parseFindText(typed), core::FindFilter{section, {}, {}, {}});
        QStringList codes;
        for (const std::int32_t item : found.value())
            codes << index->code(item);
        return codes;
    }
};

} // namespace

TEST_F(Trova, theListFollowsEachKeyAndTheFiltersApplyAtOnce)
{
    auto* box = child<QLineEdit>("txtTrova");
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_EQ(listed(), QStringList()); // nothing typed, nothing listed

    // Each key searches; the list ends on what the whole text finds, whatever the order searches ended in.
    const QString typed = QStringLiteral("scavo sez");
    for (qsizetype i = 0; i < typed.size(); ++i) {
        QTest::keyClick(box, typed[i].toLatin1());
        if (i % 3 == 0) {
            EXPECT_EQ(listed(), expected(typed.left(i + 1))) << typed.left(i + 1).toStdString();
        }
    }
    EXPECT_EQ(listed(), expected(typed));
    EXPECT_EQ(listed().size(), 2);
    EXPECT_EQ(child<QLabel>("lblTrovati")->text(), QStringLiteral("2 voci"));
    EXPECT_TRUE(child<QTextBrowser>("txtDettaglio")->toPlainText().contains(QStringLiteral("Scavi e movimenti di terra")));

    box->setText(QStringLiteral("scavo"));
    auto* sections = child<QComboBox>("cmbTrovaSezione");
    EXPECT_EQ(sections->itemText(0), QStringLiteral("Tutte le sezioni"));
    sections->setCurrentIndex(sections->findData(QStringLiteral("02")));
    EXPECT_EQ(listed(), expected(QStringLiteral("scavo"), QStringLiteral("02")));

    // A price that is not one is marked in its box and leaves the list as it was, with no message.
    auto* from = child<QLineEdit>("txtPrezzoMin");
    QTest::keyClicks(from, QStringLiteral("1x"));
    EXPECT_EQ(listed(), expected(QStringLiteral("scavo"), QStringLiteral("02")));
    EXPECT_FALSE(from->styleSheet().isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    from->setText(QStringLiteral("13,5"));
    EXPECT_EQ(listed(), QStringList());
    EXPECT_TRUE(from->styleSheet().isEmpty());

    // Reopened, the window keeps its filters; the box starts empty.
    window->close();
    window->showFromMenu();
    settle();
    EXPECT_EQ(child<QComboBox>("cmbTrovaSezione")->currentData().toString(), QStringLiteral("02"));
    EXPECT_EQ(child<QLineEdit>("txtPrezzoMin")->text(), QStringLiteral("13,5"));
    EXPECT_TRUE(box->text().isEmpty());
}

TEST_F(Trova, enterOrTheButtonOpensTheItemUpRecallsAndEscapeClearsThenCloses)
{
    child<QComboBox>("cmbTrovaSezione")->setCurrentIndex(0);
    child<QLineEdit>("txtPrezzoMin")->clear();
    auto* box = child<QLineEdit>("txtTrova");
    QTest::keyClicks(box, QStringLiteral("laterizio 30"));
    ASSERT_EQ(listed(), QStringList{QStringLiteral("01.A03.A05.020")});

    // Enter in the box goes to the list; Enter there opens the item in Consultazione.
    QTest::keyClick(box, Qt::Key_Return);
    auto* list = child<ui::ReportList>("lstTrovati");
    EXPECT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Return);
    auto* subarticles = prezzario.consultazione().findChild<ui::ReportList*>(QStringLiteral("lstSubarticoli"));
    ASSERT_TRUE(prezzario.consultazione().isVisible());
    EXPECT_EQ(subarticles->SelectedText(), QStringLiteral("01.A03.A05.020"));
    // So does the button, for the one item found as for many.
    prezzario.consultazione().close();
    QTest::mouseClick(child<QPushButton>("cmdConsultazione"), Qt::LeftButton);
    EXPECT_TRUE(prezzario.consultazione().isVisible());

    // The text searched comes back with Up, the one being typed with Down.
    box->setFocus();
    box->setText(QStringLiteral("malta"));
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->text(), QStringLiteral("laterizio 30"));
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->text(), QStringLiteral("malta"));

    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    // Ctrl+K from another window.
    prezzario.consultazione().close();
    QWidget& ricerca = prezzario.ricerca();
    prezzario.ricerca().showFromMenu();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ricerca));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(window->focusWidget(), box);
    ricerca.close();
}
