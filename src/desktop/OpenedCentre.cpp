#include "desktop/OpenedCentre.h"

#include <QWidget>

#include "desktop/CompactMode.h"

namespace tinctor {

TOpenedCentre::TOpenedCentre(QWidget& form, IPointer& pointer) : QObject(&form), form_(form), pointer_(pointer) {
    timer_.setInterval(TickMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Check(); });
}

void TOpenedCentre::Centre() {
    Place(FrameMarginsOf(form_));
    ticksLeft_ = WatchMs / TickMs;
    timer_.start();
}

void TOpenedCentre::Place(const QMargins& margins) {
    margins_ = margins;
    // The open client area in the frame's margins: the toolkit may still hold the
    // folded frame's height.
    placed_ = FrameCentre(form_.geometry(), margins);
    pointer_.SetPos(placed_);
}

void TOpenedCentre::Check() {
    // A pointer the user has taken elsewhere stays there.
    if (pointer_.Pos() != placed_ || --ticksLeft_ <= 0) {
        timer_.stop();
        return;
    }
    const QMargins margins = FrameMarginsOf(form_);
    if (margins == margins_) return;
    Place(margins);
    timer_.stop();
}

}  // namespace tinctor
