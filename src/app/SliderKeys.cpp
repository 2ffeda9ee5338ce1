#include "app/SliderKeys.h"

#include <QAbstractSlider>
#include <QKeyEvent>

namespace tinctor {

TSliderKeys::TSliderKeys(QAbstractSlider* slider) : QObject(slider), slider_(slider) {
    slider->setFocusPolicy(Qt::StrongFocus);
    slider->installEventFilter(this);
}

bool TSliderKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != slider_ || event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    int step = 0;
    switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Down: step = -1; break;
        case Qt::Key_Right:
        case Qt::Key_Up: step = 1; break;
        case Qt::Key_PageDown: step = -KeyboardPage; break;
        case Qt::Key_PageUp: step = KeyboardPage; break;
        default: return false;
    }
    // setSliderPosition clamps to the range and, as the slider tracks, raises the same
    // user action as a drag, which the window handles.
    slider_->setSliderPosition(slider_->sliderPosition() + step);
    return true;
}

}  // namespace tinctor
