#include "platform/x11/X11Pointer.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cstdlib>
#include <memory>

#include "platform/x11/DevicePixels.h"
#include "platform/x11/X11Platform.h"

// Xlib's macros clash with Qt's names: X headers come last.
#include <xcb/xcb.h>

namespace tinctor {

QPoint TX11Pointer::Pos() const { return QCursor::pos(); }

QPoint TX11Pointer::DevicePos() const {
    if (xcb_connection_t* c = QtConnection()) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> reply(
            xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr), &std::free);
        // The root window's coordinates are the server's pixels.
        if (reply && reply->same_screen) return QPoint(reply->root_x, reply->root_y);
    }
    const QPoint pos = QCursor::pos();
    const QScreen* screen = QGuiApplication::screenAt(pos);
    return screen ? DevicePixel(*screen, pos) : pos;
}

void TX11Pointer::SetPos(QPoint pos) { QCursor::setPos(pos); }

void TX11Pointer::Grab(QWidget& widget, const QCursor& cursor) { widget.grabMouse(cursor); }

void TX11Pointer::Release(QWidget& widget) { widget.releaseMouse(); }

}  // namespace tinctor
