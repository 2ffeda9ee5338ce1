#include "app/TopStrip.h"

#include <QPaintEvent>
#include <QPainter>

namespace tinctor {

TTopStrip::TTopStrip(QWidget* parent) : QWidget(parent) {
    // Nothing is filled for us: the swatches and paintEvent cover every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void TTopStrip::paintEvent(QPaintEvent* event) {
    const int left = swatchEnd_ ? swatchEnd_->geometry().right() + 1 : 0;
    const QRect background = QRect(left, 0, width() - left, height()).intersected(event->rect());
    if (background.isEmpty()) return;
    QPainter(this).fillRect(background, palette().brush(QPalette::Window));
}

}  // namespace tinctor
