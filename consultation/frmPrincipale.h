#pragma once

#include "ui/FunctionWindow.h"
#include "core/PriceList.h"

#include <QStringList>

#include <memory>

namespace Ui {
class frmPrincipale;
}

namespace core {
struct AppState;
} // namespace core

namespace ui {
class ReportList;
} // namespace ui

namespace consultation {

class frmStoricoPrezzi;

// The consultation window: section -> chapters -> articles -> subarticles with their prices.
// A top-level window without parent, so that disabling the main window leaves it usable.
class frmPrincipale : public ui::FunctionWindow
{
    Q_OBJECT

public:
    frmPrincipale(core::AppState& state, QWidget* mainWindow);
    ~frmPrincipale() override;

    // What the menu command does: empty the window, load it and show it.
    void showFromMenu();
    // Shows the row of 'code' (a chapter "SS.CCC", an article "SS.CCC.AAA" or a subarticle's whole code)
    // selected in its section, chapter and article, opening the window first if it is closed. A code the
    // list no longer holds goes as deep as it is found.
    void openAt(const QString& code);

signals:
    // "Informazioni": ContestoManuale is already set; the receiver shows the manual modally.
    void manualeRequested();

protected:
    void Form_Closing() override;

private:
    void resetToOpeningState();
    void Form_Load() override;

    // Event handlers
    void cmbSezioni_Click();
    void cmbSezioni_Change(const QString& text);
    void lst_Capitoli_ItemClick();
    void lst_Capitoli_GotFocus();
    void lst_Articoli_ItemClick();
    void lst_Articoli_GotFocus();
    void lstSubarticoli_ItemClick();
    void lstSubarticoli_GotFocus();
    void mnuInf_Click();
    void cmdStorico_Click();

    // The operations the handlers run
    void reloadSection();
    void reloadArticles();
    void reloadSubarticles();
    void showSubarticleDescription();
    void enableStorico();

    core::AppState& m_state;
    std::unique_ptr<Ui::frmPrincipale> m_ui;
    // What the three lists show, row for row.
    QList<core::ListedChapter> m_chapters;
    QList<core::ListedArticle> m_articles;
    QList<core::Subarticle> m_subarticles;
    std::unique_ptr<frmStoricoPrezzi> m_storico;
};

} // namespace consultation
