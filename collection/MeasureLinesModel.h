#pragma once

#include "core/Measures.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <functional>

namespace collection {

// The measurement lines of one item, edited in place: a description, the four factors as the user types them
// and the line's quantity, computed. A factor that cannot be read is refused and the cell keeps what it had.
class MeasureLinesModel : public QAbstractTableModel
{
public:
    enum Column {
        Descrizione,
        PartiUguali,
        Lunghezza,
        Larghezza,
        HPeso,
        Quantita,
        kColumns,
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setLines(QList<core::MeasureLine> lines);
    const QList<core::MeasureLine>& lines() const { return m_lines; }

    // A blank line (a note until a factor is typed) at 'row'; the lines at 'rows' removed.
    void insertLine(int row);
    void removeLines(QList<int> rows);

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_lines.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    static bool isFactor(int column) { return column >= PartiUguali && column <= HPeso; }
    // What refusing a factor says: «"2x3" non è una misura: il carattere «x» non è ammesso. …».
    static QString refusal(const QString& typed, const QString& fault);

    // The lines after each change; the message for a factor refused.
    std::function<void(const QList<core::MeasureLine>&)> m_changed;
    std::function<void(const QString&)> m_refused;

private:
    void changed();

    QList<core::MeasureLine> m_lines;
};

} // namespace collection
