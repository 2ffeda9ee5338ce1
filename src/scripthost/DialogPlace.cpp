// Centring a dialog's client area on its owner's.
#include "scripthost/DialogPlace.h"

#include <QWidget>

namespace tinctor {

void CentreOnOwner(QWidget& dialog, const QWidget* owner) {
    if (!owner) return;
    const QRect client(QPoint(), dialog.size());
    dialog.setGeometry(client.translated(owner->geometry().center() - client.center()));
}

}  // namespace tinctor
