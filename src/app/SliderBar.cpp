#include "app/SliderBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionSlider>

#include <cmath>

namespace tinctor {

namespace {

// The bar as the style draws it with Option, at Ratio device pixels per pixel.
QImage DrawnByStyle(const QWidget* bar, const QStyleOptionSlider& option, qreal ratio) {
    QImage image(bar->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    bar->style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, bar);
    return image;
}

QRgb Pixel(const QImage& image, int x, int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]; }

bool SameColumns(const QImage& a, int x, const QImage& b, int bx) {
    for (int y = 0; y < a.height(); ++y)
        if (Pixel(a, x, y) != Pixel(b, bx, y)) return false;
    return true;
}

bool Opaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(Pixel(image, x, y)) != 255) return false;
    return true;
}

// The picture in the format copied without blending when it covers every pixel.
QImage Opaqued(QImage image, bool opaque) {
    if (opaque) image.convertTo(QImage::Format_RGB32);
    return image;
}

}  // namespace

TSliderBar::TSliderBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

void TSliderBar::paintEvent(QPaintEvent* event) {
    // Under the mouse or pressed the style marks the part concerned (which only it
    // knows), so it paints those states itself.
    fromPictures_ = !underMouse() && !pressed_;
    if (fromPictures_) {
        QStyleOptionSlider option;
        initStyleOption(&option);
        option.subControls = QStyle::SC_All;  // as the scroll bar's own paint asks
        QPainter painter(this);
        // What is painted on decides the pixels (the window's buffer, or a picture of it):
        // its scale is the device pixel ratio.
        const QTransform& toDevice = painter.deviceTransform();
        const qreal ratio = toDevice.type() <= QTransform::TxScale && toDevice.m11() == toDevice.m22() ? toDevice.m11() : 0;
        const QRect handle = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
        const TLook look{size(), ratio, palette().cacheKey(), int(option.state), int(option.activeSubControls),
                         handle.width()};
        if (!(look == look_)) {
            look_ = look;
            usable_ = DrawPictures(look, option);
        }
        fromPictures_ = usable_;
        if (fromPictures_) {
            const int at = qRound(handle.x() * ratio) + handleLeft_;
            if (at >= uniformLow_ && at + handle_.width() - 1 <= uniformHigh_) {
                painter.drawImage(QPoint(0, 0), bare_);
                painter.drawImage(QPointF(at / ratio, 0), handle_);
            } else {
                // Near an end the handle meets the style's edge of the groove: the few
                // places there keep a whole picture each.
                QImage& whole = ends_[at];
                if (whole.isNull()) whole = Opaqued(DrawnByStyle(this, option, ratio), opaque_);
                painter.drawImage(QPoint(0, 0), whole);
            }
            return;
        }
    }
    QScrollBar::paintEvent(event);
}

void TSliderBar::mousePressEvent(QMouseEvent* event) {
    pressed_ = true;
    QScrollBar::mousePressEvent(event);
}

void TSliderBar::mouseReleaseEvent(QMouseEvent* event) {
    pressed_ = event->buttons() != Qt::NoButton;
    QScrollBar::mouseReleaseEvent(event);
}

bool TSliderBar::DrawPictures(const TLook& look, const QStyleOptionSlider& option) {
    ends_.clear();
    // Only whole device pixels per pixel keep the copies exact.
    if (look.Ratio < 1 || look.Ratio != std::floor(look.Ratio) || size().isEmpty()) return false;
    const int ratio = int(look.Ratio);
    QStyleOptionSlider bareOption = option;
    bareOption.subControls &= ~QStyle::SC_ScrollBarSlider;
    bare_ = DrawnByStyle(this, bareOption, look.Ratio);
    // The handle drawn in the middle of the groove, clear of its ends.
    QStyleOptionSlider middleOption = option;
    middleOption.sliderPosition = middleOption.sliderValue = (option.minimum + option.maximum) / 2;
    const QRect handle =
        style()->subControlRect(QStyle::CC_ScrollBar, &middleOption, QStyle::SC_ScrollBarSlider, this);
    const QImage whole = DrawnByStyle(this, middleOption, look.Ratio);

    // The handle is the columns where the two differ.
    int first = -1, last = -1;
    for (int x = 0; x < whole.width(); ++x)
        if (!SameColumns(whole, x, bare_, x)) {
            if (first < 0) first = x;
            last = x;
        }
    if (first < 0) return false;
    // The handle's copy may go wherever the groove beneath it looks as it does in its
    // middle; next to the arrows the style draws edges of its own.
    const QRect groove = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, this);
    const int middle = (groove.left() + groove.width() / 2) * ratio;
    uniformLow_ = uniformHigh_ = middle;
    while (uniformLow_ > groove.left() * ratio && SameColumns(bare_, uniformLow_ - 1, bare_, middle)) --uniformLow_;
    while (uniformHigh_ < (groove.right() + 1) * ratio - 1 && SameColumns(bare_, uniformHigh_ + 1, bare_, middle))
        ++uniformHigh_;
    // The handle as drawn must itself lie on that groove, or its copy carries other pixels.
    if (first < uniformLow_ || last > uniformHigh_) return false;

    handleLeft_ = first - handle.x() * ratio;
    handle_ = whole.copy(first, 0, last - first + 1, whole.height());
    handle_.setDevicePixelRatio(look.Ratio);
    // A bar that covers every pixel of itself is copied, not blended, and needs nothing beneath.
    opaque_ = Opaque(bare_) && Opaque(handle_);
    bare_ = Opaqued(std::move(bare_), opaque_);
    handle_ = Opaqued(std::move(handle_), opaque_);
    setAttribute(Qt::WA_OpaquePaintEvent, opaque_);
    return true;
}

}  // namespace tinctor
