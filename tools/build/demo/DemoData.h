#pragma once

#include "tools/build/demo/DemoOptions.h"
#include "tools/build/writer/PriceListWriter.h"

#include <functional>

// The invented demo price list: rows composed from the catalogue's phrase banks, streamed one at a
// time so that a million rows need no more memory than ten.
namespace builder::demo {

inline constexpr qint64 kDemoYear = 2021;

// Passes the options.rows subarticle rows of the demo price list to sink, in list order (sequenza
// 1, 2, ...). The same options always give the same rows.
void generateRows(const DemoOptions& options, const std::function<void(const PriceRow&)>& sink);

// Year, preface, methodological note, section introductions and the user manual.
void writeReferenceTexts(PriceListWriter& writer);

} // namespace builder::demo
