#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeView>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace ui {

namespace {

QString settingsKey(const QWidget* window)
{
    return QStringLiteral("finestre/") + window->objectName();
}

QRect freeArea(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

void fitToScreen(QWidget* window)
{
    const QRect area = freeArea(window);
    if (area.isEmpty())
        return;
    window->ensurePolished();
    // The contents may ask for more than a small screen has: they get what there is (scrolling where the
    // window offers it, see scrollWhenSmall).
    const Qt::WindowStates state = window->windowState();
    window->setMinimumSize(window->minimumSizeHint().boundedTo(area.size()));
    // A maximized window is the platform's to place; moving or resizing it would undo the maximizing.
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        window->setWindowState(state);
        return;
    }
    const QSize frame = window->frameGeometry().size() - window->size(); // empty until first shown
    window->resize(window->size().boundedTo(area.size() - frame));
    const QSize size = window->frameGeometry().size().boundedTo(area.size());
    const int x = std::clamp(window->x(), area.left(), area.right() + 1 - size.width());
    const int y = std::clamp(window->y(), area.top(), area.bottom() + 1 - size.height());
    window->move(x, y);
}

void scrollWhenSmall(QMainWindow* window)
{
    auto* scroller = new QScrollArea(window);
    scroller->setObjectName(QStringLiteral("scroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    // It only holds the window's contents: the focus goes to the controls in it, never to the frame.
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidget(window->takeCentralWidget());
    window->setCentralWidget(scroller);
}

void reserveRows(QTreeView* list, int rows)
{
    // Rows are a line of text with the view's padding; the list may be empty when the window is laid out.
    const int row = list->fontMetrics().height() + 1;
    list->setMinimumHeight(list->header()->sizeHint().height() + rows * row +
                           list->horizontalScrollBar()->sizeHint().height() + 2 * list->frameWidth());
}

void restorePlacement(QWidget* window, QSize preferred)
{
    const QSettings settings;
    const QByteArray saved = settings.value(settingsKey(window)).toByteArray();
    if (saved.isEmpty() || !window->restoreGeometry(saved)) {
        const QRect area = freeArea(window);
        if (!area.isEmpty() && (preferred.width() > area.width() || preferred.height() > area.height())) {
            // The free area as its normal size too: the window fills the screen even where nothing maximizes it.
            window->setGeometry(area);
            window->setWindowState(window->windowState() | Qt::WindowMaximized);
        } else {
            window->resize(preferred);
            if (!area.isEmpty())
                window->move(area.center() - QPoint(preferred.width() / 2, preferred.height() / 2));
        }
    }
    fitToScreen(window);
}

void savePlacement(const QWidget* window)
{
    QSettings settings;
    settings.setValue(settingsKey(window), window->saveGeometry());
}

} // namespace ui
