#include "import/XpweComputo.h"

#include "core/PriceList.h"

namespace import {

XpweReading readXpweComputo(const QString& path, const core::PriceList& list, const QString& name)
{
    Q_UNUSED(list);
    Q_UNUSED(name);
    XpweReading reading;
    reading.problems << QStringLiteral("«%1»: lettura dei computi XPWE non ancora disponibile").arg(path);
    return reading;
}

} // namespace import
