#pragma once

#include <QString>

namespace core {
struct Comparison;
}

class QChart;

namespace compare {

// "1 voce", "1.250 voci".
QString itemCount(int count);

// The histogram of the price changes into an empty chart: one bar per step of the library's histogram, the
// count of each told when pointed at.
void drawChangeHistogram(QChart& chart, const core::Comparison& comparison);

} // namespace compare
