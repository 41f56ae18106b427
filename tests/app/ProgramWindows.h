#pragma once

#include "core/AppState.h"
#include "app/Application.h"
#include "tests/support/EditionPair.h"

#include <QAccessible>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace fixture {

// Every window of the program, each opened as the user opens it, on a pair of editions of a small list, so
// that the checks that concern all of them (names, keyboard, large text) walk one table.
class ProgramWindows
{
public:
    struct Window
    {
        QString title;
        std::function<QWidget&()> open;
    };

    ProgramWindows();
    // The application started on the newer edition; false if it could not start.
    bool started() const { return m_started; }
    app::Application& application() { return m_application; }
    const std::vector<Window>& windows() const { return m_windows; }

private:
    PriceListFolder m_older;
    PriceListFolder m_newer;
    core::AppState m_state;
    app::Application m_application;
    bool m_started = false;
    std::vector<Window> m_windows;
};

// The controls of 'window' the focus can reach, in no particular order. A view's viewport hands its focus to
// the view and is left out.
std::vector<QWidget*> focusableControls(QWidget& window);

// A control as a failure names it: "objectName (class)".
QString describe(const QWidget* control);
// What a screen reader reads of 'object': its name, description…, trimmed.
QString accessibleText(QObject* object, QAccessible::Text what);

} // namespace fixture
