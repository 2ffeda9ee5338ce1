#include "desktop/MouseCapture.h"

#include <QMouseEvent>

namespace tinctor {

TMouseCapture::TMouseCapture(QWidget* control, QCursor cursor, IPointer& pointer)
    : TSubClass(control), cursor_(std::move(cursor)), pointer_(pointer) {}

TMouseCapture::~TMouseCapture() {
    // Destructors never throw: a failing release is dropped.
    try {
        if (capturing_) EndCapture();
    } catch (...) {
    }
}

bool TMouseCapture::WndProc(QEvent* message) {
    switch (message->type()) {
        case QEvent::MouseMove:
            // The grab shows the capture cursor; nothing is set per movement.
            if (capturing_) CaptureMove(static_cast<QMouseEvent*>(message));
            break;
        case QEvent::MouseButtonRelease:
            if (capturing_) EndCapture();
            break;
        default:
            break;
    }
    return TSubClass::WndProc(message);
}

void TMouseCapture::BeginCapture() {
    capturing_ = true;
    if (QWidget* control = Control()) {
        // Moves without a button held reach the control only while it tracks the mouse.
        wasTracking_ = control->hasMouseTracking();
        control->setMouseTracking(true);
        pointer_.Grab(*control, cursor_);
    }
}

void TMouseCapture::CaptureMove(QMouseEvent*) {}

void TMouseCapture::EndCapture() {
    // Releasing the grab brings the control's own (arrow) cursor back.
    if (QWidget* control = Control()) {
        pointer_.Release(*control);
        control->setMouseTracking(wasTracking_);
    }
    capturing_ = false;
}

}  // namespace tinctor
