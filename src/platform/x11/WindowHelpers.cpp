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

void CentreOnOwner(QWidget& dialog, const QWidget* owner) {
    if (!owner) return;
    const QRect client(QPoint(), dialog.size());
    dialog.setGeometry(client.translated(owner->geometry().center() - client.center()));
}

}  // namespace tinctor
