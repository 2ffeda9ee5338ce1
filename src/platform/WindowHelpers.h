// Window helpers of the main window.
#pragma once

class QWidget;

namespace tinctor {

// Keeps Window above all windows that are not topmost, or makes it a normal window
// again at the top of the normal ones. The window is shown, neither moved nor resized,
// and keeps its native window (the state is _NET_WM_STATE_ABOVE on X11).
void SetTopMost(QWidget* window, bool topMost);

// Places Dialog's client area (at its final size) so that its centre is the centre of
// Owner's client area. Moving the frame instead would leave the dialog off the centre
// by the frame's size, which the window manager adds only once the dialog is shown.
// Without an owner the window manager places the dialog.
void CentreOnOwner(QWidget& dialog, const QWidget* owner);

}  // namespace tinctor
