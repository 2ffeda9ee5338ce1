#include "desktop/CompactMode.h"

#include <QApplication>
#include <QWidget>

#include "desktop/WinShader.h"

namespace tinctor {

TRect WindowBounds(const QWidget& form) {
    const QRect r = form.frameGeometry();
    return TRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

QPoint WindowCentre(const QWidget& form) {
    const TRect r = WindowBounds(form);
    return QPoint(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
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
