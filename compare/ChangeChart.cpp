#include "compare/ChangeChart.h"

#include "core/Compare.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QLocale>
#include <QToolTip>
#include <QValueAxis>

#include <vector>

namespace compare {

QString itemCount(int count)
{
    if (count == 1)
        return QStringLiteral("1 voce");
    return QLocale().toString(count) + QStringLiteral(" voci");
}

void drawChangeHistogram(QChart& chart, const core::Comparison& comparison)
{
    std::vector<int> counts(core::ChangeHistogram::kBars, 0);
    for (const core::ComparedItem& item : comparison.items) {
        if (const std::optional<double> percent = item.changePercent())
            ++counts[size_t(core::ChangeHistogram::barOf(*percent))];
    }
    auto* bars = new QBarSet(QStringLiteral("Voci"));
    int highest = 0;
    for (int bar = 0; bar < core::ChangeHistogram::kBars; ++bar) {
        *bars << counts[size_t(bar)];
        highest = std::max(highest, counts[size_t(bar)]);
    }
    // Pointing at a bar tells its range and count, which the axis only marks every other step.
    QObject::connect(bars, &QBarSet::hovered, bars, [counts](bool entered, int bar) {
        if (!entered) {
            QToolTip::hideText();
            return;
        }
        QToolTip::showText(
            QCursor::pos(),
            QStringLiteral("%1 %: %2").arg(core::ChangeHistogram::label(bar), itemCount(counts[size_t(bar)])));
    });
    auto* series = new QBarSeries();
    series->append(bars);
    series->setBarWidth(0.9);

    chart.addSeries(series);
    // Bar n stands at n on the axis: its steps are marked between the bars, every other one, so that the
    // labels stay upright and readable in a narrow chart.
    auto* changes = new QCategoryAxis();
    changes->setRange(-0.5, core::ChangeHistogram::kBars - 0.5);
    changes->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int bar = 1; bar < core::ChangeHistogram::kBars; bar += 2)
        changes->append(core::ChangeHistogram::stepLabel(bar), bar - 0.5);
    changes->setTitleText(QStringLiteral("Variazione di prezzo (%); ai lati: sotto −%1 e da +%1 in su")
                              .arg(core::ChangeHistogram::kReach));
    QFont small = changes->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    changes->setLabelsFont(small);
    changes->setTitleFont(small);
    auto* items = new QValueAxis();
    items->setTitleText(QStringLiteral("Numero di voci"));
    items->setLabelFormat(QStringLiteral("%d"));
    items->setRange(0, std::max(highest, 1));
    items->applyNiceNumbers();
    items->setLabelsFont(small);
    items->setTitleFont(small);
    chart.addAxis(changes, Qt::AlignBottom);
    chart.addAxis(items, Qt::AlignLeft);
    series->attachAxis(changes);
    series->attachAxis(items);
    chart.setMargins(QMargins(2, 2, 2, 2));
}

} // namespace compare
