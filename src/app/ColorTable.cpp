#include "app/ColorTable.h"

#include <QFile>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

#include <utility>

#include "app/Gradient.h"
#include "platform/Dialogs.h"
#include "platform/Screen.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

// The gradient's pixels go straight into the bitmap's rows.
class TImageCanvas final : public TPixelCanvas {
public:
    explicit TImageCanvas(QImage& image) : image_(image) {}
    void SetPixel(int x, int y, TColor c) override {
        if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
        const TRGB rgb = SplitColor(c);
        reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = qRgb(rgb.R, rgb.G, rgb.B);
    }

private:
    QImage& image_;
};

}  // namespace

TColorTable::TColorTable(QWidget* parent) : QWidget(parent) {
    // The table paints every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TColorTable::LoadColorTable(const std::string& map) {
    if (!map.empty() && FileExists(map)) {
        switch (LoadPicture(map)) {
            case TLoadResult::Loaded:
                return;
            case TLoadResult::NotAPicture:
                MessageError(CannotShowPictureMessage);
                break;
            case TLoadResult::Unreadable:
                // The table still shows something; the reason goes to the error box.
                ShowGradient();
                throw EColorTableError("ファイル \"" + map + "\" を読み込めません。");
        }
    }
    ShowGradient();
}

TColorTable::TLoadResult TColorTable::LoadPicture(const std::string& fileName) {
    // The reader picks the format by the file's extension and falls back on its contents.
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(fileName)));
    const QImage image = reader.read();
    if (image.isNull()) {
        const QImageReader::ImageReaderError error = reader.error();
        return error == QImageReader::FileNotFoundError || error == QImageReader::DeviceError
                   ? TLoadResult::Unreadable
                   : TLoadResult::NotAPicture;
    }
    SetPicture(image.convertToFormat(QImage::Format_RGB32));
    return TLoadResult::Loaded;
}

void TColorTable::ShowGradient() {
    // A picture loaded earlier gives way to a bitmap of the table's own size, so no
    // stale part of it stays beside the gradient.
    // It is drawn at the screen's device pixels, so that it is as fine as the screen.
    const QSize device = DeviceSize();
    QImage bitmap = picture_.size() == device ? std::move(picture_) : QImage(device, QImage::Format_RGB32);
    shown_ = QImage();  // so that the bitmap is not shared while it is drawn
    TImageCanvas canvas(bitmap);
    DrawGradient(TRect{0, 0, device.width(), device.height()}, canvas, GradientTopLeft, GradientBottomRight, GradientBottomLeft,
                 GradientTopRight);
    SetPicture(std::move(bitmap));
}

QSize TColorTable::DeviceSize() const { return size() * devicePixelRatioF(); }

void TColorTable::SetPicture(QImage picture) {
    picture_ = std::move(picture);
    Stretch();
}

void TColorTable::Stretch() {
    // Nearest pixels, so the colours of a swatch picture stay exactly as they are.
    // At the screen's device pixels, so that nothing is stretched again when painted.
    const QSize device = DeviceSize();
    shown_ = picture_.isNull() || picture_.size() == device
                 ? picture_
                 : picture_.scaled(device, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    shown_.setDevicePixelRatio(devicePixelRatioF());
    update();
}

std::optional<TColor> TColorTable::PixelAt(QPoint pos) const {
    // The first device pixel of the table pixel at Pos.
    const QPoint at = pos * shown_.devicePixelRatio();
    if (!rect().contains(pos) || !shown_.rect().contains(at)) return std::nullopt;
    return ArgbToColor(reinterpret_cast<const QRgb*>(shown_.constScanLine(at.y()))[at.x()]);
}

void TColorTable::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (shown_.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(0, 0, shown_);
}

void TColorTable::resizeEvent(QResizeEvent*) { Stretch(); }

// The table pixel under the pointer: a position just left of or above the table is outside it.
static QPoint PixelPosition(const QMouseEvent* event) {
    return QPoint(qFloor(event->position().x()), qFloor(event->position().y()));
}

void TColorTable::mousePressEvent(QMouseEvent* event) { emit MouseDown(event->button(), PixelPosition(event)); }

void TColorTable::mouseMoveEvent(QMouseEvent* event) { emit MouseMove(PixelPosition(event)); }

void TColorTable::mouseReleaseEvent(QMouseEvent* event) { emit MouseUp(event->button(), PixelPosition(event)); }

}  // namespace tinctor
