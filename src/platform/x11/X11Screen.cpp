#include "platform/x11/X11Screen.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

namespace tinctor {

std::optional<TColor> TX11Screen::PixelAt(QPoint pos) {
    QScreen* screen = QGuiApplication::screenAt(pos);
    if (!screen) return std::nullopt;
    // Window 0 is the root window, which spans the whole desktop: global coordinates.
    const QImage image = screen->grabWindow(0, pos.x(), pos.y(), 1, 1).toImage();
    if (image.width() < 1 || image.height() < 1) return std::nullopt;
    return ArgbToColor(image.pixel(0, 0));
}

}  // namespace tinctor
