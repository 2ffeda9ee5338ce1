#include "app/LoupePick.h"

#include "app/Magnifier.h"

namespace tinctor {

TLoupePick::TLoupePick(QWidget* control, QCursor cursor, QWidget* spoitImage, TSetColor setCurrentColor,
                       IPointer& pointer, IScreen& screen, TMagnifier* loupe)
    : TTinctorMouse(control, std::move(cursor), spoitImage, setCurrentColor, pointer, screen), loupe_(loupe) {
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
    if (loupe_ && loupeShown_) loupe_->Follow(Pointer().Pos());
}

void TLoupePick::CaptureMove(QMouseEvent* message) {
    // The loupe moves first, so that it is out of the way of the pixel picked.
    if (loupe_ && loupeShown_) loupe_->Follow(Pointer().Pos());
    TTinctorMouse::CaptureMove(message);
}

void TLoupePick::EndCapture() {
    if (loupe_) loupe_->hide();
    TTinctorMouse::EndCapture();
}

}  // namespace tinctor
