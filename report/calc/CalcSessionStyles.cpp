// Cell styles: number formats, edges, bold and wrapping, each set on as few ranges as the cells allow.
#include "report/calc/CalcSession.h"

#include "report/calc/UnoText.h"

#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/util/MalformedNumberFormatException.hpp>

#include <algorithm>
#include <optional>
#include <tuple>

namespace calc {

namespace uno = css::uno;
using rtl::OUString;

namespace {

// A thin continuous edge in the automatic colour. LibreOffice's own Excel compatibility layer draws
// "automatic" as black and "thin" as 26 hundredths of a millimetre; we do the same.
css::table::BorderLine2 thinEdge()
{
    css::table::BorderLine2 line;
    line.Color = 0;
    line.InnerLineWidth = 0;
    line.OuterLineWidth = 26;
    line.LineDistance = 0;
    line.LineStyle = css::table::BorderLineStyle::SOLID;
    line.LineWidth = 26;
    return line;
}

css::table::BorderLine2 noEdge()
{
    css::table::BorderLine2 line;
    line.LineStyle = css::table::BorderLineStyle::NONE;
    return line;
}

} // namespace

sal_Int32 CalcSession::numberFormatKey(const std::string& format)
{
    const auto known = m_formatKeys.find(format);
    if (known != m_formatKeys.end())
        return known->second;
    const css::lang::Locale locale;
    sal_Int32 key = m_formats->queryKey(ou(format), locale, false);
    if (key < 0) {
        try {
            key = m_formats->addNew(ou(format), locale);
        } catch (const css::util::MalformedNumberFormatException& error) {
            throw Failure{protocol::kFormat, format};
        }
    }
    m_formatKeys.emplace(format, key);
    return key;
}

namespace {

// The properties one style sets, each under a key naming the property and its value: cells that share
// a key get that property in one call, whatever their other properties.
std::vector<std::string> propertyKeys(const protocol::Style& style)
{
    std::vector<std::string> keys;
    if (!style.numberFormat.empty())
        keys.push_back("format " + style.numberFormat);
    if (style.edges)
        keys.emplace_back("edges");
    if (style.bold)
        keys.emplace_back("bold");
    return keys;
}

} // namespace

void CalcSession::addProperties(const std::string& key, std::vector<std::pair<OUString, uno::Any>>& properties)
{
    if (key == "wrap") {
        properties.emplace_back(ou("IsTextWrapped"), uno::Any(true));
    } else if (key.starts_with("format ")) {
        properties.emplace_back(ou("NumberFormat"), uno::Any(numberFormatKey(key.substr(7))));
    } else if (key == "edges") {
        for (const char* edge : {"LeftBorder2", "TopBorder2", "BottomBorder2", "RightBorder2"})
            properties.emplace_back(ou(edge), uno::Any(thinEdge()));
        for (const char* diagonal : {"DiagonalTLBR2", "DiagonalBLTR2"})
            properties.emplace_back(ou(diagonal), uno::Any(noEdge()));
    } else if (key == "bold") {
        properties.emplace_back(ou("CharWeight"), uno::Any(static_cast<float>(css::awt::FontWeight::BOLD)));
    }
}

// Sets what the styles ask for with one call per set of cells that share properties, on as few rectangles
// as the cells allow: a property that many styles share, such as the edges of every cell of a report,
// goes out once on the whole block. Before the values go everything but wrapping, and the wrapping of the
// rows that may need more than one line, so that writing the values measures them once; after them the
// rest of the wrapping, which changes no height.
void CalcSession::applyStyles(const CellBlock& block, bool beforeValues, const std::vector<bool>& mayWrap)
{
    const std::size_t styleCount = block.styles.size();
    // Key -> the styles that set it; keys set by the same styles share their call.
    std::map<std::string, std::vector<bool>> stylesOfKey;
    std::vector<bool> wrapped(styleCount);
    for (std::size_t style = 0; style < styleCount; ++style) {
        wrapped[style] = block.styles[style].wrap;
        if (!beforeValues)
            continue;
        for (const std::string& key : propertyKeys(block.styles[style])) {
            std::vector<bool>& styles = stylesOfKey[key];
            styles.resize(styleCount);
            styles[style] = true;
        }
    }
    struct Call
    {
        std::vector<bool> styles;
        // Rows of the block the call is for: those whose mayWrap is this, or all of them.
        std::optional<bool> rows;
        std::vector<std::string> keys;
    };
    std::vector<Call> calls;
    {
        std::map<std::vector<bool>, std::vector<std::string>> keysOfStyles;
        for (const auto& [key, styles] : stylesOfKey)
            keysOfStyles[styles].push_back(key);
        for (auto& [styles, keys] : keysOfStyles)
            calls.push_back({styles, std::nullopt, std::move(keys)});
    }
    if (std::find(wrapped.begin(), wrapped.end(), true) != wrapped.end())
        calls.push_back({wrapped, beforeValues, {"wrap"}});

    for (const Call& call : calls) {
        std::vector<std::pair<OUString, uno::Any>> properties;
        for (const std::string& key : call.keys)
            addProperties(key, properties);
        std::sort(properties.begin(), properties.end(),
                  [](const auto& a, const auto& b) { return a.first.compareTo(b.first) < 0; });
        uno::Sequence<OUString> names(static_cast<sal_Int32>(properties.size()));
        uno::Sequence<uno::Any> values(static_cast<sal_Int32>(properties.size()));
        for (std::size_t i = 0; i < properties.size(); ++i) {
            names.getArray()[i] = properties[i].first;
            values.getArray()[i] = properties[i].second;
        }
        const auto wanted = [&](int row, int column) {
            return (!call.rows || mayWrap[static_cast<std::size_t>(row)] == *call.rows) &&
                   call.styles[static_cast<std::size_t>(
                       block.styleOf[static_cast<std::size_t>(row * block.columns + column)])];
        };

        // Vertical runs per column, then neighbouring columns with the same run joined.
        struct Run
        {
            int top;
            int bottom;
            int left;
            int right;
        };
        std::vector<Run> runs;
        for (int column = 0; column < block.columns; ++column) {
            int row = 0;
            while (row < block.rows) {
                if (!wanted(row, column)) {
                    ++row;
                    continue;
                }
                const int top = row;
                while (row < block.rows && wanted(row, column))
                    ++row;
                runs.push_back({top, row - 1, column, column});
            }
        }
        std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
            return std::tie(a.top, a.bottom, a.left) < std::tie(b.top, b.bottom, b.left);
        });
        std::vector<Run> joined;
        for (const Run& run : runs) {
            if (!joined.empty() && joined.back().top == run.top && joined.back().bottom == run.bottom &&
                joined.back().right + 1 == run.left)
                joined.back().right = run.right;
            else
                joined.push_back(run);
        }
        if (joined.empty())
            continue;
        uno::Sequence<css::table::CellRangeAddress> addresses(static_cast<sal_Int32>(joined.size()));
        css::table::CellRangeAddress* address = addresses.getArray();
        for (const Run& run : joined) {
            address->Sheet = m_sheetIndex;
            address->StartColumn = block.x - 1 + run.left;
            address->EndColumn = block.x - 1 + run.right;
            address->StartRow = block.y - 1 + run.top;
            address->EndRow = block.y - 1 + run.bottom;
            ++address;
        }

        const uno::Reference<css::lang::XMultiServiceFactory> factory(m_document, uno::UNO_QUERY_THROW);
        const uno::Reference<css::sheet::XSheetCellRangeContainer> ranges(
            factory->createInstance(ou("com.sun.star.sheet.SheetCellRanges")), uno::UNO_QUERY_THROW);
        ranges->addRangeAddresses(addresses, false);
        uno::Reference<css::beans::XMultiPropertySet>(ranges, uno::UNO_QUERY_THROW)->setPropertyValues(names, values);
    }
}

} // namespace calc
