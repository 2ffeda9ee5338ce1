#include "app/CircleShape.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/Swatch.h"

namespace tinctor {

TCircleShape::TCircleShape(TColor color, QWidget* parent) : QWidget(parent), color_(color) {}

void TCircleShape::SetColor(TColor color) {
    color_ = color;
    update();
}

void TCircleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(ToQColor(color_));
    const int side = std::min(width(), height()) - 1;
    painter.drawEllipse(QRectF((width() - side) / 2.0, (height() - side) / 2.0, side, side).adjusted(0.5, 0.5, -0.5, -0.5));
}

void TCircleShape::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) emit mouseUp(event->button());
}

}  // namespace tinctor
