// What a screen reader announces and what the keyboard reaches, in every window of the program: every control
// the focus can reach has a name, Tab goes round each window in reading order, counts are heard when they
// change, a warning is read with its text, and context menus open from the keyboard.
#include "ui/MessageBox.h"
#include "tests/app/ProgramWindows.h"
#include "ui/ReportList.h"
#include "search/frmTrova.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << window.objectName().toStdString();
}

// The Tab stops of a window: enabled controls that take the focus themselves (an editor whose focus goes to
// its combo box is the box's stop).
std::vector<QWidget*> tabStops(QWidget& window)
{
    std::vector<QWidget*> stops;
    for (QWidget* control : fixture::focusableControls(window)) {
        if (control->isEnabled() && !control->focusProxy() && (control->focusPolicy() & Qt::TabFocus))
            stops.push_back(control);
    }
    return stops;
}

QRect placeIn(const QWidget& window, const QWidget* control)
{
    return QRect(control->mapTo(&window, QPoint(0, 0)), control->size());
}

// 'next' comes before 'current' in reading order: above it in the same column, or left of it in the same row.
bool readBefore(const QRect& next, const QRect& current)
{
    const bool sameColumn = next.left() < current.right() && current.left() < next.right();
    const bool sameRow = next.top() < current.bottom() && current.top() < next.bottom();
    return (sameColumn && next.bottom() <= current.top()) || (sameRow && next.right() <= current.left());
}

// The controls the focus visits from 'start' pressing 'key' until it comes back, or until 'limit' presses.
std::vector<QWidget*> walk(QWidget* start, Qt::Key key, std::size_t limit)
{
    start->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> visited{start};
    const Qt::KeyboardModifiers modifiers = key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
    while (visited.size() <= limit) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QWidget* now = QApplication::focusWidget();
        if (now == start || !now)
            break;
        visited.push_back(now);
    }
    return visited;
}

// What a screen reader on a list hears of it besides its name.
QString descriptionOf(QWidget& window, const char* list)
{
    return fixture::accessibleText(window.findChild<ui::ReportList*>(QString::fromLatin1(list)),
                                   QAccessible::Description);
}

} // namespace

TEST(Accessibility, everyFocusableControlOfEveryWindowHasAName)
{
    fixture::ProgramWindows program;
    ASSERT_TRUE(program.started());
    for (const auto& [title, open] : program.windows()) {
        QWidget& window = open();
        window.show();
        QApplication::processEvents();
        QStringList unnamed;
        for (QWidget* control : fixture::focusableControls(window)) {
            if (fixture::accessibleText(control, QAccessible::Name).isEmpty())
                unnamed << fixture::describe(control);
        }
        EXPECT_EQ(unnamed.join(QStringLiteral(", ")).toStdString(), "") << title.toStdString();
        window.close();
    }
}

TEST(Accessibility, tabGoesRoundEveryWindowInReadingOrderAndShiftTabGoesBack)
{
    fixture::ProgramWindows program;
    ASSERT_TRUE(program.started());
    for (const auto& [title, open] : program.windows()) {
        SCOPED_TRACE(title.toStdString());
        QWidget& window = open();
        showActive(window);
        const std::vector<QWidget*> stops = tabStops(window);
        if (stops.size() < 2) {
            window.close();
            continue;
        }
        // Where the window's focus chain starts: Tab from the last stop comes back here.
        QWidget* first = window.nextInFocusChain();
        while (std::find(stops.begin(), stops.end(), first) == stops.end() && first != &window)
            first = first->nextInFocusChain();
        ASSERT_NE(first, &window);
        const std::vector<QWidget*> round = walk(first, Qt::Key_Tab, stops.size() + 1);

        QStringList missed;
        for (QWidget* stop : stops) {
            if (std::find(round.begin(), round.end(), stop) == round.end())
                missed << fixture::describe(stop);
        }
        EXPECT_EQ(missed.join(QStringLiteral(", ")).toStdString(), "") << "not reached by Tab";
        EXPECT_LE(round.size(), stops.size()) << "Tab does not come back to " << fixture::describe(first).toStdString()
                                              << "; it ends at " << fixture::describe(round.back()).toStdString();
        QStringList backwards;
        // Consultazione goes down the levels as they load (section, chapters, articles, then the notes).
        for (std::size_t i = 1; i < round.size() && title != QStringLiteral("Consultazione"); ++i) {
            if (readBefore(placeIn(window, round[i]), placeIn(window, round[i - 1])))
                backwards << fixture::describe(round[i - 1]) + QStringLiteral(" → ") + fixture::describe(round[i]);
        }
        EXPECT_EQ(backwards.join(QStringLiteral(", ")).toStdString(), "") << "out of reading order";

        std::vector<QWidget*> back = walk(first, Qt::Key_Backtab, stops.size() + 1);
        std::reverse(back.begin() + 1, back.end());
        EXPECT_TRUE(back == round) << "Shift+Tab does not retrace Tab";
        window.close();
    }
}

// Ricerca's counts are heard through the real accessibility bus, in tests/atspi.
TEST(Accessibility, trovasCountIsHeardOnItsList)
{
    fixture::ProgramWindows program;
    ASSERT_TRUE(program.started());
    search::frmTrova& trova = program.application().trova();
    trova.showFromMenu();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !trova.isBusy(); }, 10000));
    QTest::keyClicks(trova.findChild<QLineEdit*>(QStringLiteral("txtTrova")), QStringLiteral("muratura"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !trova.isBusy(); }, 10000));
    const QString found = trova.findChild<QLabel*>(QStringLiteral("lblTrovati"))->text();
    EXPECT_NE(found, QStringLiteral("0 voci"));
    EXPECT_EQ(descriptionOf(trova, "lstTrovati"), found);
}

TEST(Accessibility, aWarningIsAnAlertReadWithItsText)
{
    QWidget parent;
    parent.show();
    const QString text = QStringLiteral("Inserire il testo da cercare.");
    QString role, read;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(qobject_cast<QMessageBox*>(box), nullptr);
        QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(box);
        role = alert->role() == QAccessible::AlertMessage ? QStringLiteral("alert") : QString::number(alert->role());
        // A screen reader reads an alert's title and the texts it holds.
        for (int i = 0; i < alert->childCount(); ++i)
            read += alert->child(i)->text(QAccessible::Name) + u'\n';
        QTest::keyClick(box, Qt::Key_Return);
    });
    ui::MessageBox::setRecording(false);
    ui::MessageBox::warning(&parent, text);
    ui::MessageBox::setRecording(true);
    EXPECT_EQ(role, QStringLiteral("alert"));
    EXPECT_TRUE(read.contains(text)) << read.toStdString();
}

TEST(Accessibility, shiftF10OpensTheContextMenuOfEveryListOverTheList)
{
    fixture::ProgramWindows program;
    ASSERT_TRUE(program.started());
    for (const auto& [title, open] : program.windows()) {
        QWidget& window = open();
        showActive(window);
        for (ui::ReportList* list : window.findChildren<ui::ReportList*>()) {
            if (list->actions().isEmpty() || !list->isVisibleTo(&window) || list->model()->rowCount() == 0)
                continue;
            SCOPED_TRACE(QString(title + u' ' + list->objectName()).toStdString());
            // A closed menu may leave no window active here, where no window manager gives it back.
            window.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
            list->setFocus();
            QPoint shownAt(-1, -1); // no menu
            QTimer::singleShot(0, [&] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    shownAt = menu->pos();
                    menu->close();
                }
            });
            QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
            // At the list, where the eyes are, not where the mouse pointer happens to be.
            const QRect rows(list->viewport()->mapToGlobal(QPoint(0, 0)), list->viewport()->size());
            EXPECT_TRUE(rows.contains(shownAt)) << "menu at " << shownAt.x() << "," << shownAt.y();
        }
        window.close();
    }
}
