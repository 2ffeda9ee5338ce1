#include "platform/x11/X11Pointer.h"

#include <QWidget>

namespace tinctor {

QPoint TX11Pointer::Pos() const { return QCursor::pos(); }

void TX11Pointer::SetPos(QPoint pos) { QCursor::setPos(pos); }

void TX11Pointer::Grab(QWidget& widget, const QCursor& cursor) { widget.grabMouse(cursor); }

void TX11Pointer::Release(QWidget& widget) { widget.releaseMouse(); }

}  // namespace tinctor
