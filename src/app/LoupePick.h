// Screen picking with the loupe: the eyedropper's pick, and while it runs the loupe
// beside the pointer (when the settings want it), closed when the pick ends.
#pragma once

#include <QPointer>

#include "desktop/TinctorMouse.h"

namespace tinctor {

class TMagnifier;

class TLoupePick final : public TTinctorMouse {
public:
    TLoupePick(QWidget* control, QCursor cursor, QWidget* spoitImage, TSetColor setCurrentColor, IPointer& pointer,
               IScreen& screen, TMagnifier* loupe);
    ~TLoupePick() override;

    // The setting: whether picks show the loupe.
    void SetLoupeShown(bool shown) { loupeShown_ = shown; }

protected:
    void BeginCapture() override;
    void CaptureMove(QMouseEvent* message) override;
    void EndCapture() override;

private:
    TSetColor setCurrentColor_;
    QPointer<TMagnifier> loupe_;
    bool loupeShown_ = true;
};

}  // namespace tinctor
