// Window helpers of the main window.
#pragma once

class QWidget;

namespace tinctor {

// Keeps Window above all windows that are not topmost, or makes it a normal window
// again at the top of the normal ones. The window is shown, neither moved nor resized,
// and keeps its native window (the state is _NET_WM_STATE_ABOVE on X11).
void SetTopMost(QWidget* window, bool topMost);

}  // namespace tinctor
