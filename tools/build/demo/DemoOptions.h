#pragma once

#include <QtGlobal>

namespace builder {

struct DemoOptions
{
    qint64 rows = 30000; // subarticle rows, exactly
    quint32 seed = 2021; // the same seed gives the same price list
};

// Largest --rows the demo generator accepts: its chapter and article codes stay within the
// letter-plus-two-digits range up to here.
inline constexpr qint64 kMaxDemoRows = 10'000'000;

} // namespace builder
