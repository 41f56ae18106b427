// Reading the document back: the texts of a range, and what one cell holds and how it looks.
#include "report/calc/CalcSession.h"

#include "report/calc/UnoText.h"

#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>

#include <charconv>
#include <cstdio>

namespace calc {

namespace uno = css::uno;
using rtl::OUString;

namespace {

std::string edgeText(const uno::Any& value)
{
    css::table::BorderLine2 line;
    value >>= line;
    if (line.LineWidth == 0 && line.OuterLineWidth == 0 && line.InnerLineWidth == 0)
        return "none";
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d/%06X", static_cast<int>(line.LineStyle), static_cast<int>(line.LineWidth),
                  static_cast<unsigned>(line.Color) & 0xFFFFFFu);
    return text;
}

const char* justifyText(css::table::CellHoriJustify justify)
{
    switch (justify) {
    case css::table::CellHoriJustify_STANDARD:
        return "STANDARD";
    case css::table::CellHoriJustify_LEFT:
        return "LEFT";
    case css::table::CellHoriJustify_CENTER:
        return "CENTER";
    case css::table::CellHoriJustify_RIGHT:
        return "RIGHT";
    case css::table::CellHoriJustify_BLOCK:
        return "BLOCK";
    case css::table::CellHoriJustify_REPEAT:
        return "REPEAT";
    default:
        return "OTHER";
    }
}

const char* contentTypeText(css::table::CellContentType type)
{
    switch (type) {
    case css::table::CellContentType_EMPTY:
        return "empty";
    case css::table::CellContentType_VALUE:
        return "value";
    case css::table::CellContentType_TEXT:
        return "text";
    case css::table::CellContentType_FORMULA:
        return "formula";
    default:
        return "other";
    }
}

} // namespace

std::string CalcSession::text(int x, int y)
{
    requireSheet();
    const uno::Reference<css::text::XText> cell(m_sheet->getCellByPosition(x - 1, y - 1), uno::UNO_QUERY_THROW);
    return utf8(cell->getString());
}

std::vector<std::string> CalcSession::texts(int x, int y, int columns, int rows)
{
    requireSheet();
    const uno::Reference<css::sheet::XCellRangeData> data(
        m_sheet->getCellRangeByPosition(x - 1, y - 1, x + columns - 2, y + rows - 2), uno::UNO_QUERY_THROW);
    const uno::Sequence<uno::Sequence<uno::Any>> values = data->getDataArray();
    std::vector<std::string> words;
    words.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (sal_Int32 r = 0; r < values.getLength(); ++r) {
        for (sal_Int32 c = 0; c < values[r].getLength(); ++c) {
            OUString value;
            if (values[r][c] >>= value)
                words.push_back(utf8(value));
            else if (!values[r][c].hasValue())
                words.emplace_back();
            else // a number, as the cell shows it
                words.push_back(text(x + c, y + r));
        }
    }
    return words;
}

std::vector<std::string> CalcSession::inspect(int x, int y)
{
    requireSheet();
    const uno::Reference<css::table::XCell> cell = m_sheet->getCellByPosition(x - 1, y - 1);
    const uno::Reference<css::beans::XPropertySet> properties(cell, uno::UNO_QUERY_THROW);
    std::vector<std::string> facts;
    facts.push_back("value=" + utf8(uno::Reference<css::text::XText>(cell, uno::UNO_QUERY_THROW)->getString()));
    facts.push_back(std::string("type=") + contentTypeText(cell->getType()));
    sal_Int32 key = 0;
    properties->getPropertyValue(ou("NumberFormat")) >>= key;
    OUString format;
    uno::Reference<css::beans::XPropertySet>(m_formats->getByKey(key), uno::UNO_SET_THROW)
        ->getPropertyValue(ou("FormatString")) >>= format;
    facts.push_back("format=" + utf8(format));
    float weight = 0;
    properties->getPropertyValue(ou("CharWeight")) >>= weight;
    facts.push_back(std::string("bold=") + (weight >= css::awt::FontWeight::BOLD ? "1" : "0"));
    float height = 0;
    properties->getPropertyValue(ou("CharHeight")) >>= height;
    // Written the same whatever the locale: the program reads it back as "10.5".
    char size[32];
    const std::to_chars_result written =
        std::to_chars(size, size + sizeof size, static_cast<double>(height), std::chars_format::general, 6);
    facts.push_back(std::string("size=") + std::string(size, written.ptr));
    bool wrapped = false;
    properties->getPropertyValue(ou("IsTextWrapped")) >>= wrapped;
    facts.push_back(std::string("wrap=") + (wrapped ? "1" : "0"));
    css::table::CellHoriJustify justify = css::table::CellHoriJustify_STANDARD;
    properties->getPropertyValue(ou("HoriJustify")) >>= justify;
    facts.push_back(std::string("justify=") + justifyText(justify));
    for (const auto& [name, property] :
         {std::pair{"left", "LeftBorder2"}, std::pair{"top", "TopBorder2"}, std::pair{"bottom", "BottomBorder2"},
          std::pair{"right", "RightBorder2"}, std::pair{"tlbr", "DiagonalTLBR2"}, std::pair{"bltr", "DiagonalBLTR2"}})
        facts.push_back(std::string(name) + "=" + edgeText(properties->getPropertyValue(ou(property))));
    const uno::Reference<css::table::XColumnRowRange> columnsAndRows(m_sheet, uno::UNO_QUERY_THROW);
    const uno::Reference<css::beans::XPropertySet> row(columnsAndRows->getRows()->getByIndex(y - 1),
                                                       uno::UNO_QUERY_THROW);
    sal_Int32 rowHeight = 0;
    row->getPropertyValue(ou("Height")) >>= rowHeight;
    facts.push_back("height=" + std::to_string(rowHeight));
    return facts;
}

} // namespace calc
