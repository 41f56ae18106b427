// Every window fits the screen it opens on, carries the program's icon, and opens again where the user
// left it.
#include "core/AppState.h"
#include "app/Application.h"
#include "tests/support/Fixture.h"
#include "ui/MDIForm1.h"
#include "ui/WindowPlacement.h"
#include "search/frmCerca.h"
#include "texts/frmPremesse.h"
#include "consultation/frmPrincipale.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

struct ProgramRun
{
    fixture::PriceListFolder folder{fixture::Tables{{fixture::Row{}}}};
    core::AppState state;
    app::Application prezzario{state};

    ProgramRun()
    {
        EXPECT_TRUE(prezzario.startUp(folder.folder()));
        prezzario.mainWindow().show();
    }
};

} // namespace

TEST(Windows, everyWindowFitsTheScreenAndShowsTheIcon)
{
    ProgramRun run;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_LT(area.width(), 1300) << "the offscreen screen is smaller than the windows' preferred sizes";
    EXPECT_FALSE(QApplication::windowIcon().pixmap(48).isNull());
    const std::function<QWidget&()> windows[] = {
        [&]() -> QWidget& { return run.prezzario.mainWindow(); },
        [&]() -> QWidget& { return run.prezzario.consultazione().showFromMenu(), run.prezzario.consultazione(); },
        [&]() -> QWidget& { return run.prezzario.ricerca().showFromMenu(), run.prezzario.ricerca(); },
        [&]() -> QWidget& { return run.prezzario.premesse().showFromMenu(), run.prezzario.premesse(); },
    };
    for (const auto& open : windows) {
        QWidget& window = open();
        QApplication::processEvents(); // the platform places and frames the window
        SCOPED_TRACE(window.objectName().toStdString());
        EXPECT_TRUE(area.contains(window.frameGeometry()))
            << window.frameGeometry().width() << "x" << window.frameGeometry().height();
        EXPECT_FALSE(window.windowIcon().isNull());
        // On a 1024-px screen the contents may scroll down, never sideways.
        if (const auto* scroller = window.findChild<QScrollArea*>(QStringLiteral("scroller"))) {
            EXPECT_LE(scroller->widget()->minimumSizeHint().width(), 1024);
        }
        if (&window != &run.prezzario.mainWindow())
            window.close();
    }
}

// A window that touches an edge of the free area stays where it is; one that goes past it comes back to
// touch it.
TEST(Windows, aWindowAtTheScreensEdgeStaysAndOnePastItComesBackToIt)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size(300, 200);
    const int right = area.right() + 1 - size.width();
    const int bottom = area.bottom() + 1 - size.height();
    const struct
    {
        QPoint at;
        QPoint placed;
    } cases[] = {
        {{right, area.top() + 10}, {right, area.top() + 10}},
        {{area.left() + 10, bottom}, {area.left() + 10, bottom}},
        {{right + 1, bottom + 1}, {right, bottom}},
        {{area.left() - 1, area.top() - 1}, area.topLeft()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y());
        QWidget window;
        new QVBoxLayout(&window);
        window.setGeometry(QRect(c.at, size));
        ui::fitToScreen(&window);
        EXPECT_EQ(window.pos(), c.placed);
        EXPECT_EQ(window.size(), size);
    }
}

TEST(Windows, aWindowOpensWhereTheUserLeftItInTheLastRun)
{
    const QRect left(40, 30, 640, 480);
    {
        ProgramRun first;
        search::frmCerca& window = first.prezzario.ricerca();
        window.showFromMenu();
        window.showNormal();
        window.setGeometry(left);
        window.close();
    }
    ProgramRun second;
    search::frmCerca& window = second.prezzario.ricerca();
    window.showFromMenu();
    QApplication::processEvents();
    EXPECT_EQ(window.size(), left.size());
    // Within the window frame's width: the place is kept by the frame's corner.
    EXPECT_LE((window.pos() - left.topLeft()).manhattanLength(), 8);
    window.close();
    // Nothing is written beside the database.
    EXPECT_EQ(QDir(second.folder.folder()).entryList(QDir::Files), QStringList{QStringLiteral("Prezzario.mdb")});
}
