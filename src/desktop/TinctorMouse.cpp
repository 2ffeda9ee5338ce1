#include "desktop/TinctorMouse.h"

namespace tinctor {

TTinctorMouse::TTinctorMouse(QWidget* control, QCursor cursor, QWidget* spoitImage, TSetColor setCurrentColor,
                             IPointer& pointer, IScreen& screen)
    : TMouseCapture(control, std::move(cursor), pointer),
      spoitImage_(spoitImage),
      setCurrentColor_(std::move(setCurrentColor)),
      screen_(screen) {}

TTinctorMouse::~TTinctorMouse() {
    // The base destructor would call the base EndCapture only; the image comes back here.
    try {
        if (Capturing()) EndCapture();
    } catch (...) {
    }
}

void TTinctorMouse::BeginCapture() {
    TMouseCapture::BeginCapture();
    if (spoitImage_) spoitImage_->hide();
}

void TTinctorMouse::CaptureMove(QMouseEvent*) {
    // The device pixel under the hot spot, never a neighbour a scale factor rounds to.
    // Where no screen shows a pixel the colour stays as it is.
    if (auto pixel = screen_.DevicePixelAt(Pointer().DevicePos()); pixel && setCurrentColor_)
        setCurrentColor_(*pixel);
}

void TTinctorMouse::EndCapture() {
    if (spoitImage_) spoitImage_->show();
    TMouseCapture::EndCapture();
}

}  // namespace tinctor
