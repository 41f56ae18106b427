#pragma once

#include "core/ChosenItems.h"
#include "core/PriceList.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace core {

// The title an export gives the list, before its year.
inline const QString kListTitle = QStringLiteral("Prezzario Regione Vallorsa");

// An item as the list gives it now: its texts of every level, unit and numbers; no quantity yet.
ChosenItem chosenItemFrom(const PriceList::Row& row);
// The item of a subarticle's code, or nothing when the list lacks it.
std::optional<ChosenItem> chosenItem(const PriceList& list, const QString& code);

// Appends an item to a collection; false, leaving it unchanged, when an item of the same code is there already.
bool addItem(Collection& collection, const ChosenItem& item);
// Moves the items at `rows` (in any order, repeated or not) together, in their order, before the item now at
// `target` (the end for the item count). Where the first of them then stands; none, leaving the collection
// unchanged, when a row is not one of its items.
std::optional<int> moveItems(Collection& collection, QList<int> rows, int target);

// Each item found again by its code in the open list: current texts and price, with the chosen price beside it
// when it changed; an item the list no longer holds keeps its place with what it was when chosen.
ExportDocument exportDocument(const PriceList& list, const Collection& collection);
// A result list: the items of the codes the list holds, in the given order, without quantities.
ExportDocument exportDocument(const PriceList& list, const QStringList& codes);

// The user's collections, one JSON file each in a folder of their own. A file is replaced only whole, so that
// a crash or a full disk leaves the previous version; one that cannot be read is renamed aside and reported,
// never emptied or written over. Failures to write throw Error naming the file and the cause.
class CollectionStore
{
public:
    explicit CollectionStore(const QString& folder);
    // The store under the user's data folder ("voci-scelte").
    static CollectionStore open();
    static QString defaultFolder();

    const QString& folder() const { return m_folder; }

    // Every collection that can be read, by name (then by id for equal names). Files that cannot be read
    // are set aside on the way; setAside() says which.
    QList<Collection> collections();
    // The collection kept under an id, or nothing (a file that cannot be read is set aside here too).
    std::optional<Collection> load(const QString& id);
    // Messages, in Italian, naming each file the last collections() or load() set aside.
    const QStringList& setAside() const { return m_setAside; }

    // A new empty collection with an id of its own, not saved yet.
    static Collection make(const QString& name, const QString& editionYear, const QString& editionTitle);
    // A new empty collection, saved at once.
    Collection create(const QString& name, const QString& editionYear, const QString& editionTitle);
    // Writes the collection whole, stamping 'changed' with the time of the writing.
    void save(Collection& collection);
    void rename(Collection& collection, const QString& name);
    // Deletes the collection's file; an id with no file is no error.
    void remove(const QString& id);

    // The collection the user worked on last; empty when none is recorded or its file is gone.
    QString lastUsed() const;
    void setLastUsed(const QString& id);

private:
    QString pathOf(const QString& id) const;
    std::optional<Collection> read(const QString& path);

    QString m_folder;
    QStringList m_setAside;
};

} // namespace core
