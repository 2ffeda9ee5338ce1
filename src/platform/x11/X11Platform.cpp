#include "platform/x11/X11Platform.h"

#include <QGuiApplication>

#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11DesktopWindows.h"
#include "platform/x11/X11GlobalKeys.h"
#include "platform/x11/X11Pointer.h"
#include "platform/x11/X11Screen.h"

namespace tinctor {

namespace {

QNativeInterface::QX11Application* X11App() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
}

class TX11Platform final : public IPlatform {
public:
    IScreen& Screen() override { return screen_; }
    IPointer& Pointer() override { return pointer_; }
    IClipboard& Clipboard() override { return clipboard_; }
    IDesktopWindows& Windows() override { return windows_; }
    std::unique_ptr<IGlobalKeys> NewGlobalKeys() override { return std::make_unique<TX11GlobalKeys>(); }

private:
    TX11Screen screen_;
    TX11Pointer pointer_;
    TX11Clipboard clipboard_;
    TX11DesktopWindows windows_;
};

}  // namespace

IPlatform& RealPlatform() {
    static TX11Platform platform;
    return platform;
}

Display* QtDisplay() {
    auto* x11 = X11App();
    return x11 ? x11->display() : nullptr;
}

xcb_connection_t* QtConnection() {
    auto* x11 = X11App();
    return x11 ? x11->connection() : nullptr;
}

}  // namespace tinctor
