#include "compare/ComparedRows.h"

#include "core/Find.h"
#include "core/Numbers.h"

namespace compare {

namespace {

QString money(std::optional<double> value)
{
    return value ? core::moneyText(*value) : QString();
}

QString percent(std::optional<double> value)
{
    return value ? core::percentText(*value) : QString();
}

} // namespace

void setUpComparedColumns(ui::ReportList& list)
{
    list.setColumns({{QStringLiteral("Stato"), 1250},
                     {QStringLiteral("Codice precedente"), 1900},
                     {QStringLiteral("Codice nuovo"), 1900},
                     {QStringLiteral("Descrizione"), 6000},
                     {QStringLiteral("U.M."), 800},
                     {QStringLiteral("Prezzo precedente"), 1500, true},
                     {QStringLiteral("Prezzo nuovo"), 1300, true},
                     {QStringLiteral("Variazione %"), 1300, true}});
}

QString ComparedRows::cell(qsizetype row, int column) const
{
    const core::ComparedItem& shown = item(row);
    switch (Column(column)) {
    case State:
        return core::compareStateName(shown.state);
    case OldCode:
        return shown.oldCode;
    case NewCode:
        return shown.newCode;
    case Description:
        return core::shortDescription(shown.articolo.toString(), shown.subarticolo.toString());
    case Unit:
        // A unit that changed shows both: a price per m³ against one per m² is no price change.
        if (!shown.oldCode.isEmpty() && !shown.newCode.isEmpty() && shown.oldUnit != shown.newUnit)
            return shown.oldUnit.toString() + QStringLiteral(" → ") + shown.newUnit.toString();
        return shown.unit().toString();
    case OldPrice:
        return money(shown.oldPrice);
    case NewPrice:
        return money(shown.newPrice);
    case Change:
        return percent(shown.changePercent());
    }
    return {};
}

QString ComparedRows::copiedCell(qsizetype row, int column) const
{
    if (Column(column) != Description)
        return cell(row, column);
    const core::ComparedItem& shown = item(row);
    return core::wholeDescription(shown.articolo.toString(), shown.subarticolo.toString());
}

} // namespace compare
