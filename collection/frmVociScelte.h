#pragma once

#include "ui/FunctionWindow.h"
#include "core/ChosenItems.h"
#include "core/Jobs.h"
#include "ui/Exporter.h"


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

class ChosenItemsModel;

// Voci scelte: the items the user collected for a project, with quantities, amounts and the total, kept in
// the user's data folder from one run to the next and exported as the documents and files estimators use.
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
    void newCollection();
    void renameCollection();
    void removeCollection();
    void removeSelected();
    void moveSelected(int step);
    // Moves 'rows' (of the list) before 'target', the row they go in front of, or to the end.
    void moveRows(QList<int> rows, int target);
    void exportCollection();
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
    core::Jobs m_jobs{this};
    ui::Exporter* m_exporter = new ui::Exporter(this);
};

// Asks for a file with the standard dialog and exports 'document' to it in the background, in the format its
// extension names; 'name' is the file name offered.
void exportWithDialog(ui::Exporter& exporter, core::ExportDocument document, const QString& name);

} // namespace collection
