#include "ui/FunctionWindow.h"

#include "ui/Guard.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>

namespace ui {

FunctionWindow::FunctionWindow(QWidget* mainWindow) : QMainWindow(nullptr), m_mainWindow(mainWindow)
{
}

bool FunctionWindow::openLoaded(QWidget* focus)
{
    if (ui::openLoaded(
            *this, m_mainWindow,
            [this] {
                if (m_holdsMainWindow)
                    m_mainWindow->setEnabled(false);
                Form_Load();
            },
            focus, m_holdsMainWindow))
        return true;
    Form_Unload();
    return false;
}

void FunctionWindow::closeEvent(QCloseEvent* event)
{
    Form_Closing();
    savePlacement(this);
    Form_Unload();
    event->accept();
}

void FunctionWindow::Form_Unload()
{
    if (m_holdsMainWindow)
        releaseMainWindow(m_mainWindow, this);
}

} // namespace ui
