#include "app/LoupePick.h"

#include "app/Magnifier.h"

namespace tinctor {

TLoupePick::TLoupePick(QWidget* control, QCursor cursor, QWidget* spoitImage, TSetColor setCurrentColor,
                       IPointer& pointer, IScreen& screen, TMagnifier* loupe)
    : TTinctorMouse(control, std::move(cursor), spoitImage, setCurrentColor, pointer, screen),
      setCurrentColor_(setCurrentColor),
      loupe_(loupe) {
    // A centre pixel that the loupe itself still covered is picked once it is read.
    if (loupe_) loupe_->OnLateCentre = [this, setCurrentColor](TColor colour) {
        if (Capturing() && setCurrentColor) setCurrentColor(colour);
    };
}

TLoupePick::~TLoupePick() {
    // The base class ends a running pick without knowing of the loupe.
    if (loupe_) {
        loupe_->OnLateCentre = nullptr;
        loupe_->hide();
    }
}

void TLoupePick::BeginCapture() {
    TTinctorMouse::BeginCapture();
    if (loupe_ && loupeShown_) loupe_->Follow(Pointer().Pos(), Pointer().DevicePos());
}

void TLoupePick::CaptureMove(QMouseEvent* message) {
    if (!loupe_ || !loupeShown_) return TTinctorMouse::CaptureMove(message);
    // The loupe moves first, so that it is out of the way of the pixel picked, and reads
    // the device pixels around the one under the hot spot: its centre is the pick, so
    // one read of the screen serves both. A centre the loupe still covered is picked
    // once it is read again (OnLateCentre); off every screen the colour stays.
    loupe_->Follow(Pointer().Pos(), Pointer().DevicePos());
    if (const std::optional<TColor> centre = loupe_->Centre(); centre && setCurrentColor_) setCurrentColor_(*centre);
}

void TLoupePick::EndCapture() {
    if (loupe_) loupe_->hide();
    TTinctorMouse::EndCapture();
}

}  // namespace tinctor
