#include "app/Swatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace tinctor {

QColor ToQColor(TColor color) {
    const TRGB rgb = SplitColor(color);
    return QColor(rgb.R, rgb.G, rgb.B);
}

TSwatch::TSwatch(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void TSwatch::SetColor(TColor color) {
    color_ = color;
    update();
}

void TSwatch::paintEvent(QPaintEvent*) {
    // Drawn straight into the window's own buffer, at the screen's device pixel ratio.
    // The corners outside the rounding show the strip's own background.
    QPainter painter(this);
    const QWidget* strip = parentWidget() ? parentWidget() : this;
    painter.fillRect(rect(), strip->palette().color(QPalette::Window));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(ToQColor(color_));
    // The outline's right and bottom pixels lie on the last column and row, as a
    // rounded rectangle from (0, 0) to (width, height) with 8 x 8 corners does.
    painter.drawRoundedRect(QRect(0, 0, width() - 1, height() - 1), 4, 4);
}

void TSwatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
}

void TSwatch::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}  // namespace tinctor
