#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace core {

// The amount in whole cents, rounded half away from zero as the number reads in decimal: 1.005 gives 101,
// although the double nearest 1.005 lies just below it. Empty for a negative, infinite or NaN value, or
// one of a thousand billion euros or more.
std::optional<std::int64_t> centsOf(double euros);

// A price written in words as price lists print it beside the figures: "euro milleduecentotrentaquattro/56"
// for 1234.56, the cents always two digits after the slash ("euro uno/00", "euro zero/50").
// Words are joined as one word up to the thousands ("ventunomila", "milleuno", "centouno", "ventitré");
// millions and billions stand apart: "un milione", "due milioni", "un milione uno", "un miliardo".
// A value centsOf refuses gives an empty text: a price list has no negative prices, and a wrong word is
// worse than none.
QString priceInWords(double euros);

} // namespace core
