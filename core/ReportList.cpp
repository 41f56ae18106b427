#include "ReportList.h"

#include "Error.h"

#include <QAbstractTableModel>
#include <QFocusEvent>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <QVector>

namespace core {

// Rows live in one vector. Removing the first row (how every list is emptied) only moves an offset,
// and changes made in a burst are announced to the view as one reset when the burst ends, so that
// filling or emptying 100,000 rows costs one view update instead of 100,000.
class ReportListModel : public QAbstractTableModel
{
public:
    struct Row
    {
        QString key;
        QStringList cells;
    };

    explicit ReportListModel(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(count());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_columns; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= count() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const QStringList& cells = m_rows[m_offset + index.row()].cells;
        return index.column() < cells.size() ? cells[index.column()] : QString();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_headings.size())
            return m_headings[section];
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void setHeadings(const QStringList& headings)
    {
        beginResetModel();
        m_headings = headings;
        m_columns = static_cast<int>(headings.size());
        endResetModel();
    }

    qsizetype count() const { return m_rows.size() - m_offset; }
    bool batching() const { return m_batching; }

    // Returns the visible row of a key, or -1.
    qsizetype rowOf(const QString& key) const
    {
        const auto it = m_index.constFind(key);
        return it == m_index.cend() ? -1 : it.value() - m_offset;
    }

    const Row& row(qsizetype visibleRow) const { return m_rows[m_offset + visibleRow]; }

    void add(const QString& key, const QString& text)
    {
        if (m_index.contains(key))
            throw ListError(QStringLiteral("La chiave «%1» è già presente nell'elenco.").arg(key));
        beginBatch();
        QStringList cells(qMax(m_columns, 1));
        cells[0] = text;
        m_index.insert(key, m_rows.size());
        m_rows.append(Row{key, cells});
    }

    void setSubItem(const QString& key, int n, const QString& text)
    {
        const qsizetype visible = requireRow(key);
        if (n < 1 || n >= m_columns)
            throw ListError(QStringLiteral("Sottovoce %1 inesistente nell'elenco.").arg(n));
        m_rows[m_offset + visible].cells[n] = text;
        if (!m_batching)
            emit dataChanged(index(static_cast<int>(visible), n), index(static_cast<int>(visible), n));
    }

    void remove(const QString& key)
    {
        const qsizetype visible = requireRow(key);
        beginBatch();
        m_index.remove(key);
        if (visible == 0) {
            ++m_offset;
        } else {
            const qsizetype absolute = m_offset + visible;
            m_rows.remove(absolute);
            for (qsizetype i = absolute; i < m_rows.size(); ++i)
                m_index[m_rows[i].key] = i;
        }
        if (count() == 0) {
            m_rows.clear();
            m_offset = 0;
        }
    }

    void beginBatch()
    {
        if (m_batching)
            return;
        if (m_onBatchStart)
            m_onBatchStart();
        beginResetModel();
        m_batching = true;
    }

    // True when a burst of changes was just announced to the view.
    bool endBatch()
    {
        if (!m_batching)
            return false;
        m_batching = false;
        if (m_offset > 0 && m_offset * 2 > m_rows.size()) {
            m_rows.remove(0, m_offset);
            for (qsizetype i = 0; i < m_rows.size(); ++i)
                m_index[m_rows[i].key] = i;
            m_offset = 0;
        }
        endResetModel();
        return true;
    }

    std::function<void()> m_onBatchStart;

private:
    qsizetype requireRow(const QString& key) const
    {
        const qsizetype visible = rowOf(key);
        if (visible < 0)
            throw ListError(QStringLiteral("La chiave «%1» non è presente nell'elenco.").arg(key));
        return visible;
    }

    QVector<Row> m_rows;
    QHash<QString, qsizetype> m_index;
    qsizetype m_offset = 0;
    QStringList m_headings;
    int m_columns = 0;
    bool m_batching = false;
};

ReportList::ReportList(QWidget* parent) : QTreeView(parent), m_model(new ReportListModel(this))
{
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);

    m_model->m_onBatchStart = [this] {
        const QModelIndex current = currentIndex();
        m_pendingKey = current.isValid() && current.row() < m_model->count() ? m_model->row(current.row()).key
                                                                              : QString();
        // Announce the burst once control returns to the event loop, if no reader comes first.
        QMetaObject::invokeMethod(this, [this] { settle(); }, Qt::QueuedConnection);
    };
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit ItemClick();
    });
}

ReportList::~ReportList() = default;

void ReportList::setColumns(const QList<Column>& columns)
{
    settle();
    m_columns = columns;
    QStringList headings;
    for (const Column& column : columns)
        headings << column.heading;
    m_model->setHeadings(headings);
    const double pixelsPerTwip = logicalDpiX() / 1440.0;
    for (int i = 0; i < columns.size(); ++i) {
        setColumnHidden(i, columns[i].twips == 0);
        // The widths were drawn for a smaller system font: never narrower than the heading.
        if (columns[i].twips > 0)
            setColumnWidth(i, qMax(qRound(columns[i].twips * pixelsPerTwip), headingWidth(columns[i].heading)));
    }
}

int ReportList::headingWidth(const QString& heading) const
{
    return header()->fontMetrics().horizontalAdvance(heading) + 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
}

void ReportList::fitCodeColumn()
{
    // Codes have one length per list: the first row tells how wide the code column must be to show it whole.
    if (m_model->count() == 0 || isColumnHidden(0))
        return;
    const int needed = fontMetrics().horizontalAdvance(m_model->row(0).cells.value(0)) +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
    if (columnWidth(0) < needed)
        setColumnWidth(0, needed);
}

int ReportList::columnCountTotal() const
{
    return static_cast<int>(m_columns.size());
}

void ReportList::settle() const
{
    auto* self = const_cast<ReportList*>(this);
    if (m_model->endBatch()) {
        self->fitCodeColumn();
        self->restoreSelection(m_pendingKey);
    }
}

void ReportList::restoreSelection(const QString& key)
{
    if (m_model->count() == 0)
        return;
    qsizetype row = key.isEmpty() ? -1 : m_model->rowOf(key);
    if (row < 0)
        row = 0;
    const QModelIndex index = m_model->index(static_cast<int>(row), 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

qsizetype ReportList::Count() const
{
    return m_model->count();
}

void ReportList::Add(const QString& key, const QString& text)
{
    m_model->add(key, text);
}

void ReportList::SetSubItem(const QString& key, int n, const QString& text)
{
    m_model->setSubItem(key, n, text);
}

void ReportList::Remove(const QString& key)
{
    m_model->remove(key);
    // A row added later under the same key is another row: it does not inherit the selection.
    if (key == m_pendingKey)
        m_pendingKey.clear();
}

void ReportList::RemoveAll()
{
    const qsizetype count = Count();
    for (qsizetype i = 0; i < count; ++i)
        Remove(keyFor(i));
}

bool ReportList::Contains(const QString& key) const
{
    return m_model->rowOf(key) >= 0;
}

QString ReportList::Text(const QString& key) const
{
    return SubItem(key, 0);
}

QString ReportList::SubItem(const QString& key, int n) const
{
    const qsizetype row = m_model->rowOf(key);
    if (row < 0)
        throw ListError(QStringLiteral("La chiave «%1» non è presente nell'elenco.").arg(key));
    return m_model->row(row).cells.value(n);
}

QString ReportList::Key(qsizetype row) const
{
    return row >= 0 && row < Count() ? m_model->row(row).key : QString();
}

QModelIndex ReportList::selectedIndex() const
{
    settle();
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() < m_model->count())
        return current;
    if (m_model->count() > 0) {
        // A list with rows always has a selected row.
        const_cast<ReportList*>(this)->restoreSelection(QString());
        return currentIndex();
    }
    return {};
}

bool ReportList::HasSelection() const
{
    return selectedIndex().isValid();
}

QString ReportList::SelectedKey() const
{
    const QModelIndex index = selectedIndex();
    return index.isValid() ? m_model->row(index.row()).key : QString();
}

QString ReportList::SelectedText() const
{
    return SelectedSubItem(0);
}

QString ReportList::SelectedSubItem(int n) const
{
    const QModelIndex index = selectedIndex();
    return index.isValid() ? m_model->row(index.row()).cells.value(n) : QString();
}

void ReportList::Select(const QString& key)
{
    settle();
    const qsizetype row = m_model->rowOf(key);
    if (row < 0)
        throw ListError(QStringLiteral("La chiave «%1» non è presente nell'elenco.").arg(key));
    restoreSelection(key);
}

void ReportList::keyPressEvent(QKeyEvent* event)
{
    settle();
    const QPersistentModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && after.row() != before.row())
        emit ItemClick();
}

void ReportList::focusInEvent(QFocusEvent* event)
{
    settle();
    QTreeView::focusInEvent(event);
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
        emit GotFocus();
        break;
    default:
        break;
    }
}

} // namespace core
