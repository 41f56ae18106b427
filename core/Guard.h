#pragma once

#include "Error.h"
#include "MessageBox.h"

#include <QString>
#include <QWidget>

#include <exception>

namespace core {

// The event boundary of a user action: a failure of the engine or of a list is shown as a message and
// the window stays as it is, usable. Returns false when the action failed.
template <typename Action>
bool guarded(QWidget* window, Action&& action)
{
    try {
        action();
        return true;
    } catch (const Error& error) {
        MessageBox::warning(window, error.text());
    } catch (const std::exception& error) {
        MessageBox::warning(window, QStringLiteral("Errore imprevisto: %1").arg(QString::fromLocal8Bit(error.what())));
    }
    return false;
}

} // namespace core
