// The labels beside the red, green and blue sliders. Each carries the flag that says
// whether its channel follows the brightness slider; a click toggles it. A following
// channel's label is transparent, a held one sits on the button-shadow colour so the
// user sees which channels stay still.
#pragma once

#include <QLabel>

namespace tinctor {

class TChannelLabel : public QLabel {
    Q_OBJECT
public:
    TChannelLabel(const QString& text, QWidget* parent);

    bool FollowsBrightness() const { return follows_; }
    void SetFollowsBrightness(bool follows);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool follows_ = true;
    bool pressed_ = false;
};

}  // namespace tinctor
