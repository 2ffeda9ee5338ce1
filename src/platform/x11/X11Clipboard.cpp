#include "platform/x11/X11Clipboard.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/ErrorGuard.h"
#include "platform/QtText.h"

namespace tinctor {

bool TX11Clipboard::HasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

std::string TX11Clipboard::Text() { return FromQString(QGuiApplication::clipboard()->text()); }

void TX11Clipboard::SetText(std::string_view text) { QGuiApplication::clipboard()->setText(ToQString(text)); }

TViewerId TX11Clipboard::Join(IClipboardViewer& viewer) {
    if (!connected_) {
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &connection_, [this] { Changed(); });
        connected_ = true;
    }
    viewers_.push_back(&viewer);
    return 0;
}

void TX11Clipboard::Leave(IClipboardViewer& viewer, TViewerId) {
    viewers_.erase(std::remove(viewers_.begin(), viewers_.end(), &viewer), viewers_.end());
}

void TX11Clipboard::Changed() {
    // A viewer may leave while it is told; tell only those still joined.
    const std::vector<IClipboardViewer*> viewers = viewers_;
    for (IClipboardViewer* v : viewers) {
        if (std::find(viewers_.begin(), viewers_.end(), v) == viewers_.end()) continue;
        Guarded([v] { v->DrawClipboard(); });
    }
}

}  // namespace tinctor
