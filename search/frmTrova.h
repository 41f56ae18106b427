#pragma once

#include "ui/FunctionWindow.h"
#include "core/Find.h"
#include "core/Jobs.h"

#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class QLineEdit;
class QTimer;

namespace Ui {
class frmTrova;
}

namespace core {
struct AppState;
} // namespace core

namespace search {

class FoundRows;

// Trova: one box, a few words, the priced items that hold them all. The list follows each keystroke; the
// searching runs beside the window, and a search overtaken by the next key is stopped, its result dropped.
// The index it searches is made from the list on first use and kept while the program runs. A top-level
// window without parent, as Ricerca.
class frmTrova : public ui::FunctionWindow
{
    Q_OBJECT

public:
    frmTrova(core::AppState& state, QWidget* mainWindow);
    ~frmTrova() override;

    // What the menu command and Ctrl+K do: open the window, or bring it forward, with the focus in the box.
    void showFromMenu();

    // The items the list shows, in its order.
    std::vector<std::int32_t> shownItems() const;
    // True while the index is made or a search runs.
    bool isBusy() const { return m_jobs.pending() > 0 || !m_index; }

    static constexpr int kHistoryLength = 20;

signals:
    // "Apri in Consultazione", a double click or Enter on an item: 'code' is its code.
    void consultazioneRequested(const QString& code);

protected:
    void Form_Closing() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load() override;
    void makeIndex();
    void indexMade(std::shared_ptr<const core::FindIndex> index);
    void fillUnits();
    // Starts a search for what the box and the filters hold now, stopping the one under way.
    void search();
    void showFound(std::vector<std::int32_t> items, const core::FindWords& marked);
    void showDetail();
    void openSelected();
    void escape();
    // Up and Down in the box walk the texts searched before.
    void recall(int step);
    void remember();
    bool priceBound(QLineEdit* box, std::optional<double>& bound);
    void saveFilters() const;
    void restoreFilters();

    core::AppState& m_state;
    std::unique_ptr<Ui::frmTrova> m_ui;
    std::shared_ptr<const core::FindIndex> m_index;
    QString m_indexPath;
    bool m_making = false;
    std::shared_ptr<core::Jobs::Job> m_search; // the last started: a key stops the one before
    std::shared_ptr<const FoundRows> m_rows;
    QTimer* m_rememberTimer;
    QStringList m_history; // newest first
    int m_recalled = -1;   // the entry of m_history the box shows, -1 for the text being typed
    QString m_typed;
    QString m_pendingUnit; // restored before the units are known
    QString m_detailCode;  // the item txtDettaglio shows
    // One job at a time: the index, then each search (a search overtaken by a key is stopped, and the next
    // starts when it has).
    core::Jobs m_jobs{this};
};

} // namespace search
