#include "ui/ReportListDelegate.h"

#include "core/Highlight.h"
#include "ui/ReportList.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace ui {

namespace {

// The cell's text as the list holds it: the option's text has its line feeds turned into line
// separators, which cellText would not see as the end of the first line.
QString lineBreaksKept(const QModelIndex& index)
{
    return index.data(Qt::DisplayRole).toString();
}

// The matched runs that the cell shows, on a marker colour, their text drawn again over it.
void paintMatches(QPainter* painter, const QStyleOptionViewItem& cell, const QRect& area, int flags,
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

} // namespace

ReportListDelegate::ReportListDelegate(ReportList* list) : QStyledItemDelegate(list), m_list(list) {}

void ReportListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
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
    painter->setPen(
        cell.palette.color(group, (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(area, flags, shown);
    if (const core::TextMarker* pattern = m_list->highlightFor(index.column()))
        paintMatches(painter, cell, area, flags, text, shown, *pattern);
    painter->restore();
}

QSize ReportListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
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

} // namespace ui
