#pragma once

#include <QMainWindow>

namespace ui {

// A window the main window's menu opens: a top-level window without parent that holds the main window while
// it is open, loads its content each time it opens and keeps its place on the screen as the user left it.
class FunctionWindow : public QMainWindow
{
public:
    explicit FunctionWindow(QWidget* mainWindow);

protected:
    // A window the user keeps open beside the others (Voci scelte) leaves the main window in reach: opening it
    // neither disables the main window nor counts among the windows that hold it, and closing it gives nothing
    // back. Call in the constructor.
    void setHoldsMainWindow(bool holds) { m_holdsMainWindow = holds; }
    // Opens the window loaded: the main window out of reach, Form_Load under its event boundary, then the
    // window in front with the focus on 'focus'. A failed load leaves the window closed and gives the main
    // window back. Returns false then.
    bool openLoaded(QWidget* focus);
    // Fills the window as it opens; may throw core::Error.
    virtual void Form_Load() = 0;
    // What closing does before the window keeps its place and gives the main window back.
    virtual void Form_Closing() {}
    void closeEvent(QCloseEvent* event) override;
    void Form_Unload();

    QWidget* m_mainWindow;

private:
    bool m_holdsMainWindow = true;
};

} // namespace ui
