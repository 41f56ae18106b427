// Voci scelte kept open beside the windows the user collects from: it leaves the main window alone, and the
// main window is given back when the last window that holds it closes, whichever closes first.
#include "core/AppState.h"
#include "app/Application.h"
#include "tests/support/SearchList.h"
#include "ui/MDIForm1.h"
#include "ui/ReportList.h"
#include "search/frmCerca.h"
#include "search/frmTrova.h"
#include "texts/frmPremesse.h"
#include "collection/frmVociScelte.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

struct Beside : ::testing::Test
{
    fixture::PriceListFolder folder{fixture::searchTables()};
    core::AppState state;
    app::Application prezzario{state};

    void SetUp() override
    {
        ASSERT_TRUE(prezzario.startUp(folder.folder()));
        prezzario.mainWindow().show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&prezzario.mainWindow()));
    }

    // A key where a user's key goes: the active window's focus widget, else the window.
    static void type(int key, Qt::KeyboardModifiers modifiers)
    {
        QWidget* window = QApplication::activeWindow();
        ASSERT_NE(window, nullptr);
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key(key), modifiers);
    }

    static QStringList codesShown(QWidget& vociScelte)
    {
        const QAbstractItemModel& model = *vociScelte.findChild<QTableView*>(QStringLiteral("lstVociScelte"))->model();
        QStringList codes;
        for (int row = 0; row < model.rowCount(); ++row)
            codes << model.index(row, 0).data().toString();
        return codes;
    }
};

} // namespace

TEST_F(Beside, vociScelteStaysOpenWhileTrovaOpensFromItAndTakesTheItemsAddedThere)
{
    QWidget& main = prezzario.mainWindow();
    collection::frmVociScelte& voci = prezzario.vociScelte();
    type(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&voci));
    EXPECT_TRUE(main.isEnabled());

    type(Qt::Key_K, Qt::ControlModifier);
    search::frmTrova& trova = prezzario.trova();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&trova));
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(voci.isVisible());
    EXPECT_TRUE(voci.isEnabled());

    QTest::keyClicks(trova.findChild<QLineEdit*>(QStringLiteral("txtTrova")), QStringLiteral("laterizio 30"));
    auto* found = trova.findChild<ui::ReportList*>(QStringLiteral("lstTrovati"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !trova.isBusy() && found->Count() == 1; }, 10000));
    type(Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(codesShown(voci).contains(found->SelectedText())) << "shown as soon as it is added";

    type(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&voci));
    EXPECT_TRUE(trova.isVisible());

    trova.close();
    EXPECT_TRUE(main.isEnabled());
    EXPECT_TRUE(voci.isVisible());
    voci.close();
    EXPECT_TRUE(main.isEnabled());
}

// Sessions of windows opened (+) and closed (-), with whether the main window's menu is in reach after each step.
TEST_F(Beside, theMainWindowComesBackWhenTheLastWindowHoldingItCloses)
{
    struct Window
    {
        std::function<void()> open;
        std::function<QWidget&()> get;
    };
    const std::map<std::string, Window> windows = {
        {"Voci scelte",
         {[&] { prezzario.vociScelte().showFromMenu(); }, [&]() -> QWidget& { return prezzario.vociScelte(); }}},
        {"Ricerca", {[&] { prezzario.ricerca().showFromMenu(); }, [&]() -> QWidget& { return prezzario.ricerca(); }}},
        {"Trova", {[&] { prezzario.trova().showFromMenu(); }, [&]() -> QWidget& { return prezzario.trova(); }}},
        {"Premesse",
         {[&] { prezzario.premesse().showFromMenu(); }, [&]() -> QWidget& { return prezzario.premesse(); }}},
    };
    struct Step
    {
        char change;
        const char* window;
        bool menuInReach;
    };
    const struct
    {
        const char* session;
        std::vector<Step> steps;
    } cases[] = {
        {"Voci scelte closes first",
         {{'+', "Voci scelte", true}, {'+', "Ricerca", false}, {'-', "Voci scelte", false}, {'-', "Ricerca", true}}},
        {"Ricerca closes first",
         {{'+', "Ricerca", false}, {'+', "Voci scelte", false}, {'-', "Ricerca", true}, {'-', "Voci scelte", true}}},
        {"two holding windows",
         {{'+', "Voci scelte", true},
          {'+', "Ricerca", false},
          {'+', "Trova", false},
          {'-', "Ricerca", false},
          {'-', "Trova", true},
          {'-', "Voci scelte", true}}},
        {"Premesse, then Trova and Voci scelte from it",
         {{'+', "Premesse", false},
          {'+', "Trova", false},
          {'-', "Trova", false},
          {'+', "Voci scelte", false},
          {'-', "Voci scelte", false},
          {'-', "Premesse", true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.session);
        for (const Step& step : c.steps) {
            const Window& window = windows.at(step.window);
            if (step.change == '+')
                window.open();
            else
                window.get().close();
            EXPECT_EQ(prezzario.mainWindow().isEnabled(), step.menuInReach) << step.change << step.window;
            EXPECT_TRUE(prezzario.vociScelte().isEnabled());
        }
    }
}

TEST_F(Beside, closingTheMainWindowClosesVociScelteWithIt)
{
    prezzario.vociScelte().showFromMenu();
    EXPECT_TRUE(prezzario.mainWindow().close());
    EXPECT_FALSE(prezzario.vociScelte().isVisible());
    EXPECT_FALSE(state.priceList.isOpen());
}
