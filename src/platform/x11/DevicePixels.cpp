#include "platform/x11/DevicePixels.h"

#include <QGuiApplication>
#include <QScreen>

namespace tinctor {

namespace {

QRect DeviceGeometry(const QScreen& screen) {
    const QRect global = screen.geometry();
    return QRect(global.topLeft(), global.size() * screen.devicePixelRatio());
}

}  // namespace

QPoint DevicePixel(const QScreen& screen, QPoint pos) {
    const QPoint origin = screen.geometry().topLeft();
    return origin + (pos - origin) * screen.devicePixelRatio();
}

QPoint GlobalPoint(const QScreen& screen, QPoint pixel) {
    const QPoint origin = screen.geometry().topLeft();
    return origin + (pixel - origin) / screen.devicePixelRatio();
}

QScreen* ScreenAtDevicePixel(QPoint pixel) {
    for (QScreen* screen : QGuiApplication::screens())
        if (DeviceGeometry(*screen).contains(pixel)) return screen;
    return nullptr;
}

}  // namespace tinctor
