#pragma once

#include "tests/support/Fixture.h"

namespace fixture {

// Two editions of one list, older and newer, holding an item of every kind of change:
//   01.A01.A01.010 the same; .020 a new price (20 → 22); .030 a new unit (m³ → m²); .040 a price that was Null
//   (→ 40); .050 its text retyped in other case and punctuation; .060 its text and price (60 → 66) changed;
//   01.A01.A02.010 re-coded as 01.A01.A03.010 (100 → 120); 01.A01.A04.010 and .020, one text, against one new
//   01.A01.A05.010 of that text: no pair; 01.A01.A06.010 against 01.A01.A07.010 of its text in another unit: no
//   pair; section 02 only in the newer, 03 only in the older; 04.D01.A01.010 in both (8 → 10).
Tables olderEdition();
Tables newerEdition();

} // namespace fixture
