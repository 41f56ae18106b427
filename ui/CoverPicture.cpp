#include "ui/CoverPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ui {

CoverPicture::CoverPicture(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(false);
}

void CoverPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = width();
    const qreal h = height();

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(0x1d, 0x4e, 0x89));
    sky.setColorAt(0.55, QColor(0x8f, 0xb8, 0xde));
    sky.setColorAt(1.0, QColor(0xe8, 0xd9, 0xb5));
    p.fillRect(rect(), sky);

    // Mountains behind the valley.
    QPainterPath far;
    far.moveTo(0, h * 0.62);
    far.lineTo(w * 0.12, h * 0.40);
    far.lineTo(w * 0.25, h * 0.52);
    far.lineTo(w * 0.40, h * 0.33);
    far.lineTo(w * 0.58, h * 0.50);
    far.lineTo(w * 0.72, h * 0.36);
    far.lineTo(w * 0.88, h * 0.49);
    far.lineTo(w, h * 0.42);
    far.lineTo(w, h);
    far.lineTo(0, h);
    p.fillPath(far, QColor(0x5b, 0x6f, 0x7d));

    QPainterPath near;
    near.moveTo(0, h * 0.70);
    near.cubicTo(w * 0.2, h * 0.62, w * 0.35, h * 0.80, w * 0.5, h * 0.78);
    near.cubicTo(w * 0.65, h * 0.76, w * 0.8, h * 0.64, w, h * 0.68);
    near.lineTo(w, h);
    near.lineTo(0, h);
    p.fillPath(near, QColor(0x4c, 0x7a, 0x3f));

    // A viaduct of five arches across the valley.
    const qreal deckY = h * 0.60;
    const qreal deckH = h * 0.03;
    const QColor stone(0xd8, 0xcf, 0xbd);
    p.fillRect(QRectF(0, deckY, w, deckH), stone.darker(115));
    const int arches = 5;
    const qreal span = w / arches;
    for (int i = 0; i < arches; ++i) {
        QPainterPath arch;
        const qreal x0 = i * span;
        arch.moveTo(x0, deckY + deckH);
        arch.lineTo(x0 + span, deckY + deckH);
        arch.lineTo(x0 + span, h * 0.95);
        arch.lineTo(x0 + span * 0.88, h * 0.95);
        arch.quadTo(x0 + span * 0.5, deckY - h * 0.02, x0 + span * 0.12, h * 0.95);
        arch.lineTo(x0, h * 0.95);
        arch.closeSubpath();
        p.fillPath(arch, stone);
    }

    // Title band.
    const QRectF band(0, h * 0.08, w, h * 0.2);
    p.fillRect(band, QColor(255, 255, 255, 190));
    QFont title = font();
    title.setBold(true);
    title.setPixelSize(qMax(12, int(h * 0.075)));
    p.setFont(title);
    p.setPen(QColor(0x7a, 0x10, 0x10));
    p.drawText(band.adjusted(0, 0, 0, -band.height() * 0.4), Qt::AlignCenter, QStringLiteral("Prezzario Regione Vallorsa"));
    QFont subtitle = font();
    subtitle.setPixelSize(qMax(10, int(h * 0.035)));
    p.setFont(subtitle);
    p.setPen(QColor(0x20, 0x30, 0x40));
    p.drawText(band.adjusted(0, band.height() * 0.55, 0, 0), Qt::AlignCenter,
               QStringLiteral("Elenco regionale dei prezzi delle opere pubbliche"));
}

} // namespace ui
