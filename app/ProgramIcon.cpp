#include "app/ProgramIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace app {

QIcon programIcon()
{
    QSvgRenderer renderer(QStringLiteral(":/icons/prezzario.svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    // Rendered here rather than through Qt's SVG icon plugin, which a desktop may lack.
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace app
