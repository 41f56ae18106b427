#pragma once

#include "core/ChosenItems.h"
#include "core/Computo.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace collection {

// The items of the collection in use as the open list gives them; the quantity is the one cell the user edits,
// unless the item has measurement lines, whose sum it shows. A collection with chapters shows each chapter's
// heading row, with its subtotal, above its items. Rows are moved by dragging them: the model hands the move to
// its window, which reorders the collection.
class ChosenItemsModel : public QAbstractTableModel
{
public:
    enum Column {
        Codice,
        Descrizione,
        Unita,
        Prezzo,
        Quantita,
        Importo,
        Incidenza,
        Nota,
        kColumns,
    };
    // What a copy of a row carries: the whole description, not the shortened one of the cell.
    static constexpr int kCopiedRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setDocument(core::ExportDocument document);
    const core::ExportDocument& document() const { return m_document; }
    const QList<core::ExportItem>& items() const { return m_document.items; }
    const core::ComputoTotals& totals() const { return m_totals; }

    // The item whose quantity or lines changed in the collection: its row, its chapter's subtotal and the
    // totals follow at once, without asking the list again.
    void updateItem(int item, const core::ChosenItem& chosen);

    // What a row shows: an item (its index among the collection's items) or a chapter's heading.
    int itemAt(int row) const; // -1 for a heading
    // The chapter of a heading row (empty for the heading of the items of none); none for an item's row.
    std::optional<QString> headingAt(int row) const;
    // The chapter a row belongs to: its item's, or the heading's own.
    QString chapterAt(int row) const;
    int rowOf(int item) const;
    // The items of 'rows', headings left out, in order.
    QList<int> itemsAt(QList<int> rows) const;

    // Where items land: in front of an item (moveItems), or at the end of a chapter (moveToChapter).
    struct Landing
    {
        std::optional<int> beforeItem; // the item count: the end
        QString chapter;               // when beforeItem is none
    };
    // Items put in front of 'row' (rowCount(): the end), or dropped on it.
    Landing landingBefore(int row) const;
    Landing landingOn(int row) const;

    // Texts the column must have room for: its widest cells, found from the figures (the largest amount…)
    // rather than by laying out every cell, which takes longer than the rest of a change on thousands of rows.
    // Headings' texts included; none for the description, which takes the room left.
    QStringList widestTexts(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Rows dragged to another place: the items travel as their indexes.
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override { return {kItemsType}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    static bool numeric(int column)
    {
        return column == Prezzo || column == Quantita || column == Importo || column == Incidenza;
    }

    static inline const QString kItemsType = QStringLiteral("application/x-prezzario-voci");

    // The item of a quantity set, the text of one refused, items dragged to a place.
    std::function<void(int, std::optional<double>)> m_changed;
    std::function<void(QList<int>, Landing)> m_moved;
    std::function<void(const QString&)> m_refused;

private:
    struct Row
    {
        int item;  // -1: the heading of the chapter below
        int group; // in m_totals.chapters; -1 without chapters
    };
    QVariant headingData(const core::ChapterTotals& group, int column, int role) const;
    static QString noteText(const core::ExportItem& item);

    core::ExportDocument m_document;
    core::ComputoTotals m_totals;
    QList<Row> m_rows;
    QList<int> m_headingRows; // of each chapter in m_totals.chapters
    QList<int> m_rowOfItem;
};

} // namespace collection
