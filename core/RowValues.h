#pragma once

#include "core/PriceList.h"
#include "core/Recordset.h"
#include "core/Text.h"

#include <optional>

namespace core {

// Typed values of the current row, for the library's own queries.

inline Text textAt(const Recordset& rs, int i)
{
    return rs.IsNull(i) ? Text() : Text::fromUtf8(rs.Utf8(i));
}

inline std::optional<double> numberAt(const Recordset& rs, int i)
{
    const Field field = rs.Fields(i);
    if (field.IsNull())
        return std::nullopt;
    return field.toDouble();
}

// Six columns from 'first' on: codice_totale, subarticolo, simbolo, prezzo_lordo, incidenza_manodopera,
// somma_manodopera.
inline Subarticle subarticleAt(const Recordset& rs, int first)
{
    return {rs.Fields(first).Text(),   textAt(rs, first + 1),   textAt(rs, first + 2),
            numberAt(rs, first + 3), numberAt(rs, first + 4), numberAt(rs, first + 5)};
}

} // namespace core
