#pragma once

#include "tests/support/Fixture.h"

namespace fixture {

// The list the search tests share: two sections; chapters whose order in the list differs from their codes'
// (B01 before A01); an article whose rows are split by another (A05, A06, A05); Null and empty notes; prices,
// a Null price, quotes, wildcards and accents in the texts.
Tables searchTables();

} // namespace fixture
