#include "desktop/CompactMode.h"

#include <QApplication>
#include <QWidget>

#include "desktop/WinShader.h"

namespace tinctor {

TRect WindowBounds(const QWidget& form) {
    const QRect r = form.frameGeometry();
    return TRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

namespace {

QPoint CentreOf(const TRect& r) { return QPoint(r.Left + r.Width() / 2, r.Top + r.Height() / 2); }

}  // namespace

QPoint WindowCentre(const QWidget& form) { return CentreOf(WindowBounds(form)); }

QMargins FrameMarginsOf(const QWidget& form) {
    const QRect frame = form.frameGeometry();
    const QRect client = form.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

QPoint FrameCentre(const QRect& client, const QMargins& margins) {
    const QRect r = client.marginsAdded(margins);
    return CentreOf(TRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()});
}

bool IsPointerNear(const TRect& bounds, QPoint pos) {
    if (pos == QPoint(-1, -1)) return false;
    return WidenRect(bounds, CompactMarginX, CompactMarginY).Contains(pos.x(), pos.y());
}

void CompactModeCheck(TWinShader& shader, const QWidget& form, const IPointer& pointer) {
    // Nothing folds while one of the program's dialogs is the active window.
    const QWidget* active = QApplication::activeWindow();
    if (active && active != &form) return;
    shader.SetShade(!IsPointerNear(WindowBounds(form), pointer.Pos()));
}

}  // namespace tinctor
