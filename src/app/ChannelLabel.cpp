#include "app/ChannelLabel.h"

#include <QMouseEvent>

#include "app/Swatch.h"
#include "colour/SysColors.h"

namespace tinctor {

TChannelLabel::TChannelLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    SetFollowsBrightness(true);
}

void TChannelLabel::SetFollowsBrightness(bool follows) {
    follows_ = follows;
    if (!follows) {
        QPalette held = palette();
        held.setColor(QPalette::Window, ToQColor(GetSysColor(COLOR_BTNSHADOW)));
        setPalette(held);
    }
    setAutoFillBackground(!follows);
    update();
}

void TChannelLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
}

void TChannelLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}  // namespace tinctor
