#pragma once

#include "collection/ChosenItemsModel.h"
#include "core/ChosenItems.h"
#include "core/Jobs.h"
#include "ui/Exporter.h"
#include "ui/FunctionWindow.h"

#include <memory>

namespace Ui {
class frmVociScelte;
}

namespace core {
struct AppState;
class CollectionStore;
struct CarriedCollection;
} // namespace core

namespace collection {

class MeasureLinesModel;

// Voci scelte: the items the user collected for a project, with quantities or measurement lines, amounts, chapters
// and the total, kept in the user's data folder from one run to the next and exported as the documents and files
// estimators use: the computo metrico estimativo among them.
// A top-level window without parent, as the other function windows.
class frmVociScelte : public ui::FunctionWindow
{
    Q_OBJECT

public:
    frmVociScelte(core::AppState& state, QWidget* mainWindow);
    ~frmVociScelte() override;

    // What the menu command does: open the window on the last collection used.
    void showFromMenu();

    enum class Added {
        Added,
        AlreadyChosen,
        NotInList,
    };
    // Adds the item of 'code' to the collection in use (a new one when there is none yet).
    Added add(const QString& code);
    // The name of the collection items are added to.
    QString currentName() const;

    const core::Collection& current() const;
    // Another edition is open: the collection shown again with its prices and items.
    void listChanged()
    {
        if (m_current >= 0)
            showCollection();
    }
    // While a file is read in the background.
    bool isBusy() const { return m_jobs.pending() > 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load() override;
    // The stored collections, the last used one chosen; creates "Voci scelte" when there is none.
    void loadCollections();
    // "Voci scelte", made when there is no collection; kept unsaved, with a message, when it cannot be saved.
    core::Collection firstCollection();
    void choose(int index);
    void showCollection();
    void save();
    void showTotal();
    // The list's columns as wide as their widest texts; while editing, only ever wider.
    void fitColumns(bool widenOnly);
    void newCollection();
    void renameCollection();
    void removeCollection();
    // Adds a collection made elsewhere (carried over, imported) under a name of its own, stored, and shows it.
    bool addCollection(const core::Collection& made);
    // 'name', or "name (2)", "name (3)"… when a collection has it already.
    QString uniqueName(const QString& name) const;

    // The items of the selected rows, headings left out.
    QList<int> selectedItems() const;
    void removeSelected();
    void moveSelected(int step);
    // Moves 'items' where they land, then selects them there.
    void moveItems(QList<int> items, const ChosenItemsModel::Landing& landing);
    void selectItems(int first, int count);
    void copySelected();
    // The context menu of the list's 'row', at 'global'.
    void showListMenu(int row, const QPoint& global);

    // Chapters of the computo.
    void newChapter();
    void renameChapter(const QString& chapter);
    void removeChapter(const QString& chapter);

    // Measurement lines of the item of the list's current row.
    void showLines();
    void linesChanged(const QList<core::MeasureLine>& lines);
    void addLine();
    void removeLines();

    void exportCollection();
    void importXpwe();
    void addImported(const QString& file, const core::Collection& read);
    // A copy of the collection for the open edition, made from the comparison with the edition it was made on.
    void carryOver();
    void addCarried(const core::CarriedCollection& carried);
    // The file of the edition of 'year' among those the user opened, else one the user picks; empty when none.
    QString editionFile(const QString& year);

    core::AppState& m_state;
    std::unique_ptr<Ui::frmVociScelte> m_ui;
    std::unique_ptr<core::CollectionStore> m_store;
    QList<core::Collection> m_collections;
    int m_current = -1;
    ChosenItemsModel* m_model;
    MeasureLinesModel* m_lines;
    int m_linesItem = -1; // the item whose lines lstMisure shows
    core::Jobs m_jobs{this};
    ui::Exporter* m_exporter = new ui::Exporter(this);
};

// What an export offers: the items' unit prices, or also their computo metrico estimativo, offered first.
enum class ExportDocuments {
    Elenco,
    ComputoAndElenco,
};

// Asks for a file with the standard dialog and exports 'document' to it in the background, in the format its
// extension names; 'name' is the file name offered.
void exportWithDialog(ui::Exporter& exporter, core::ExportDocument document, const QString& name,
                      ExportDocuments documents = ExportDocuments::Elenco);

} // namespace collection
