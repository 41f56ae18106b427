#pragma once

#include "ui/FunctionWindow.h"
#include "core/Search.h"

#include <QString>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>

class QIcon;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace Ui {
class frmCerca;
}

namespace core {
struct AppState;
} // namespace core

namespace ui {
class ReportList;
} // namespace ui

namespace search {

// The search window: text, article code, subarticle code and code range over the price list, with
// three result lists that drill down into each other. A top-level window without parent, so that
// disabling the main window leaves it usable.
class frmCerca : public ui::FunctionWindow
{
    Q_OBJECT

public:
    frmCerca(core::AppState& state, QWidget* mainWindow);
    ~frmCerca() override;

    // What the menu command does: empty the window, load it and show it.
    void showFromMenu();

    // What the report prints: the request the controls make now, the rows the three lists show (the
    // drill-down changes them), the layout of the last text or range search and that range's codes.
    core::SearchRequest currentRequest() const;
    const core::SearchResults& shownResults() const { return m_shown; }
    core::ReportKind reportKind() const { return m_report.kind; }
    const QString& Elemento_DA() const { return m_report.Elemento_DA; }
    const QString& Elemento_A() const { return m_report.Elemento_A; }

signals:
    // "Stampa" and the picture button: the receiver prints the search this window shows.
    void stampaRequested();
    // "Informazioni": the receiver shows the manual's search topics modally.
    void manualeRequested();
    // "Apri in Consultazione", a double click or Enter on a result: 'code' is the row's code.
    void consultazioneRequested(const QString& code);

protected:

private:
    // What the report reads besides the results; survives "Pulisci" and each new showing.
    struct ReportTexts
    {
        core::ReportKind kind = core::ReportKind::None;
        QString Elemento_DA;
        QString Elemento_A;
    };

    void resetToOpeningState();
    void Form_Load() override;
    static QIcon spreadsheetIcon();

    // Event handlers
    void cmbSezioni_Click(int index);
    void cmbSezioni_Change();
    void opttesto_Click();
    void optarticolo_Click();
    void optSub_Click();
    void optDa_A_Click();
    void chkCapitoli_Click();
    void chkArticoli_Click();
    void chkSubarticoli_Click();
    void txtCerca_Change();
    void txtArtCap_Change();
    void txtArtArt_Change();
    void txtSubCap_Change();
    void txtSubArt_Change();
    void txtSubSub_Change();
    void cmdCerca_Click();
    void lstCapitoli_ItemClick();
    void lstArticoli_GotFocus();
    void lstArticoli_ItemClick();
    void lstSubarticoli_GotFocus();
    void lstSubarticoli_ItemClick();
    void cmdpulisci_Click();
    void cmdstampa_Click();
    void cmdStampa1_Click();
    void mnuInfo_Click();

    // Modes and input guards
    void checkSectionForMode(QRadioButton* option, const QString& emptyWarning, const QString& wholeListWarning,
                             std::initializer_list<QLabel*> prefixLabels);
    QString sectionPrefix() const;
    static void emptyWhen(bool condition, QLineEdit* box);

    // The run frame
    void runSearch();
    void startRun(core::SearchMode mode);
    void showResults(const core::SearchResults& results);
    void discardResults();
    void refreshCounters();
    void clearCounters();
    std::array<std::pair<QLabel*, ui::ReportList*>, 3> counters() const;
    // Lists holding rows share the window's height; an empty one keeps only a few rows of room.
    void shareRoom();
    static void selectFirstRows(std::initializer_list<ui::ReportList*> lists);
    void setPrintEnabled(bool enabled);
    void chooseMode(QRadioButton* chosen);
    void clearTextInput();
    void clearArticleCode();
    void clearSubarticleCode();
    void clearRange();
    // Warns about the input of 'cause', which then gets the focus back so that the user can mend it.
    void warn(const QString& text, QWidget* cause = nullptr, const QString& title = QString());
    void warn(const core::SearchProblem& problem);
    QWidget* controlFor(core::SearchField field) const;

    // Drill-down in the results
    void drillDown(const std::function<void()>& operation, std::initializer_list<ui::ReportList*> targets);
    void articleSelected();
    void chapterSelected();
    void subarticleSelected();
    void showArticles(const QList<core::ArticleResult>& articles, bool showDetails);

    core::AppState& m_state;
    std::unique_ptr<Ui::frmCerca> m_ui;

    // The index of the section entry last picked; typing in the combo makes it -1.
    int m_chosenIndex = -1;

    ReportTexts m_report;
    core::SearchRequest m_request;
    // The rows the lists show, with the navigation flags of the run that filled them.
    core::SearchResults m_shown;
};

} // namespace search
