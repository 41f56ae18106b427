#include "core/AppState.h"
#include "app/Application.h"
#include "tests/support/Fixture.h"
#include "ui/MDIForm1.h"
#include "search/frmCerca.h"
#include "texts/frmInfo.h"
#include "texts/frmPremesse.h"
#include "consultation/frmPrincipale.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct Menu : ::testing::Test
{
    fixture::PriceListFolder folder{fixture::Tables{{fixture::Row{}}}};
    core::AppState state;
    app::Application prezzario{state};

    void SetUp() override
    {
        ASSERT_TRUE(prezzario.startUp(folder.folder()));
        prezzario.mainWindow().show();
    }

    void choose(const char* item) { prezzario.mainWindow().findChild<QAction*>(QString::fromLatin1(item))->trigger(); }
};

QStringList visibleTopics(QWidget* manual)
{
    QStringList topics;
    for (QAction* action : manual->findChild<QMenu*>(QStringLiteral("mnu"))->actions())
        if (action->isVisible() && !action->isSeparator())
            topics << action->text();
    return topics;
}

} // namespace

TEST_F(Menu, consultazioneOpensItsWindowAndDisablesTheMenuUntilClosed)
{
    choose("mnuAlbero");
    consultation::frmPrincipale& window = prezzario.consultazione();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.parentWidget(), nullptr);
    EXPECT_FALSE(prezzario.mainWindow().isEnabled());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_FALSE(prezzario.mainWindow().close());

    window.close();
    EXPECT_TRUE(prezzario.mainWindow().isEnabled());
    choose("mnuAlbero");
    EXPECT_EQ(&prezzario.consultazione(), &window); // one window, shown again
    window.close();
}

TEST_F(Menu, premesseOpensItsWindowAndDisablesTheMenuUntilClosed)
{
    choose("mnuPremesse");
    EXPECT_TRUE(prezzario.premesse().isVisible());
    EXPECT_FALSE(prezzario.mainWindow().isEnabled());
    prezzario.premesse().close();
    EXPECT_TRUE(prezzario.mainWindow().isEnabled());
}

TEST_F(Menu, manualFromTheMainMenuIsModalWithEveryTopic)
{
    QStringList topics;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QWidget* manual = QApplication::activeModalWidget();
        ASSERT_NE(manual, nullptr);
        modal = manual == &prezzario.manuale();
        topics = visibleTopics(manual);
        manual->close();
    });
    choose("mnuManuale");
    EXPECT_TRUE(modal);
    EXPECT_EQ(topics.size(), 15);
}

TEST_F(Menu, manualFromTheConsultationShowsItsTopicOnly)
{
    choose("mnuAlbero");
    QStringList topics;
    QTimer::singleShot(0, [&] {
        QWidget* manual = QApplication::activeModalWidget();
        ASSERT_NE(manual, nullptr);
        topics = visibleTopics(manual);
        manual->close();
    });
    prezzario.consultazione().findChild<QAction*>(QStringLiteral("mnuInf"))->trigger();
    EXPECT_EQ(topics, QStringList{QStringLiteral("Consultazione")});
    prezzario.consultazione().close();
}

TEST_F(Menu, ricercaOpensTheSearchWindowAndItsManualShowsTheSearchTopics)
{
    choose("mnuRicerche");
    search::frmCerca& window = prezzario.ricerca();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.parentWidget(), nullptr);
    EXPECT_FALSE(prezzario.mainWindow().isEnabled());

    QStringList topics;
    QTimer::singleShot(0, [&] {
        QWidget* manual = QApplication::activeModalWidget();
        ASSERT_NE(manual, nullptr);
        topics = visibleTopics(manual);
        manual->close();
    });
    window.findChild<QAction*>(QStringLiteral("mnuInfo"))->trigger();
    EXPECT_EQ(topics.size(), 12);
    EXPECT_EQ(topics.value(0), QStringLiteral("Ricerca"));

    window.close();
    EXPECT_TRUE(prezzario.mainWindow().isEnabled());
}

// Opened from the keyboard and closed with Escape, each window gives the main window back: Alt+M opens its
// menu again.
TEST_F(Menu, altMOpensTheMainMenuAgainAfterAWindowClosesWithEscape)
{
    QWidget& main = prezzario.mainWindow();
    const auto* mainMenu = main.findChild<QMenu*>(QStringLiteral("mnuMenu"));
    // Keys go where a user's keys go: an open menu, else the active window's focus widget.
    const auto type = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::activePopupWidget();
        if (!target && QApplication::activeWindow())
            target = QApplication::activeWindow()->focusWidget() ? QApplication::activeWindow()->focusWidget()
                                                                 : QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
    };
    const struct
    {
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        std::function<QWidget&()> window;
    } cases[] = {
        {{{Qt::Key_M, Qt::AltModifier}, {Qt::Key_C, Qt::NoModifier}},
         [&]() -> QWidget& { return prezzario.consultazione(); }},
        {{{Qt::Key_F, Qt::ControlModifier}}, [&]() -> QWidget& { return prezzario.ricerca(); }},
        {{{Qt::Key_F10, Qt::NoModifier}, {Qt::Key_P, Qt::NoModifier}},
         [&]() -> QWidget& { return prezzario.premesse(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys.front().first);
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        for (const auto& [key, modifiers] : c.keys)
            type(key, modifiers);
        QWidget& window = c.window();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        type(Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(main.isEnabled());

        // The window manager gives the main window the focus back.
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        type(Qt::Key_M, Qt::AltModifier);
        EXPECT_EQ(QApplication::activePopupWidget(), mainMenu);
        if (QApplication::activePopupWidget())
            type(Qt::Key_Escape);
    }
}
