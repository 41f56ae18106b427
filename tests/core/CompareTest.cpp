// Two editions compared item by item, asked of the library on a pair of lists built for the file.

#include "core/Compare.h"
#include "tests/support/EditionPair.h"
#include "core/PriceList.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const core::Comparison& comparison()
{
    static const fixture::PriceListFolder olderFolder(fixture::olderEdition());
    static const fixture::PriceListFolder newerFolder(fixture::newerEdition());
    static const core::Comparison compared = [] {
        const core::PriceList older(olderFolder.open());
        const core::PriceList newer(newerFolder.open());
        return core::compareEditions(older, newer).value();
    }();
    return compared;
}

std::string text(const std::optional<double>& value)
{
    return value ? QString::number(*value, 'g', 15).toStdString() : std::string();
}

} // namespace

TEST(Compare, everyItemHasItsStateInTheNewersCodeOrderThenTheRemovedInTheOlders)
{
    using S = core::CompareState;
    const struct
    {
        S state;
        const char* oldCode;
        const char* newCode;
        const char* section;
        const char* unit;
        const char* oldPrice;
        const char* newPrice;
        const char* percent;
    } expected[] = {
        {S::Invariata, "01.A01.A01.010", "01.A01.A01.010", "01", "m³", "10", "10", "0"},
        {S::Variata, "01.A01.A01.020", "01.A01.A01.020", "01", "m³", "20", "22", "10"},
        // Another unit at the same price is a change.
        {S::Variata, "01.A01.A01.030", "01.A01.A01.030", "01", "m²", "30", "30", "0"},
        // A price where there was none: changed, with no percentage.
        {S::Variata, "01.A01.A01.040", "01.A01.A01.040", "01", "m³", "", "40", ""},
        // Case, accents, spacing and punctuation retyped: the same item.
        {S::Invariata, "01.A01.A01.050", "01.A01.A01.050", "01", "m³", "50", "50", "0"},
        {S::Variata, "01.A01.A01.060", "01.A01.A01.060", "01", "m³", "60", "66", "10"},
        {S::Ricodificata, "01.A01.A02.010", "01.A01.A03.010", "01", "m³", "100", "120", "20"},
        // Two gone items fit the new one: none is paired.
        {S::Nuova, "", "01.A01.A05.010", "01", "t", "", "14", ""},
        // The same text in another unit is another item.
        {S::Nuova, "", "01.A01.A07.010", "01", "m", "", "7", ""},
        {S::Nuova, "", "02.B01.A01.010", "02", "m²", "", "35", ""},
        {S::Variata, "04.D01.A01.010", "04.D01.A01.010", "04", "m²", "8", "10", "25"},
        {S::Eliminata, "01.A01.A04.010", "", "01", "t", "12", "", ""},
        {S::Eliminata, "01.A01.A04.020", "", "01", "t", "13", "", ""},
        {S::Eliminata, "01.A01.A06.010", "", "01", "m²", "7", "", ""},
        {S::Eliminata, "03.C01.A01.010", "", "03", "m²", "15", "", ""},
    };
    const core::Comparison& c = comparison();
    ASSERT_EQ(c.items.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < c.items.size(); ++i) {
        const core::ComparedItem& item = c.items[i];
        const auto& want = expected[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(core::compareStateName(item.state), core::compareStateName(want.state));
        EXPECT_EQ(item.oldCode.toStdString(), want.oldCode);
        EXPECT_EQ(item.newCode.toStdString(), want.newCode);
        EXPECT_EQ(item.section.toStdString(), want.section);
        EXPECT_EQ(item.unit().toString().toStdString(), want.unit);
        EXPECT_EQ(text(item.oldPrice), want.oldPrice);
        EXPECT_EQ(text(item.newPrice), want.newPrice);
        EXPECT_EQ(text(item.changePercent()), want.percent);
    }
    EXPECT_EQ(c.invariate, 2);
    EXPECT_EQ(c.variate, 5);
    EXPECT_EQ(c.nuove, 3);
    EXPECT_EQ(c.eliminate, 4);
    EXPECT_EQ(c.ricodificate, 1);
    // A changed unit keeps the older beside the newer; a re-coded item has its change in euro.
    EXPECT_EQ(c.items[2].oldUnit.toString(), QStringLiteral("m³"));
    EXPECT_EQ(c.items[6].changeEuro(), 20.0);
}

TEST(Compare, figuresSumUpThePercentagesOfTheItemsInBothEditions)
{
    const struct
    {
        const char* section; // empty: the whole list
        int count;
        std::optional<double> median, mean;
    } expected[] = {
        // 0 10 0 0 10 20 in section 01 (the Null price has no percentage), 25 in 04.
        {"", 7, 10, 65.0 / 7},
        {"01", 6, 5, 40.0 / 6},
        {"04", 1, 25, 25},
        // Sections in one edition only have no change to sum up.
        {"02", 0, std::nullopt, std::nullopt},
        {"03", 0, std::nullopt, std::nullopt},
    };
    const core::Comparison& c = comparison();
    for (const auto& want : expected) {
        SCOPED_TRACE(want.section);
        const QString section = QString::fromLatin1(want.section);
        const core::ChangeFigures figures = section.isEmpty() ? c.figures : c.sectionFigures.value(section);
        EXPECT_EQ(figures.count, want.count);
        ASSERT_EQ(figures.median.has_value(), want.median.has_value());
        ASSERT_EQ(figures.mean.has_value(), want.mean.has_value());
        if (want.median) {
            EXPECT_DOUBLE_EQ(*figures.median, *want.median);
            EXPECT_DOUBLE_EQ(*figures.mean, *want.mean);
        }
    }
}

TEST(Compare, descriptionsAreComparedWithoutCaseAccentsSpacingOrPunctuation)
{
    const struct
    {
        const char* articolo;
        const char* subarticolo;
        const char* folded;
    } cases[] = {
        {"Scavo", "in roccia compatta", "scavoinrocciacompatta"},
        {"SCAVO ", "In  roccia, compattà.", "scavoinrocciacompatta"},
        {"Scavo-in", "roccia\ncompatta", "scavoinrocciacompatta"},
        {"", "C25/30", "c2530"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core::comparedDescription(core::Text::fromString(QString::fromUtf8(c.articolo)),
                                            core::Text::fromString(QString::fromUtf8(c.subarticolo))),
                  QString::fromUtf8(c.folded))
            << c.articolo << " / " << c.subarticolo;
    }
}

TEST(Compare, stoppingThroughTheProgressGivesNothing)
{
    const fixture::PriceListFolder folder(fixture::olderEdition());
    const core::PriceList list(folder.open());
    double last = 0;
    EXPECT_TRUE(core::compareEditions(list, list, [&last](double done) {
                    last = done;
                    return true;
                }).has_value());
    EXPECT_EQ(last, 1.0);
    EXPECT_FALSE(core::compareEditions(list, list, [](double) { return false; }).has_value());
}

// The list's filter: a threshold takes falls as rises (by their size), and an item without a percentage
// (a new price, a missing one) only when there is no threshold.
TEST(Compare, theFilterTakesStatesAndChangesUpOrDown)
{
    using States = core::CompareFilter::States;
    const auto item = [](core::CompareState state, std::optional<double> older, std::optional<double> newer) {
        core::ComparedItem compared;
        compared.state = state;
        compared.oldPrice = older;
        compared.newPrice = newer;
        return compared;
    };
    const core::ComparedItem rise = item(core::CompareState::Variata, 100, 112);
    const core::ComparedItem fall = item(core::CompareState::Variata, 100, 88);
    const core::ComparedItem same = item(core::CompareState::Invariata, 100, 100);
    const core::ComparedItem added = item(core::CompareState::Nuova, std::nullopt, 50);
    const struct
    {
        States states;
        core::CompareState state;
        std::optional<double> least;
        bool rise, fall, same, added;
    } cases[] = {
        {States::All, {}, std::nullopt, true, true, true, true},
        {States::AllButUnchanged, {}, std::nullopt, true, true, false, true},
        {States::One, core::CompareState::Nuova, std::nullopt, false, false, false, true},
        {States::All, {}, 12, true, true, false, false},
        {States::All, {}, 12.5, false, false, false, false},
        {States::One, core::CompareState::Variata, 5, true, true, false, false},
    };
    for (const auto& c : cases) {
        const core::CompareFilter filter{c.states, c.state, c.least};
        SCOPED_TRACE(c.least.value_or(-1));
        EXPECT_EQ(filter.accepts(rise), c.rise);
        EXPECT_EQ(filter.accepts(fall), c.fall);
        EXPECT_EQ(filter.accepts(same), c.same);
        EXPECT_EQ(filter.accepts(added), c.added);
    }
}

TEST(Compare, eachChangeFallsInTheBarOfItsStep)
{
    using core::ChangeHistogram;
    struct Case
    {
        double percent;
        int bar;
        const char* label;
    };
    for (const Case& change : {Case{-35, 0, "< −20"}, Case{-20, 1, "−20 ÷ −18"}, Case{-0.01, 10, "−2 ÷ 0"},
                               Case{0, 11, "0 ÷ +2"}, Case{(5.1 - 5.0) * 100 / 5.0, 12, "+2 ÷ +4"},
                               Case{19.99, 20, "+18 ÷ +20"}, Case{20, 21, "≥ +20"}}) {
        const int bar = ChangeHistogram::barOf(change.percent);
        EXPECT_EQ(bar, change.bar) << change.percent;
        EXPECT_EQ(ChangeHistogram::label(bar), QString::fromUtf8(change.label)) << change.percent;
    }
}
