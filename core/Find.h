#pragma once

#include "core/FindIndex.h"
#include "core/FindQuery.h"

// Trova: the priced items of a list found by a few typed words, in any order.
//
// The typed text is split into words at spaces and punctuation; a word holding a dot between letters or
// digits ("23.P01") is a code, unless it is a number that no item's code holds. An item matches when every
// word does: a code where the item's code has it at the start of a segment, any other word at the start of a
// word of the item's section, chapter, article or subarticle text or of its code. Case and accents are ignored.
//
// The query and its folding are in FindQuery.h; the index, its build and its search in FindIndex.h.
