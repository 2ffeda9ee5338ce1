// The hot key's jump to the centre of the window it has just opened. The window
// manager draws the frame of the opened window a moment after the window grows, and
// that frame may differ from the folded one (a resize grip at the bottom only while
// the height may change), so the pointer goes to the centre at once and again when
// the frame changes, unless the user has moved it meanwhile.
#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QTimer>

#include "platform/Pointer.h"

class QWidget;

namespace tinctor {

class TOpenedCentre : public QObject {
public:
    // How long the frame of the opened window is watched, and how often.
    static constexpr int WatchMs = 1000;
    static constexpr int TickMs = 10;

    // A child of Form.
    TOpenedCentre(QWidget& form, IPointer& pointer);

    // Puts the pointer at the centre of the form's frame and watches the frame.
    void Centre();
    bool Watching() const { return timer_.isActive(); }

private:
    void Check();
    void Place(const QMargins& margins);

    QWidget& form_;
    IPointer& pointer_;
    QTimer timer_;
    QMargins margins_;
    QPoint placed_;
    int ticksLeft_ = 0;
};

}  // namespace tinctor
