#include "app/Magnifier.h"

#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QtMath>

#include <algorithm>
#include <cmath>

#include "app/GlyphLine.h"
#include "platform/Screen.h"

namespace tinctor {

namespace {

constexpr int CentreIndex = TMagnifier::Radius * TMagnifier::Side + TMagnifier::Radius;

QRect ScreenBounds(QPoint pointer) {
    if (QScreen* screen = QGuiApplication::screenAt(pointer)) return screen->geometry();
    if (QScreen* screen = QGuiApplication::primaryScreen()) return screen->geometry();
    return {};
}

QRgb ToRgb(TColor colour) {
    const TRGB rgb = SplitColor(colour);
    return qRgb(rgb.R, rgb.G, rgb.B);
}

// One axis of the place: after the pointer when the loupe fits there, else before it;
// on a screen too small for either, inside it at its far edge.
int PlaceOnAxis(int pointer, int length, int low, int high) {
    const int after = pointer + TMagnifier::Gap;
    if (after + length - 1 <= high) return after;
    const int before = pointer - TMagnifier::Gap - length + 1;
    if (before >= low) return before;
    return std::max(low, high - length + 1);
}

}  // namespace

TMagnifier::TMagnifier(QWidget* owner, IScreen& screen, TCodeOf codeOf)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      screen_(screen),
      codeOf_(std::move(codeOf)) {
    setObjectName(QStringLiteral("Magnifier"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(Size);
    readAgain_.setSingleShot(true);
    readAgain_.setInterval(ReadAgainDelay);
    connect(&readAgain_, &QTimer::timeout, this, [this] { ReadAgain(); });
}

QPoint TMagnifier::PlaceFor(QPoint pointer, QSize size, const QRect& bounds) {
    return {PlaceOnAxis(pointer.x(), size.width(), bounds.left(), bounds.right()),
            PlaceOnAxis(pointer.y(), size.height(), bounds.top(), bounds.bottom())};
}

void TMagnifier::Follow(QPoint pointer, std::optional<QPoint> devicePointer) {
    // Where the loupe was may still show it until the windows beneath repaint.
    const QRect covered = isVisible() ? frameGeometry() : QRect();
    move(PlaceFor(pointer, size(), ScreenBounds(pointer)));
    if (!isVisible()) show();
    Sample(pointer, devicePointer, covered);
}

std::optional<TColor> TMagnifier::Centre() const {
    return pixels_.size() == Side * Side ? pixels_[CentreIndex] : std::nullopt;
}

void TMagnifier::ReadAgain() {
    const bool centreCovered = centreCovered_;
    Sample(pointer_, devicePointer_, QRect());
    if (centreCovered && pixels_[CentreIndex] && OnLateCentre) OnLateCentre(*pixels_[CentreIndex]);
}

void TMagnifier::Sample(QPoint pointer, std::optional<QPoint> devicePointer, const QRect& covered) {
    pointer_ = pointer;
    devicePointer_ = devicePointer;
    if (devicePointer) screen_.DevicePixelsAround(*devicePointer, Radius, pixels_);
    else screen_.PixelsAround(pointer, Radius, pixels_);
    pixels_.resize(Side * Side);  // a screen that gave fewer leaves the rest unknown
    bool anyCovered = false;
    if (!covered.isEmpty()) {
        // Read at the device pointer, the pixels are the screen's own: under a scale factor
        // several go to one point. Read at a point, there is one pixel per point.
        const QScreen* screen = QGuiApplication::screenAt(pointer);
        const qreal pixelSize = devicePointer && screen ? 1.0 / screen->devicePixelRatio() : 1.0;
        for (int row = 0; row < Side; ++row)
            for (int column = 0; column < Side; ++column) {
                const QPointF at = QPointF(pointer) + QPointF(column - Radius, row - Radius) * pixelSize;
                if (covered.contains(QPoint(qFloor(at.x()), qFloor(at.y())))) {
                    pixels_[row * Side + column].reset();
                    anyCovered = true;
                }
            }
    }
    centreCovered_ = anyCovered && !pixels_[CentreIndex];
    const std::optional<TColor> centre = pixels_[CentreIndex];
    code_ = centre && codeOf_ ? codeOf_(*centre) : QString();
    update();
    if (anyCovered) readAgain_.start();
}

void TMagnifier::hideEvent(QHideEvent* event) {
    readAgain_.stop();  // the pick has ended
    QWidget::hideEvent(event);
}

void TMagnifier::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The border round the pixels and the code; everything within is painted over.
    painter.fillRect(QRect(0, 0, width(), Border), Qt::black);
    painter.fillRect(QRect(0, height() - Border, width(), Border), Qt::black);
    painter.fillRect(QRect(0, 0, Border, height()), Qt::black);
    painter.fillRect(QRect(width() - Border, 0, Border, height()), Qt::black);
    const QRect pixelArea(Border, Border, Side * Zoom, Side * Zoom);
    // The pixels enlarged into one picture at the device's own pixels, cell by cell
    // (copying rows is far cheaper than a scaled drawing, and as sharp at any whole
    // device pixel ratio); unknown pixels show as a hatch, never as a colour.
    const qreal ratio = painter.deviceTransform().m11();
    bool anyUnknown = false;
    const auto colourAt = [this, &anyUnknown](int row, int column) {
        const std::size_t at = static_cast<std::size_t>(row * Side + column);
        const std::optional<TColor> pixel = at < pixels_.size() ? pixels_[at] : std::nullopt;
        anyUnknown |= !pixel;
        return pixel ? ToRgb(*pixel) : qRgb(255, 255, 255);
    };
    if (ratio >= 1 && ratio == std::floor(ratio) && painter.deviceTransform().type() <= QTransform::TxScale) {
        const int cell = Zoom * int(ratio);
        if (enlarged_.width() != Side * cell) {
            enlarged_ = QImage(Side * cell, Side * cell, QImage::Format_RGB32);
            enlarged_.setDevicePixelRatio(ratio);
        }
        uchar* bits = enlarged_.bits();
        const qsizetype stride = enlarged_.bytesPerLine();
        for (int row = 0; row < Side; ++row) {
            auto* first = reinterpret_cast<QRgb*>(bits + row * cell * stride);
            for (int column = 0; column < Side; ++column) std::fill_n(first + column * cell, cell, colourAt(row, column));
            for (int line = 1; line < cell; ++line)
                std::copy_n(first, Side * cell, reinterpret_cast<QRgb*>(bits + (row * cell + line) * stride));
        }
        painter.drawImage(pixelArea.topLeft(), enlarged_);
    } else {
        QImage picture(Side, Side, QImage::Format_RGB32);
        for (int row = 0; row < Side; ++row) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(row));
            for (int column = 0; column < Side; ++column) line[column] = colourAt(row, column);
        }
        painter.drawImage(pixelArea, picture);
    }
    if (anyUnknown) {
        const QBrush unknown(Qt::gray, Qt::DiagCrossPattern);
        for (int row = 0; row < Side; ++row)
            for (int column = 0; column < Side; ++column) {
                const std::size_t at = static_cast<std::size_t>(row * Side + column);
                if (at < pixels_.size() && pixels_[at]) continue;
                painter.fillRect(QRect(pixelArea.left() + column * Zoom, pixelArea.top() + row * Zoom, Zoom, Zoom), unknown);
            }
    }
    // The centre framed by two one-pixel lines just outside its cell, black outside and
    // white inside, to stand out on any colour (a stroked rectangle spans one more pixel).
    const QRect centre(pixelArea.left() + Radius * Zoom, pixelArea.top() + Radius * Zoom, Zoom, Zoom);
    const auto frame = [&centre](int outset) { return centre.adjusted(-outset, -outset, outset - 1, outset - 1); };
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(frame(2));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame(1));

    const QRect codeArea(Border, pixelArea.bottom() + 1, pixelArea.width(), CodeHeight);
    painter.fillRect(codeArea, palette().brush(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    // Centred on whole pixels and drawn from the glyphs kept per character (the painter
    // shapes and lays out each new code again).
    const TGlyphLine& line = TGlyphLine::Of(font());
    const std::optional<int> width = line.Width(code_);
    if (!width || !line.Draw(painter, codeArea.adjusted((codeArea.width() - *width) / 2, 0, 0, 0),
                             Qt::AlignLeft | Qt::AlignVCenter, code_))
        painter.drawText(codeArea, Qt::AlignCenter, code_);
}

}  // namespace tinctor
