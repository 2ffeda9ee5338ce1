#include "app/Swatch.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

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

void PaintSwatch(QPainter& painter, QSize size, const QColor& background, const QColor& colour) {
    painter.fillRect(QRect(QPoint(0, 0), size), background);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(colour);
    // The outline's right and bottom pixels lie on the last column and row, as a
    // rounded rectangle from (0, 0) to (width, height) with 8 x 8 corners does.
    painter.drawRoundedRect(QRect(0, 0, size.width() - 1, size.height() - 1), 4, 4);
}

void TSwatch::paintEvent(QPaintEvent*) {
    // Drawn straight into the window's own buffer, at the screen's device pixel ratio.
    // The corners outside the rounding show the strip's own background.
    QPainter painter(this);
    const QWidget* strip = parentWidget() ? parentWidget() : this;
    const QColor background = strip->palette().color(QPalette::Window);
    const QTransform& toDevice = painter.deviceTransform();
    const qreal ratio = toDevice.type() <= QTransform::TxScale ? toDevice.m11() : 0;
    if (ratio < 1 || ratio != std::floor(ratio) || toDevice.m22() != ratio) {
        PaintSwatch(painter, size(), background, ToQColor(color_));
        return;
    }
    // The outline and the corners stay as they are from one colour to the next: the
    // picture is drawn once, and each paint only refills the rows inside the outline.
    if (picture_.size() != size() * ratio || picture_.devicePixelRatio() != ratio || background_ != background)
        MakePicture(ratio, background);
    const QRgb fill = ToQColor(color_).rgb();
    for (std::size_t row = 0; row < inside_.size(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(int(row)));
        for (const TSpan& span : inside_[row]) std::fill(line + span.First, line + span.Last + 1, fill);
    }
    painter.drawImage(QPoint(0, 0), picture_);
}

void TSwatch::MakePicture(qreal ratio, const QColor& background) {
    // What the colour changes is found by drawing with two colours and comparing.
    const auto drawn = [&](const QColor& colour) {
        QImage image(size() * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        PaintSwatch(painter, size(), background, colour);
        return image;
    };
    picture_ = drawn(Qt::white);
    const QImage other = drawn(Qt::black);
    background_ = background;
    inside_.assign(std::size_t(picture_.height()), {});
    for (int y = 0; y < picture_.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(picture_.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(other.constScanLine(y));
        for (int x = 0; x < picture_.width(); ++x) {
            if (a[x] == b[x]) continue;
            std::vector<TSpan>& spans = inside_[std::size_t(y)];
            if (!spans.empty() && spans.back().Last == x - 1)
                spans.back().Last = x;
            else
                spans.push_back({x, x});
        }
    }
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
