// With the desktop's text made large (everything scaled twice on a small screen, or a 20-point font on a large
// one) every window fits its screen, scrolling where it must, shows its captions whole, and its lists' rows
// grow with the font.
#include "tests/app/ProgramWindows.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The screen a run is on, set before the application starts (a scale factor is only read then):
// PREZZARIO_TEST_SCREEN names it, as the test's name does.
struct LargeTextScreen
{
    int points = 0;

    LargeTextScreen()
    {
        const QByteArray screen = qgetenv("PREZZARIO_TEST_SCREEN");
        if (screen == "scaled2x_1366x768") {
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PREZZARIO_TEST_SCREENS "/small.json");
            qputenv("QT_SCALE_FACTOR", "2");
        } else if (screen == "font20pt_1920x1080") {
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PREZZARIO_TEST_SCREENS "/large.json");
            points = 20;
        }
    }
} const largeTextScreen;

// The captions of 'window' shown narrower or lower than their text needs.
QStringList cutCaptions(QWidget& window)
{
    QStringList cut;
    const auto shown = [&](QWidget* w) { return w->isVisibleTo(&window) && w->window() == &window; };
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!shown(label) || label->text().isEmpty() || label->wordWrap() || !label->pixmap().isNull())
            continue;
        const QSize needed = label->sizeHint();
        if (label->width() < needed.width() || label->height() < label->fontMetrics().height())
            cut << fixture::describe(label);
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!shown(button) || button->text().isEmpty())
            continue;
        if (button->width() < button->sizeHint().width() || button->height() < button->fontMetrics().height())
            cut << fixture::describe(button);
    }
    for (QGroupBox* group : window.findChildren<QGroupBox*>()) {
        if (shown(group) && group->width() < group->fontMetrics().horizontalAdvance(group->title()))
            cut << fixture::describe(group);
    }
    return cut;
}

// Lists whose rows or heading are lower than a line of their font.
QStringList shortRows(QWidget& window)
{
    QStringList low;
    for (QAbstractItemView* list : window.findChildren<QAbstractItemView*>()) {
        if (qobject_cast<QHeaderView*>(list) || !list->isVisibleTo(&window) || !list->model() ||
            list->model()->rowCount() == 0)
            continue;
        const int line = list->fontMetrics().height();
        const QModelIndex first = list->model()->index(0, 0);
        if (list->visualRect(first).height() < line)
            low << fixture::describe(list) + QStringLiteral(" row");
        const auto* header = list->findChild<QHeaderView*>();
        if (header && header->isVisibleTo(&window) && header->orientation() == Qt::Horizontal &&
            header->height() < line)
            low << fixture::describe(list) + QStringLiteral(" heading");
    }
    return low;
}

} // namespace

TEST(LargeText, everyWindowFitsItsScreenShowsItsCaptionsWholeAndItsRowsGrow)
{
    ASSERT_TRUE(qEnvironmentVariableIsSet("PREZZARIO_TEST_SCREEN")) << "run by ctest, on the screen it names";
    if (largeTextScreen.points > 0) {
        QFont font = QApplication::font();
        font.setPointSize(largeTextScreen.points);
        QApplication::setFont(font);
    }
    fixture::ProgramWindows program;
    ASSERT_TRUE(program.started());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const auto& [title, open] : program.windows()) {
        SCOPED_TRACE(title.toStdString());
        QWidget& window = open();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QApplication::processEvents();
        EXPECT_TRUE(screen.contains(window.frameGeometry()))
            << "window " << window.frameGeometry().width() << "×" << window.frameGeometry().height() << " at "
            << window.x() << "," << window.y() << " on a screen of " << screen.width() << "×" << screen.height();
        EXPECT_EQ(cutCaptions(window).join(QStringLiteral(", ")).toStdString(), "") << "cut captions";
        EXPECT_EQ(shortRows(window).join(QStringLiteral(", ")).toStdString(), "") << "rows lower than the font";
        window.close();
    }
}
