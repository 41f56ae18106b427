#pragma once

#include "core/PriceList.h"

#include <QWidget>

#include <memory>

namespace Ui {
class frmPremesse;
}

namespace core {
struct AppState;
}

namespace texts {

// The preface of the price list and the introduction of each section, read from table premesse.
// A top-level window without a parent, so that disabling the main window while it is open does not
// disable it too.
class frmPremesse : public QWidget
{
    Q_OBJECT

public:
    frmPremesse(core::AppState& state, QWidget* mainWindow);
    ~frmPremesse() override;

    // The menu command: empties the window, loads the sections and brings the window to the front.
    void showFromMenu();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();

    // Combo handlers
    void cmbSezioni_Click();
    void cmbSezioni_Change(const QString& text);

    void fillSezioni();
    void showEntry(const QString& entry);
    void showSection(const QString& text);
    void showPremessa(core::PrefaceColumn column, const QString& codice);

    core::AppState& m_state;
    QWidget* m_mainWindow;
    std::unique_ptr<Ui::frmPremesse> m_ui;
};

} // namespace texts
