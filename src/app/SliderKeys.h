// The keyboard on a focused slider: the arrow keys move it by one and Page Up/Down by
// a keyboard page, as users expect of sliders; each move goes through the slider's
// user action, so the window handles it like a drag.
#pragma once

#include <QObject>

class QAbstractSlider;

namespace tinctor {

class TSliderKeys : public QObject {
public:
    // The step of Page Up and Page Down (the mouse's large step is the slider's own).
    static constexpr int KeyboardPage = 16;

    // Takes the keys of Slider (which becomes focusable) for as long as it lives.
    explicit TSliderKeys(QAbstractSlider* slider);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractSlider* slider_;
};

}  // namespace tinctor
