#include "desktop/SubClass.h"

#include "platform/ErrorGuard.h"

namespace tinctor {

TSubClass::TSubClass(QWidget* control) : control_(control) {
    if (control_) control_->installEventFilter(this);
}

TSubClass::~TSubClass() {
    if (control_) control_->removeEventFilter(this);
}

bool TSubClass::WndProc(QEvent*) { return false; }

bool TSubClass::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_) return false;
    bool handled = false;
    Guarded([&] { handled = WndProc(event); });
    return handled;
}

TEventSubClass::TEventSubClass(QWidget* control, THandler handler)
    : TSubClass(control), handler_(std::move(handler)) {}

bool TEventSubClass::WndProc(QEvent* message) {
    bool callDefault = true;
    if (handler_) handler_(callDefault, message);
    return callDefault ? TSubClass::WndProc(message) : true;
}

}  // namespace tinctor
