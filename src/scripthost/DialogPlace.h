// Where a script's dialog opens: centred on the window that owns it.
#pragma once

class QWidget;

namespace tinctor {

// Places Dialog's client area (at its fixed size) so that its centre is the centre of
// Owner's client area. Moving the frame instead would leave the dialog off the centre
// by the frame's size, which the window manager adds only once the dialog is shown.
// Without an owner the window manager places the dialog.
void CentreOnOwner(QWidget& dialog, const QWidget* owner);

}  // namespace tinctor
