#include "desktop/SpoitCursor.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace tinctor {

QPoint SpoitHotPixel(qreal ratio) {
    return QPoint(qFloor(SpoitHotSpot.x() * ratio), qFloor(SpoitHotSpot.y() * ratio));
}

QPixmap SpoitPicture(qreal ratio) {
    const int side = qCeil(SpoitSide * ratio);
    QPixmap picture(side, side);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn lying along the x axis from the tip, then turned up to the right; the tip
    // is the centre of the hot spot's device pixel.
    const QPoint hot = SpoitHotPixel(ratio);
    p.translate((hot.x() + 0.5) / ratio, (hot.y() + 0.5) / ratio);
    p.rotate(-45);
    const QPen outline(QColor(0, 0, 0), 1.0);

    // The tip: a short black point.
    QPainterPath tip;
    tip.moveTo(-1, 0);
    tip.lineTo(6, -1.3);
    tip.lineTo(6, 1.3);
    tip.closeSubpath();
    p.fillPath(tip, QColor(0, 0, 0));

    // The glass tube, with the drawn-up colour in its lower part.
    p.setPen(outline);
    p.setBrush(QColor(224, 240, 255));
    p.drawRect(QRectF(6, -2.5, 12, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 96, 224));
    p.drawRect(QRectF(6.5, -2, 5.5, 4));

    // The collar and the rubber bulb.
    p.setPen(outline);
    p.setBrush(QColor(96, 96, 96));
    p.drawRect(QRectF(18, -4, 3, 8));
    p.setBrush(QColor(200, 32, 32));
    p.drawRoundedRect(QRectF(21, -4, 9, 8), 3.5, 3.5);
    p.setPen(QPen(QColor(255, 160, 160), 1.0));
    p.drawLine(QPointF(23, -2), QPointF(28, -2));  // the light on the bulb
    return picture;
}

QCursor SpoitCursor() {
    // The X server takes the hot spot as it is given, in the picture's device pixels.
    const qreal ratio = qGuiApp->devicePixelRatio();
    const QPoint hot = SpoitHotPixel(ratio);
    return QCursor(SpoitPicture(ratio), hot.x(), hot.y());
}

}  // namespace tinctor
