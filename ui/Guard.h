#pragma once

#include "core/Error.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QString>
#include <QWidget>

#include <exception>
#include <utility>

namespace ui {

// The event boundary of a user action: a failure of the engine or of a list is shown as a message and
// the window stays as it is, usable. Returns false when the action failed.
template <typename Action>
bool guarded(QWidget* window, Action&& action)
{
    try {
        action();
        return true;
    } catch (const core::Error& error) {
        MessageBox::warning(window, error.text());
    } catch (const std::exception& error) {
        MessageBox::warning(window, QStringLiteral("Errore imprevisto: %1").arg(QString::fromLocal8Bit(error.what())));
    }
    return false;
}

inline constexpr char kHoldsMainWindow[] = "holdsMainWindow";

// How a window opens from the menu: its load runs under the main window's event boundary; loaded, the
// window comes to the front with the focus on 'focus', counted among those that hold the main window when
// 'holdsMainWindow'. Returns false when the load failed (the caller then unloads the window).
template <typename Load>
bool openLoaded(QWidget& window, QWidget* mainWindow, Load&& load, QWidget* focus, bool holdsMainWindow = true)
{
    if (!guarded(mainWindow, std::forward<Load>(load)))
        return false;
    window.setProperty(kHoldsMainWindow, holdsMainWindow);
    window.show();
    window.raise();
    window.activateWindow();
    focus->setFocus(Qt::OtherFocusReason);
    return true;
}

// A closing window gives the main window back, unless another window that holds it is still open: Ricerca
// can open Consultazione beside itself, and the menu must stay out of reach until both close.
inline void releaseMainWindow(QWidget* mainWindow, const QWidget* closing)
{
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != closing && window->isVisible() && window->property(kHoldsMainWindow).toBool())
            return;
    }
    mainWindow->setEnabled(true);
}

} // namespace ui
