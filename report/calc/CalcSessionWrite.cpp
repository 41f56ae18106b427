// Writing a block of cells: styles, then values, then the wrapping that changes no height.
#include "report/calc/CalcSession.h"

#include "report/calc/UnoText.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/linguistic2/XSupportedLocales.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>

#include <cstring>

namespace calc {

namespace uno = css::uno;
using rtl::OUString;

namespace {

// A generous guess, in ems, of how wide a text is in a proportional font, bold or not: never less than
// the real width in the usual sans-serif fonts.
double widthInEms(const std::string& utf8Text)
{
    double ems = 0;
    for (const unsigned char c : utf8Text) {
        if ((c & 0xC0) == 0x80)
            continue;
        if (c >= 0x80 || std::strchr("mwMW@%&", c) != nullptr)
            ems += 1.0;
        else if (std::strchr(".,:;'|!ijlrtf ()[]", c) != nullptr)
            ems += 0.4;
        else if (c >= '0' && c <= '9')
            ems += 0.65;
        else if (c >= 'A' && c <= 'Z')
            ems += 0.85;
        else
            ems += 0.7;
    }
    return ems;
}

} // namespace

// The rows where a wrapped value may need more than one line. The check is a generous guess, so a row
// that needs it is never missed; codes, units and amounts fit their columns.
std::vector<bool> CalcSession::mayWrapRows(const CellBlock& block)
{
    const uno::Reference<css::table::XColumnRowRange> columnsAndRows(m_sheet, uno::UNO_QUERY_THROW);
    const uno::Reference<css::table::XTableColumns> columns = columnsAndRows->getColumns();
    std::vector<double> widths;
    for (int c = 0; c < block.columns; ++c) {
        sal_Int32 width = 0;
        uno::Reference<css::beans::XPropertySet>(columns->getByIndex(block.x - 1 + c), uno::UNO_QUERY_THROW)
            ->getPropertyValue(ou("Width")) >>= width;
        // Less the cell's inner margins.
        widths.push_back(width - 100.0);
    }
    std::vector<bool> rows(static_cast<std::size_t>(block.rows));
    for (int r = 0; r < block.rows; ++r) {
        bool mayWrap = false;
        for (int c = 0; c < block.columns && !mayWrap; ++c) {
            const std::size_t cell = static_cast<std::size_t>(r * block.columns + c);
            const protocol::Style& style = block.styles[static_cast<std::size_t>(block.styleOf[cell])];
            const std::string& value = block.values[cell];
            if (!style.wrap || value.empty())
                continue;
            // An em of 11 points in hundredths of a millimetre: larger than the template's font.
            const double em = 11 * 35.28;
            mayWrap =
                value.find('\n') != std::string::npos || widthInEms(value) * em > widths[static_cast<std::size_t>(c)];
        }
        rows[static_cast<std::size_t>(r)] = mayWrap;
    }
    return rows;
}

namespace {

// Runs a change with the office's row-height pass held back, and lets it measure again afterwards.
template <typename Change>
void withoutHeightPass(const uno::Reference<css::beans::XPropertySet>& document, Change change)
{
    document->setPropertyValue(ou("IsAdjustHeightEnabled"), uno::Any(false));
    try {
        change();
    } catch (...) {
        document->setPropertyValue(ou("IsAdjustHeightEnabled"), uno::Any(true));
        throw;
    }
    document->setPropertyValue(ou("IsAdjustHeightEnabled"), uno::Any(true));
}

} // namespace

void CalcSession::writeCells(const CellBlock& block)
{
    requireSheet();
    const uno::Reference<css::beans::XPropertySet> document(m_document, uno::UNO_QUERY_THROW);
    // The report's writes are not the user's to undo, and recording them slows the office down.
    document->setPropertyValue(ou("IsUndoEnabled"), uno::Any(false));
    try {
        const std::vector<bool> mayWrap = mayWrapRows(block);
        // Formats before values, so that no value is ever read as anything but text. Writing the values
        // measures the rows with all they hold, so formatting need not measure them first.
        withoutHeightPass(document, [&] { applyStyles(block, true, mayWrap); });

        uno::Sequence<uno::Sequence<uno::Any>> rows(block.rows);
        uno::Sequence<uno::Any>* row = rows.getArray();
        std::size_t cell = 0;
        for (int r = 0; r < block.rows; ++r, ++row) {
            row->realloc(block.columns);
            uno::Any* value = row->getArray();
            for (int c = 0; c < block.columns; ++c)
                *value++ <<= ou(block.values[cell++]);
        }
        const uno::Reference<css::sheet::XCellRangeData> data(
            m_sheet->getCellRangeByPosition(block.x - 1, block.y - 1, block.x + block.columns - 2,
                                            block.y + block.rows - 2),
            uno::UNO_QUERY_THROW);
        // Writing the values measures the rows once.
        data->setDataArray(rows);

        // Set with the rest, this wrapping would measure every row again, to no effect.
        withoutHeightPass(document, [&] { applyStyles(block, false, mayWrap); });
        forgetLineBreakRules();
    } catch (...) {
        document->setPropertyValue(ou("IsUndoEnabled"), uno::Any(true));
        throw;
    }
    document->setPropertyValue(ou("IsUndoEnabled"), uno::Any(true));
}

// The table keeps the rules of each language it has been asked for. They are the locale's own and change
// nothing, but a document saved with them would carry them in its settings: the table goes back to
// empty, as a document written cell by cell has it.
void CalcSession::forgetLineBreakRules()
{
    const uno::Reference<css::linguistic2::XSupportedLocales> locales(m_forbidden, uno::UNO_QUERY);
    if (!locales.is())
        return;
    for (const css::lang::Locale& locale : locales->getLocales())
        m_forbidden->removeForbiddenCharacters(locale);
}

} // namespace calc
