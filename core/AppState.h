#pragma once

#include "core/PriceList.h"

#include <QString>

namespace core {

// The state shared by every window for the whole run: the open price list and its year. One instance lives
// in main() and is handed to each window.
struct AppState
{
    PriceList priceList;
    QString AnnoPrezzario;
};

} // namespace core
