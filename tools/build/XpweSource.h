#pragma once

#include "tools/build/ListSource.h"

#include <QString>

#include <optional>

namespace builder {

// A price list written as XPWE, the XML of bill-of-quantities programs (root PweDocumento): each EPItem of
// PweElencoPrezzi whose Tariffa has four segments is a row; one of one to three segments and no price is the
// heading of that level. Codes are the Tariffa's segments; the texts of sections, chapters and articles come
// from the chapter structure (PweDGCapitoliCategorie) the item names, else from its headings. The file is read
// twice, streaming: first the structure, the headings and the year, then the items.
//
// Throws BuildError naming the file and the line when the file is not XML, is broken or truncated, or is not an
// XPWE document. `year` (--anno) wins over the year the file gives.
ListSource xpweSource(const QString& path, std::optional<qint64> year = std::nullopt);

} // namespace builder
