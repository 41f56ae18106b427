#pragma once

#include <QStyledItemDelegate>

namespace ui {

class ReportList;

// Paints a cell as the style does, but shapes its text once, and only as much of it as the column can
// show: the style's own painting shapes a long description three times over in full, which made a
// click that refills a list of long texts spend most of its time laying out characters nobody sees.
class ReportListDelegate : public QStyledItemDelegate
{
public:
    explicit ReportListDelegate(ReportList* list);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // One line high, as paint draws one line: the rows are all as high as the first, whose text may hold a
    // line break.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ReportList* m_list;
};

} // namespace ui
