#include "core/ChosenItems.h"
#include "core/Numbers.h"
#include "tests/support/NumericLocale.h"
#include "core/PriceWords.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QLocale kItalian(QLocale::Italian, QLocale::Italy);

TEST(Numbers, typedNumbersAreReadAsItaliansWriteThem)
{
    const std::pair<const char*, double> read[] = {
        {"2,5", 2.5},    {"1.250,75", 1250.75},  {"1250,75", 1250.75},  {"1250.75", 1250.75},
        {"1.500", 1500}, {"1.500.000", 1500000}, {"12.500,5", 12500.5}, {"1.5", 1.5},
        {"0.500", 0.5},  {"1234.567", 1234.567}, {" 12,5 ", 12.5},      {",5", 0.5},
    };
    for (const auto& [typed, expected] : read) {
        std::optional<double> value;
        EXPECT_TRUE(core::parseTypedNumber(QString::fromUtf8(typed), value)) << typed;
        EXPECT_EQ(value, expected) << typed;
    }
    for (const char* refused : {"1.50,5", "1.2.3", "1,250.75", "2,5,1", "12,5 €", "-3", "abc", ",", ".", "1e3", "١٢"}) {
        std::optional<double> value;
        EXPECT_FALSE(core::parseTypedNumber(QString::fromUtf8(refused), value)) << refused;
    }
    std::optional<double> none = 99.0;
    EXPECT_TRUE(core::parseTypedNumber(u"  ", none)); // an empty box: no number, no error
    EXPECT_EQ(none, std::nullopt);
}

TEST(Numbers, amountsAreRoundedHalfUpToTheCentAndTotalsAddWhatIsShown)
{
    const struct
    {
        double price, quantity;
        core::Cents cents;
    } cases[] = {
        // 1.375,695 and 282,325 round up; a deduction rounds away from zero as its figure reads.
        {16.09, 85.5, 137570}, {112.93, 2.5, 28233}, {1.005, 1, 101},
        {0.994999, 1, 99},     {12.5, -2, -2500},    {1.005, -1, -101},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::amountCents(c.price, c.quantity), c.cents) << c.price << " × " << c.quantity;
    EXPECT_FALSE(core::toCents(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(core::toCents(1e13));

    // Three half-cent amounts: each shown rounded up, and the total is the sum of what is shown.
    QList<core::ExportItem> items(3);
    for (core::ExportItem& item : items) {
        item.prezzoLordo = 16.09;
        item.quantita = 85.5;
    }
    items << core::ExportItem{}; // no quantity: no amount
    EXPECT_EQ(items[0].importo(), 1375.70);
    EXPECT_EQ(core::totalCents(items), 3 * 137570);
}

TEST(Numbers, figuresAreShownWithTheirOwnRuleInTheUsersLocale)
{
    const struct
    {
        QString (*show)(double, const QLocale&);
        double value;
        const char* italian;
        const char* neutral;
    } cases[] = {
        {core::moneyText, 1375.695, "1.375,70", "1375.70"},
        {core::moneyText, 176.4, "176,40", "176.40"},
        {core::moneyText, 1234567.891, "1.234.567,89", "1234567.89"},
        {core::moneyText, -2.5, "-2,50", "-2.50"},
        {core::quantityText, 141.248, "141,248", "141.248"},
        {core::quantityText, 2.5, "2,5", "2.5"},
        {core::quantityText, 1500, "1.500", "1500"},
        {core::quantityText, 0.0004, "0", "0"},
        {core::percentText, 27.5, "27,50", "27.50"},
        {core::signedPercentText, 3.254, "+3,25", "+3.25"},
        {core::signedPercentText, -0.001, "0,00", "0.00"}, // never "-0,00"
        {core::signedPercentText, -12.5, "-12,50", "-12.50"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.show(c.value, kItalian), QString::fromUtf8(c.italian)) << c.value;
        EXPECT_EQ(c.show(c.value, QLocale::c()), QString::fromUtf8(c.neutral)) << c.value;
    }
}

TEST(Numbers, fileNumbersAndTypedNumbersIgnoreTheCLibraryLocale)
{
    const testing_support::ItalianNumericLocale italian;
    ASSERT_TRUE(italian.available()) << "it_IT.UTF-8 is missing: ./build.sh test generates it";
    EXPECT_EQ(core::plainNumber(112.93), QStringLiteral("112.93"));
    EXPECT_EQ(core::plainNumber(0.1 + 0.2, u','), QStringLiteral("0,3"));
    EXPECT_EQ(core::plainNumber(1e20), QStringLiteral("100000000000000000000"));
    EXPECT_EQ(core::plainNumber(std::numeric_limits<double>::infinity()), QString());
    EXPECT_EQ(core::amountCents(16.09, 85.5), 137570);
    std::optional<double> typed;
    EXPECT_TRUE(core::parseTypedNumber(u"13,75", typed));
    EXPECT_EQ(typed, 13.75);
    EXPECT_EQ(core::priceInWords(112.93), QStringLiteral("euro centododici/93"));
}

} // namespace
