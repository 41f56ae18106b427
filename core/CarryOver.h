#pragma once

#include "core/ChosenItems.h"
#include "core/Compare.h"
#include "core/PriceList.h"

namespace core {

// A collection made on an older edition, as the open edition gives its items.
struct CarriedCollection
{
    Collection collection; // no id yet: the caller stores it as a new collection
    int riportate = 0;     // every item, in the same order
    int ricodificate = 0;  // under a new code, the old one kept as previousCode
    int nonPresenti = 0;   // gone from the open edition, kept as they were chosen
};

// Carries 'older' over to 'open', given the comparison of the older edition with it: an item found again under
// its code or a new one takes the open list's texts, unit and prices, keeping its quantity; an item the open list
// lacks stays as it was. The result has the open edition's year and title and the name "<name> (<year>)".
CarriedCollection carryOver(const Collection& older, const Comparison& comparison, const PriceList& open);

} // namespace core
