#pragma once

#include "ui/FunctionWindow.h"
#include "core/Compare.h"
#include "core/Jobs.h"
#include "ui/Exporter.h"

#include <QList>
#include <QMap>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class frmConfronta;
}

namespace core {
struct AppState;
} // namespace core

namespace compare {

class ComparedRows;

// Confronto: the open list against another edition of it, item by item. The older edition is a file the user
// picks; the comparison runs beside the window on connections of its own, and can be stopped. The window
// shows what changed as counts, figures by section, a histogram of the price changes and the list of items,
// which Enter opens in Consultazione. A top-level window without parent, as Trova.
class frmConfronta : public ui::FunctionWindow
{
    Q_OBJECT

public:
    frmConfronta(core::AppState& state, QWidget* mainWindow);
    ~frmConfronta() override;

    // What the menu command does: asks for the older edition's file, then opens it as open() does.
    void showFromMenu();
    // Refuses the open list itself and a file that is no price list, each with a message; asks before taking
    // a file of a later year as the older edition. Otherwise remembers the file, shows the window and starts
    // comparing. Returns false when nothing opened.
    bool open(const QString& olderPath);
    // Starts comparing 'olderPath' (the older edition) with the open list, without the checks of open(), and
    // stops a comparison under way. The window need not be shown. Failures come as a message box.
    void compare(const QString& olderPath);
    // Stops the comparison under way; the window then shows none.
    void cancel();

    // True while a comparison runs.
    bool isBusy() const { return m_jobs.pending() > 0; }
    // The last comparison finished, or null.
    const core::Comparison* comparison() const { return m_comparison.get(); }
    // The items the list shows, in its order.
    QList<core::ComparedItem> shownItems() const;

signals:
    // Enter, a double click or "Apri in Consultazione" on an item of the newer edition: 'code' is its code.
    void consultazioneRequested(const QString& code);

protected:
    void Form_Closing() override;

private:
    struct Outcome;
    void Form_Load() override;
    void showProgressBar(bool shown);
    void finished(std::shared_ptr<Outcome> outcome);
    void clearResult(const QString& why);
    void showSummary();
    void showSections();
    void showHistogram();
    // Fills the list from the state and threshold chosen.
    void filter();
    bool threshold(std::optional<double>& bound);
    void openSelected();
    void copySelectedCode();
    void exportList();
    QString title() const;

    core::AppState& m_state;
    std::unique_ptr<Ui::frmConfronta> m_ui;
    std::shared_ptr<core::Jobs::Job> m_comparing;
    std::shared_ptr<const core::Comparison> m_comparison;
    QString m_olderPath, m_newerPath;
    QString m_olderYear, m_newerYear;
    QMap<QString, QString> m_sectionNames; // by code, the newer's names first
    std::shared_ptr<const ComparedRows> m_rows;
    // One comparison at a time: a new one waits for the one it stopped.
    core::Jobs m_jobs{this};
    ui::Exporter* m_exporter = new ui::Exporter(this);
};

} // namespace compare
