#pragma once

#include <QIcon>

namespace app {

// The program's icon, drawn from the same SVG as the desktop entry's, at the sizes desktops ask for.
QIcon programIcon();

} // namespace app
