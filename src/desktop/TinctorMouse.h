// The screen pick: while the mouse is captured, every movement samples the screen
// pixel under the hot spot and makes it the current colour. The eyedropper image is
// taken out of its holder (hidden) for the pick.
#pragma once

#include <cstdint>
#include <functional>

#include "colour/stdColors.h"
#include "desktop/MouseCapture.h"
#include "platform/Screen.h"

namespace tinctor {

class TTinctorMouse : public TMouseCapture {
public:
    // The main window's SetCurrentColor.
    using TSetColor = std::function<void(TColor color)>;

    TTinctorMouse(QWidget* control, QCursor cursor, QWidget* spoitImage, TSetColor setCurrentColor,
                  IPointer& pointer, IScreen& screen);
    ~TTinctorMouse() override;

protected:
    void BeginCapture() override;
    void CaptureMove(QMouseEvent* message) override;
    void EndCapture() override;

private:
    QPointer<QWidget> spoitImage_;
    TSetColor setCurrentColor_;
    IScreen& screen_;
};

}  // namespace tinctor
