#pragma once

#include "core/Compare.h"
#include "ui/ReportList.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace compare {

// The columns of the compared items' list, in their order.
enum Column { State, OldCode, NewCode, Description, Unit, OldPrice, NewPrice, Change };

// Gives the list its columns, headings and widths.
void setUpComparedColumns(ui::ReportList& list);

// The items shown, read by the list as it draws them.
class ComparedRows : public ui::ReportRowSource
{
public:
    ComparedRows(std::shared_ptr<const core::Comparison> comparison, std::vector<std::int32_t> items)
        : m_comparison(std::move(comparison)), m_items(std::move(items))
    {
    }

    qsizetype rowCount() const override { return qsizetype(m_items.size()); }
    QString cell(qsizetype row, int column) const override;
    QString copiedCell(qsizetype row, int column) const override;
    const core::ComparedItem& item(qsizetype row) const { return m_comparison->items[m_items[size_t(row)]]; }

private:
    std::shared_ptr<const core::Comparison> m_comparison;
    std::vector<std::int32_t> m_items;
};
} // namespace compare
