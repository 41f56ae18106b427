#include "ui/ReportList.h"

#include "core/Error.h"
#include "ui/ListCopy.h"
#include "ui/WaitCursor.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QFocusEvent>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QVarLengthArray>
#include <QVector>

#include <algorithm>
#include <cstring>
#include <vector>

namespace ui {

namespace {

// "k<n>" exactly as keyFor writes it (no sign, no leading zero), with n small enough to index a vector;
// -1 for any other key.
constexpr qint64 kMaxNumberedKey = qint64(1) << 24;

qint64 numberOf(QStringView key)
{
    if (key.size() < 2 || key.size() > 9 || key[0] != u'k' || (key[1] == u'0' && key.size() > 2))
        return -1;
    qint64 number = 0;
    for (const QChar c : key.mid(1)) {
        if (c < u'0' || c > u'9')
            return -1;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number < kMaxNumberedKey ? number : -1;
}

// A row's cells packed into one block: the cell count, the end of each cell, then the cells' UTF-8 text.
// One allocation a row instead of one a cell, and half the bytes of UTF-16.
using Packed = QByteArray;

Packed pack(const QByteArray& text, const QVarLengthArray<quint32, 16>& ends)
{
    const qsizetype count = ends.size();
    const qsizetype header = 1 + count * qsizetype(sizeof(quint32));
    Packed packed(header + text.size(), Qt::Uninitialized);
    packed[0] = static_cast<char>(count);
    std::memcpy(packed.data() + 1, ends.constData(), count * sizeof(quint32));
    std::memcpy(packed.data() + header, text.constData(), text.size());
    return packed;
}

qsizetype cellCount(const Packed& packed)
{
    return packed.isEmpty() ? 0 : static_cast<unsigned char>(packed[0]);
}

QByteArrayView cellUtf8(const Packed& packed, qsizetype n)
{
    const qsizetype count = cellCount(packed);
    if (n < 0 || n >= count)
        return {};
    const char* ends = packed.constData() + 1;
    quint32 begin = 0;
    quint32 end = 0;
    if (n > 0)
        std::memcpy(&begin, ends + (n - 1) * sizeof(quint32), sizeof(quint32));
    std::memcpy(&end, ends + n * sizeof(quint32), sizeof(quint32));
    const qsizetype header = 1 + count * qsizetype(sizeof(quint32));
    return QByteArrayView(packed.constData() + header + begin, end - begin);
}

QString cellText(const Packed& packed, qsizetype n)
{
    return QString::fromUtf8(cellUtf8(packed, n));
}

} // namespace

void ReportRow::clear()
{
    m_text.resize(0); // keeps the memory, unlike clear()
    m_ends.clear();
}

ReportRow& ReportRow::cell(const QString& text)
{
    return cellUtf8(text.toUtf8());
}

ReportRow& ReportRow::cellUtf8(QByteArrayView utf8)
{
    if (m_ends.size() >= kMaxCells)
        throw ListError(QStringLiteral("Una riga dell'elenco non può avere più di %1 colonne.").arg(kMaxCells));
    m_text.append(utf8);
    m_ends.append(static_cast<quint32>(m_text.size()));
    return *this;
}

ReportRow& ReportRow::emptyCell()
{
    return cellUtf8({});
}

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

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= count())
            return {};
        if (role == Qt::TextAlignmentRole)
            return alignment(index.column());
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        return text(index.row(), index.column());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= m_headings.size())
            return {};
        if (role == Qt::DisplayRole)
            return m_headings[section];
        if (role == Qt::TextAlignmentRole)
            return alignment(section);
        return {};
    }

    // Numbers line up on their last digit, as in a spreadsheet.
    QVariant alignment(int column) const
    {
        if (column < 0 || column >= m_numeric.size() || !m_numeric[column])
            return {};
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void setHeadings(const QStringList& headings, const QList<bool>& numeric)
    {
        beginResetModel();
        m_headings = headings;
        m_numeric = numeric;
        m_columns = static_cast<int>(headings.size());
        endResetModel();
    }

    qsizetype count() const { return m_source ? m_source->rowCount() : m_rows.size() - m_offset; }
    bool batching() const { return m_batching; }

    // Returns the visible row of a key, or -1.
    qsizetype rowOf(const QString& key) const
    {
        const qint64 number = numberOf(key);
        if (m_source)
            return number >= 0 && number < count() ? number : -1;
        if (number >= 0)
            return rowOfNumber(number);
        const auto it = m_named.constFind(key);
        return it == m_named.cend() ? -1 : it.value() - m_offset;
    }

    qsizetype rowOfNumber(qint64 number) const
    {
        if (number >= qint64(m_numbered.size()) || m_numbered[number] < 0)
            return -1;
        return m_numbered[number] - m_offset;
    }

    QString keyOf(qsizetype visibleRow) const
    {
        if (m_source)
            return ReportList::keyFor(visibleRow);
        const Row& row = m_rows[m_offset + visibleRow];
        return row.number >= 0 ? ReportList::keyFor(row.number) : row.name;
    }

    QString text(qsizetype visibleRow, int n) const
    {
        return m_source ? m_source->cell(visibleRow, n) : cellText(m_rows[m_offset + visibleRow].cells, n);
    }
    QString copiedText(qsizetype visibleRow, int n) const
    {
        return m_source ? m_source->copiedCell(visibleRow, n) : text(visibleRow, n);
    }

    // Rows read from 'source' as they are shown, in place of the list's own; null gives the list back empty.
    void setSource(std::shared_ptr<const ReportRowSource> source)
    {
        beginBatch();
        m_rows.clear();
        m_numbered.clear();
        m_named.clear();
        m_offset = 0;
        m_source = std::move(source);
    }
    bool hasSource() const { return m_source != nullptr; }

    void add(const QString& key, const ReportRow& cells)
    {
        if (m_source)
            setSource(nullptr);
        if (rowOf(key) >= 0)
            throw ListError(QStringLiteral("La chiave «%1» è già presente nell'elenco.").arg(key));
        beginBatch();
        Row row;
        row.number = numberOf(key);
        if (row.number < 0)
            row.name = key;
        row.cells = pack(cells.m_text, cells.m_ends);
        track(row, m_rows.size());
        m_rows.append(std::move(row));
    }

    void setSubItem(const QString& key, int n, const QString& text)
    {
        const qsizetype visible = requireRow(key);
        if (n < 1 || n >= m_columns)
            throw ListError(QStringLiteral("Sottovoce %1 inesistente nell'elenco.").arg(n));
        Packed& packed = m_rows[m_offset + visible].cells;
        ReportRow cells;
        for (qsizetype i = 0; i < qMax<qsizetype>(cellCount(packed), n + 1); ++i)
            cells.cellUtf8(i == n ? QByteArrayView(text.toUtf8()) : cellUtf8(packed, i));
        packed = pack(cells.m_text, cells.m_ends);
        if (!m_batching)
            emit dataChanged(index(static_cast<int>(visible), n), index(static_cast<int>(visible), n));
    }

    void remove(const QString& key) { removeRow(requireRow(key)); }

    // Removes the row under "k<number>"; throws ListError when there is none.
    void removeNumber(qint64 number)
    {
        const qsizetype visible = rowOfNumber(number);
        if (visible < 0)
            throw ListError(
                QStringLiteral("La chiave «%1» non è presente nell'elenco.").arg(ReportList::keyFor(number)));
        removeRow(visible);
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
            m_offset = 0;
            reindexFrom(0);
        }
        endResetModel();
        return true;
    }

    std::function<void()> m_onBatchStart;

private:
    void track(const Row& row, qsizetype absolute)
    {
        if (row.number < 0) {
            m_named.insert(row.name, absolute);
            return;
        }
        if (row.number >= qint64(m_numbered.size()))
            m_numbered.resize(std::max<size_t>(row.number + 1, m_numbered.size() * 2), -1);
        m_numbered[row.number] = absolute;
    }

    void untrack(const Row& row)
    {
        if (row.number < 0)
            m_named.remove(row.name);
        else
            m_numbered[row.number] = -1;
    }

    void reindexFrom(qsizetype absolute)
    {
        for (qsizetype i = absolute; i < m_rows.size(); ++i)
            track(m_rows[i], i);
    }

    void removeRow(qsizetype visible)
    {
        beginBatch();
        const qsizetype absolute = m_offset + visible;
        untrack(m_rows[absolute]);
        if (visible == 0) {
            m_rows[absolute].cells = Packed(); // the memory goes now, not when the vector is compacted
            ++m_offset;
        } else {
            m_rows.remove(absolute);
            reindexFrom(absolute);
        }
        if (count() == 0) {
            m_rows.clear();
            m_numbered.clear();
            m_named.clear();
            m_offset = 0;
        }
    }

    qsizetype requireRow(const QString& key) const
    {
        if (m_source)
            throw ListError(QStringLiteral("Le righe di questo elenco non si modificano una per una."));
        const qsizetype visible = rowOf(key);
        if (visible < 0)
            throw ListError(QStringLiteral("La chiave «%1» non è presente nell'elenco.").arg(key));
        return visible;
    }

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

// Paints a cell as the style does, but shapes its text once, and only as much of it as the column can
// show: the style's own painting shapes a long description three times over in full, which made a
// click that refills a list of long texts spend most of its time laying out characters nobody sees.
class ReportListDelegate : public QStyledItemDelegate
{
public:
    explicit ReportListDelegate(ReportList* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        cell.text.clear();
        const QString text = lineBreaksKept(index);
        const QWidget* widget = cell.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        // Background, selection and focus frame, without the text.
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
        if (text.isEmpty())
            return;

        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect area = cell.rect.adjusted(margin, 0, -margin, 0);
        const QString shown = ReportList::cellText(text, cell.fontMetrics, area.width());
        const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (cell.state & QStyle::State_Active) ? QPalette::Active
                                                                                 : QPalette::Inactive;
        const int flags = static_cast<int>(cell.displayAlignment) | Qt::TextSingleLine;
        painter->save();
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                         : QPalette::Text));
        painter->drawText(area, flags, shown);
        if (const core::TextMarker* pattern = m_list->highlightFor(index.column()))
            paintMatches(painter, cell, area, flags, text, shown, *pattern);
        painter->restore();
    }

    // One line high, as paint draws one line: the rows are all as high as the first, whose text may hold a
    // line break.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        cell.text = lineBreaksKept(index);
        const auto lineEnd =
            std::find_if(cell.text.cbegin(), cell.text.cend(), [](QChar c) { return c == u'\n' || c == u'\r'; });
        cell.text.truncate(lineEnd - cell.text.cbegin());
        const QWidget* widget = cell.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        return style->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), widget);
    }

private:
    // The cell's text as the list holds it: the option's text has its line feeds turned into line
    // separators, which cellText would not see as the end of the first line.
    static QString lineBreaksKept(const QModelIndex& index) { return index.data(Qt::DisplayRole).toString(); }

    // The matched runs that the cell shows, on a marker colour, their text drawn again over it.
    static void paintMatches(QPainter* painter, const QStyleOptionViewItem& cell, const QRect& area, int flags,
                             const QString& text, const QString& shown, const core::TextMarker& pattern)
    {
        // Only the part of a long text that the cell shows is searched.
        const QStringView looked =
            QStringView(text).first(qMin(text.size(), core::shownLength(text, shown) + pattern.reach()));
        const QList<core::TextRange> ranges = core::shownRanges(pattern.ranges(looked), text, shown);
        if (ranges.isEmpty())
            return;
        const QFontMetrics& metrics = cell.fontMetrics;
        const QRect textRect = QStyle::alignedRect(cell.direction, cell.displayAlignment,
                                                   QSize(metrics.horizontalAdvance(shown), area.height()), area);
        const auto x = [&](qsizetype units) {
            return textRect.left() + metrics.horizontalAdvance(shown, static_cast<int>(units));
        };
        for (const core::TextRange& range : ranges) {
            const QRect marked(QPoint(x(range.start), cell.rect.top() + 1),
                               QPoint(x(range.start + range.length) - 1, cell.rect.bottom() - 1));
            painter->fillRect(marked, QColor(0xff, 0xd5, 0x4f));
            painter->save();
            painter->setClipRect(marked);
            painter->setPen(Qt::black);
            painter->drawText(area, flags, shown);
            painter->restore();
        }
    }

    ReportList* m_list;
};

ReportList::ReportList(QWidget* parent)
    : QTreeView(parent), m_model(new ReportListModel(this)), m_copyRow(new QAction(QStringLiteral("Copia riga"), this)),
      m_copyCode(new QAction(QStringLiteral("Copia codice"), this)),
      m_copyAll(new QAction(QStringLiteral("Copia tutto l'elenco"), this))
{
    setModel(m_model);
    setItemDelegate(new ReportListDelegate(this));
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
    showFocus();

    m_copyRow->setShortcut(QKeySequence::Copy);
    m_copyRow->setShortcutContext(Qt::WidgetShortcut);
    m_copyRow->setShortcutVisibleInContextMenu(true);
    connect(m_copyRow, &QAction::triggered, this, [this] { copyToClipboard(Copy::Row); });
    connect(m_copyCode, &QAction::triggered, this, [this] { copyToClipboard(Copy::Code); });
    connect(m_copyAll, &QAction::triggered, this, [this] { copyToClipboard(Copy::All); });
    addActions({m_copyRow, m_copyCode, m_copyAll});

    m_model->m_onBatchStart = [this] {
        const QModelIndex current = currentIndex();
        m_pendingKey =
            current.isValid() && current.row() < m_model->count() ? m_model->keyOf(current.row()) : QString();
        // Announce the burst once control returns to the event loop, if no reader comes first.
        QMetaObject::invokeMethod(this, [this] { settle(); }, Qt::QueuedConnection);
    };
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit ItemClick();
    });
    // A column the user narrows or widens gives its room to, or takes it from, the stretched column.
    connect(header(), &QHeaderView::sectionResized, this, [this](int section) {
        if (!m_filling && section != m_stretched)
            fillWidth();
    });
}

ReportList::~ReportList() = default;

void ReportList::setColumns(const QList<Column>& columns)
{
    settle();
    m_columns = columns;
    m_stretched = -1;
    m_baseWidths.clear();
    QStringList headings;
    QList<bool> numeric;
    for (const Column& column : columns) {
        headings << column.heading;
        numeric << column.numeric;
    }
    m_model->setHeadings(headings, numeric);
    const double pixelsPerTwip = logicalDpiX() / 1440.0;
    int widest = 0;
    // The columns take their own widths first; the stretched one is known, and fitted, at the end.
    m_filling = true;
    for (int i = 0; i < columns.size(); ++i) {
        setColumnHidden(i, columns[i].twips == 0);
        // The widths were drawn for a smaller system font: never narrower than the heading, and a number
        // column never narrower than a price in the hundred thousands, which an ellipsis would make unreadable.
        int width =
            columns[i].twips > 0 ? qMax(qRound(columns[i].twips * pixelsPerTwip), headingWidth(columns[i].heading)) : 0;
        if (width > 0 && columns[i].numeric)
            width = qMax(width, fontMetrics().horizontalAdvance(QStringLiteral("000000,00")) +
                                    2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12);
        m_baseWidths << width;
        if (width > 0)
            setColumnWidth(i, width);
        // The widest text column is the description: it takes the room the others leave.
        if (i > 0 && width > widest && !columns[i].numeric) {
            widest = width;
            m_stretched = i;
        }
    }
    m_filling = false;
    fillWidth();
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
    const int needed = fontMetrics().horizontalAdvance(m_model->text(0, 0)) +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
    if (columnWidth(0) < needed) {
        if (!m_baseWidths.isEmpty())
            m_baseWidths[0] = qMax(m_baseWidths[0], needed);
        setColumnWidth(0, needed);
    }
}

void ReportList::fillWidth()
{
    if (m_stretched < 0 || m_stretched >= m_baseWidths.size() || isColumnHidden(m_stretched))
        return;
    int others = 0;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (i != m_stretched && !isColumnHidden(i))
            others += columnWidth(i);
    }
    // The long text column gives up to half its width before the list scrolls sideways: it elides, while
    // a scroll bar would hide the codes or the prices.
    const int least = qMax(headingWidth(m_columns[m_stretched].heading), m_baseWidths[m_stretched] / 2);
    const int wanted = qMax(least, viewport()->width() - others);
    if (columnWidth(m_stretched) == wanted)
        return;
    m_filling = true;
    setColumnWidth(m_stretched, wanted);
    m_filling = false;
}

QString ReportList::cellText(const QString& text, const QFontMetrics& metrics, int width)
{
    qsizetype lineEnd = text.indexOf(u'\n');
    const qsizetype carriage = text.indexOf(u'\r');
    if (carriage >= 0 && (lineEnd < 0 || carriage < lineEnd))
        lineEnd = carriage;
    const bool moreLines = lineEnd >= 0;
    QString line = moreLines ? text.left(lineEnd) : text;
    // Measuring shapes every character: a text far longer than the width can hold is cut first, at half
    // again as many characters as fit on average. When the cut part still overflows, the ellipsis falls
    // where it falls for the whole text; when it does not (a run of narrow characters), the whole text
    // is measured after all.
    const qsizetype most = width * 3 / std::max(2, 2 * metrics.averageCharWidth()) + 2;
    if (line.size() > most) {
        const QString cut = metrics.elidedText(line.left(most), Qt::ElideRight, width);
        if (cut.size() < most) // it did not fit: elided where the whole line would be
            return cut;
    }
    if (moreLines)
        line += QChar(0x2026);
    return metrics.elidedText(line, Qt::ElideRight, width);
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
    ReportRow row;
    row.cell(text);
    m_model->add(key, row);
}

void ReportList::Add(const QString& key, const ReportRow& row)
{
    m_model->add(key, row);
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

void ReportList::setRows(std::shared_ptr<const ReportRowSource> rows)
{
    m_model->setSource(std::move(rows));
}

void ReportList::RemoveAll()
{
    clearHighlight();
    if (m_model->hasSource()) {
        m_model->setSource(nullptr);
        m_pendingKey.clear();
        return;
    }
    const qsizetype count = Count();
    for (qsizetype i = 0; i < count; ++i) {
        m_model->removeNumber(i);
        // As Remove does; the key is known only once the burst has started.
        if (!m_pendingKey.isEmpty() && numberOf(m_pendingKey) == i)
            m_pendingKey.clear();
    }
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
    return m_model->text(row, n);
}

QString ReportList::Key(qsizetype row) const
{
    return row >= 0 && row < Count() ? m_model->keyOf(row) : QString();
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
    return index.isValid() ? m_model->keyOf(index.row()) : QString();
}

qsizetype ReportList::SelectedRow() const
{
    const QModelIndex index = selectedIndex();
    return index.isValid() ? index.row() : -1;
}

QString ReportList::SelectedText() const
{
    return SelectedSubItem(0);
}

QString ReportList::SelectedSubItem(int n) const
{
    const QModelIndex index = selectedIndex();
    return index.isValid() ? m_model->text(index.row(), n) : QString();
}

void ReportList::Select(const QString& key)
{
    settle();
    const qsizetype row = m_model->rowOf(key);
    if (row < 0)
        throw ListError(QStringLiteral("La chiave «%1» non è presente nell'elenco.").arg(key));
    restoreSelection(key);
}

QString ReportList::KeyOfText(const QString& text) const
{
    settle();
    for (qsizetype row = 0; row < m_model->count(); ++row) {
        if (m_model->text(row, 0) == text)
            return m_model->keyOf(row);
    }
    return QString();
}

void ReportList::showSelected()
{
    const QModelIndex selected = selectedIndex();
    if (selected.isValid())
        scrollTo(selected, PositionAtCenter);
}

void ReportList::addLeadingAction(QAction* action)
{
    // One separator between the leading actions and the copy entries, however many lead.
    const QList<QAction*> present = actions();
    const qsizetype copy = present.indexOf(m_copyRow);
    if (copy > 0 && present[copy - 1]->isSeparator()) {
        insertAction(present[copy - 1], action);
        return;
    }
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    insertActions(m_copyRow, {action, separator});
}

void ReportList::keyPressEvent(QKeyEvent* event)
{
    settle();
    if (event->matches(QKeySequence::Copy)) {
        copyToClipboard(Copy::Row);
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (selectedIndex().isValid())
            emit ItemActivate();
        event->accept();
        return;
    }
    const QPersistentModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && after.row() != before.row())
        emit ItemClick();
}

void ReportList::mouseDoubleClickEvent(QMouseEvent* event)
{
    settle();
    // The first click of the two has selected the row, as a single click does.
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit ItemActivate();
}

void ReportList::focusInEvent(QFocusEvent* event)
{
    settle();
    QTreeView::focusInEvent(event);
    showFocus();
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

void ReportList::focusOutEvent(QFocusEvent* event)
{
    QTreeView::focusOutEvent(event);
    showFocus();
}

// The list the keys act on stands out: its selected row in the highlight colour and a frame around it; the
// other lists show theirs in a grey that still tells which row is chosen.
void ReportList::showFocus()
{
    QPalette colours = QApplication::palette(this);
    if (!hasFocus()) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            const QColor base = colours.color(group, QPalette::Base);
            const QColor text = colours.color(group, QPalette::Text);
            const QColor grey =
                QColor::fromRgbF(base.redF() * 0.8f + text.redF() * 0.2f, base.greenF() * 0.8f + text.greenF() * 0.2f,
                                 base.blueF() * 0.8f + text.blueF() * 0.2f);
            colours.setColor(group, QPalette::Highlight, grey);
            colours.setColor(group, QPalette::HighlightedText, text);
        }
    }
    setPalette(colours);
    update();
}

bool ReportList::event(QEvent* event)
{
    const bool handled = QTreeView::event(event);
    // The frame belongs to the list itself, outside the viewport where the rows are painted.
    if (event->type() == QEvent::Paint && hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    return handled;
}

void ReportList::contextMenuEvent(QContextMenuEvent* event)
{
    settle();
    const bool rows = m_model->count() > 0;
    for (QAction* action : actions()) {
        if (!action->isSeparator())
            action->setEnabled(rows);
    }
    QMenu::exec(actions(), event->globalPos(), nullptr, this);
    event->accept();
}

void ReportList::copyToClipboard(Copy what) const
{
    const QModelIndex selected = selectedIndex();
    if (!selected.isValid())
        return;
    QList<int> shown;
    QList<bool> numeric;
    QStringList headings;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (isColumnHidden(i))
            continue;
        shown << i;
        numeric << m_columns[i].numeric;
        headings << m_columns[i].heading;
    }
    const auto cells = [&](int row) {
        QStringList texts;
        texts.reserve(shown.size());
        for (const int column : shown)
            texts << m_model->copiedText(row, column);
        return texts;
    };

    if (what == Copy::Code) {
        const QString code = m_model->text(selected.row(), 0);
        ClipboardTable table({false});
        table.addRow({code});
        QMimeData* data = table.mimeData();
        data->setText(code);
        QGuiApplication::clipboard()->setMimeData(data);
        return;
    }
    const WaitCursor wait;
    ClipboardTable table(numeric);
    table.addRow(headings, true);
    if (what == Copy::Row) {
        table.addRow(cells(selected.row()));
    } else {
        for (qsizetype row = 0; row < m_model->count(); ++row)
            table.addRow(cells(static_cast<int>(row)));
    }
    QGuiApplication::clipboard()->setMimeData(table.mimeData());
}

void ReportList::setHighlight(const QString& text, const QList<int>& columns)
{
    auto pattern = std::make_shared<core::HighlightPattern>(text);
    if (pattern->isEmpty())
        pattern.reset();
    setMarker(std::move(pattern), columns);
}

void ReportList::setMarker(std::shared_ptr<const core::TextMarker> marker, const QList<int>& columns)
{
    m_highlight = std::move(marker);
    m_highlightColumns = columns;
    viewport()->update();
}

void ReportList::clearHighlight()
{
    if (m_highlightColumns.isEmpty() && !m_highlight)
        return;
    m_highlight.reset();
    m_highlightColumns.clear();
    viewport()->update();
}

const core::TextMarker* ReportList::highlightFor(int column) const
{
    return m_highlight && m_highlightColumns.contains(column) ? m_highlight.get() : nullptr;
}

void ReportList::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QScrollBar* bar = horizontalScrollBar();
    const int kept = bar->value();
    QTreeView::scrollTo(index, hint);
    bar->setValue(kept);
}

void ReportList::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    fillWidth();
}

void ReportList::showEvent(QShowEvent* event)
{
    QTreeView::showEvent(event);
    // A list shown again starts from its first column, where the codes are.
    if (!event->spontaneous())
        horizontalScrollBar()->setValue(0);
    fillWidth();
}

} // namespace ui
