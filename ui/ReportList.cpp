#include "ui/ReportList.h"

#include "ui/ListCopy.h"
#include "ui/ReportListDelegate.h"
#include "ui/ReportListModel.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace ui {

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
