#pragma once

#include "ui/ReportListRows.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

namespace ui {

// The n of "k<n>" exactly as ReportList::keyFor writes it (no sign, no leading zero), with n small enough to
// index a vector; -1 for any other key.
qint64 numberOf(QStringView key);

// A row's cells packed into one block: the cell count, the end of each cell, then the cells' UTF-8 text.
// One allocation a row instead of one a cell, and half the bytes of UTF-16.
using Packed = QByteArray;

// Rows live in one vector. Removing the first row (how every list is emptied) only moves an offset,
// and changes made in a burst are announced to the view as one reset when the burst ends, so that
// filling or emptying 100,000 rows costs one view update instead of 100,000. Keys written by keyFor
// are found through a vector indexed by their number; any other key through a hash.
class ReportListModel : public QAbstractTableModel
{
public:
    struct Row
    {
        qint64 number = -1; // the n of "k<n>", or -1 when the key is 'name'
        QString name;
        Packed cells;
    };

    explicit ReportListModel(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(count());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_columns; }

    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Numbers line up on their last digit, as in a spreadsheet.
    QVariant alignment(int column) const;

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void setHeadings(const QStringList& headings, const QList<bool>& numeric);

    qsizetype count() const { return m_source ? m_source->rowCount() : m_rows.size() - m_offset; }
    bool batching() const { return m_batching; }

    // Returns the visible row of a key, or -1.
    qsizetype rowOf(const QString& key) const;
    qsizetype rowOfNumber(qint64 number) const;
    QString keyOf(qsizetype visibleRow) const;

    QString text(qsizetype visibleRow, int n) const;
    QString copiedText(qsizetype visibleRow, int n) const;

    // Rows read from 'source' as they are shown, in place of the list's own; null gives the list back empty.
    void setSource(std::shared_ptr<const ReportRowSource> source);
    bool hasSource() const { return m_source != nullptr; }

    void add(const QString& key, const ReportRow& cells);
    void setSubItem(const QString& key, int n, const QString& text);
    void remove(const QString& key) { removeRow(requireRow(key)); }
    // Removes the row under "k<number>"; throws ListError when there is none.
    void removeNumber(qint64 number);

    void beginBatch();
    // True when a burst of changes was just announced to the view.
    bool endBatch();

    std::function<void()> m_onBatchStart;

private:
    void track(const Row& row, qsizetype absolute);
    void untrack(const Row& row);
    void reindexFrom(qsizetype absolute);
    void removeRow(qsizetype visible);
    qsizetype requireRow(const QString& key) const;

    QVector<Row> m_rows;
    std::shared_ptr<const ReportRowSource> m_source;
    std::vector<qsizetype> m_numbered; // absolute row of "k<n>" at [n], -1 when absent
    QHash<QString, qsizetype> m_named;
    qsizetype m_offset = 0;
    QStringList m_headings;
    QList<bool> m_numeric;
    int m_columns = 0;
    bool m_batching = false;
};

} // namespace ui
