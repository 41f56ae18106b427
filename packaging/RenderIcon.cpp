// prezzario-render-icon SVG SIZE PNG: draws the program's icon at SIZE x SIZE pixels for the icon theme.
// Runs at build time; not installed.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool sizeOk = false;
    const int size = arguments.value(2).toInt(&sizeOk);
    if (arguments.size() != 4 || !sizeOk || size < 1 || size > 4096) {
        std::fputs("usage: prezzario-render-icon SVG SIZE PNG\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "prezzario-render-icon: %s is not a valid SVG file\n", qUtf8Printable(arguments[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(arguments[3], "PNG")) {
        std::fprintf(stderr, "prezzario-render-icon: cannot write %s\n", qUtf8Printable(arguments[3]));
        return 1;
    }
    return 0;
}
