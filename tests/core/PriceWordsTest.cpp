#include "core/PriceWords.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct WordsCase
{
    double euros;
    const char* words; // UTF-8; empty when the price is refused
};

TEST(PriceWords, writesPricesAsPriceListsPrintThem)
{
    const WordsCase cases[] = {
        {0.5, "euro zero/50"},
        {1, "euro uno/00"},
        {11, "euro undici/00"},
        {17, "euro diciassette/00"},
        {21, "euro ventuno/00"},
        {23, "euro ventitré/00"},
        {28, "euro ventotto/00"},
        {100, "euro cento/00"},
        {101, "euro centouno/00"},
        {103, "euro centotré/00"},
        {1000, "euro mille/00"},
        {1001, "euro milleuno/00"},
        {1234.56, "euro milleduecentotrentaquattro/56"},
        {2000, "euro duemila/00"},
        {21000, "euro ventunomila/00"},
        {1000000, "euro un milione/00"},
        {2000000, "euro due milioni/00"},
        {1000001, "euro un milione uno/00"},
        {1.005, "euro uno/01"},     // rounded as the decimal reads, not as the binary value lies
        {0.994999, "euro zero/99"}, // below half a cent
        {-1, ""},
        {std::numeric_limits<double>::quiet_NaN(), ""},
        {std::numeric_limits<double>::infinity(), ""},
    };
    for (const WordsCase& c : cases)
        EXPECT_EQ(core::priceInWords(c.euros), QString::fromUtf8(c.words)) << c.euros;
}

} // namespace
