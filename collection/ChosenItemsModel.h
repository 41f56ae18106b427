#pragma once

#include "core/ChosenItems.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace collection {

// The items of the collection in use as the open list gives them; the quantity is the one cell the user edits.
// Rows are moved by dragging them: the model hands the move to its window, which reorders the collection.
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

    void setItems(QList<core::ExportItem> items);
    const QList<core::ExportItem>& items() const { return m_items; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_items.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Rows dragged to another place: the rows travel as their numbers.
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override { return {kRowsType}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    static bool numeric(int column)
    {
        return column == Prezzo || column == Quantita || column == Importo || column == Incidenza;
    }

    static inline const QString kRowsType = QStringLiteral("application/x-prezzario-righe");

    // The row of a quantity set, the text of one refused, rows dragged before a row (or to the end).
    std::function<void(int, std::optional<double>)> m_changed;
    std::function<void(QList<int>, int)> m_moved;
    std::function<void(const QString&)> m_refused;

private:
    QList<core::ExportItem> m_items;
};

} // namespace collection
