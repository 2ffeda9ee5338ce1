#include "platform/x11/QtShell.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/QtText.h"

namespace tinctor {

bool TQtShell::OpenDocument(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(path)));
}

}  // namespace tinctor
