#include "AppState.h"
#include "Application.h"
#include "Fixture.h"
#include "MDIForm1.h"
#include "frmCerca.h"
#include "frmInfo.h"
#include "frmPremesse.h"
#include "frmPrincipale.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

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
