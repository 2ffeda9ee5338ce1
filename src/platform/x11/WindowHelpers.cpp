#include "platform/WindowHelpers.h"

#include <QWidget>
#include <QWindow>

namespace tinctor {

void SetTopMost(QWidget* window, bool topMost) {
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topMost);
    if (QWindow* handle = window->windowHandle()) {
        // QWidget::setWindowFlags would hide and re-create the native window; telling
        // the widget and its existing window separately keeps it where it is.
        if (flags != window->windowFlags()) {
            window->overrideWindowFlags(flags);
            handle->setFlags(flags);
        }
    } else {
        window->setWindowFlags(flags);
    }
    window->show();
    window->raise();
}

}  // namespace tinctor
