// Taking the mouse for one widget: between StartCapture and the next button release
// every mouse movement anywhere on the screen reaches the widget, and the capture
// cursor is shown.
#pragma once

#include <QCursor>

#include "desktop/SubClass.h"
#include "platform/Pointer.h"

class QMouseEvent;

namespace tinctor {

class TMouseCapture : public TSubClass {
public:
    TMouseCapture(QWidget* control, QCursor cursor, IPointer& pointer);
    // Ends a capture still running.
    ~TMouseCapture() override;

    // Called from a mouse press (any button) on the part that starts the capture.
    void StartCapture() { BeginCapture(); }
    bool Capturing() const { return capturing_; }
    const QCursor& Cursor() const { return cursor_; }

protected:
    bool WndProc(QEvent* message) override;
    virtual void BeginCapture();
    virtual void CaptureMove(QMouseEvent* message);
    virtual void EndCapture();

    IPointer& Pointer() const { return pointer_; }

private:
    QCursor cursor_;
    IPointer& pointer_;
    bool capturing_ = false;
    bool wasTracking_ = false;
};

}  // namespace tinctor
