#include "platform/x11/X11GlobalKeys.h"

#include <cstdlib>

#include <QCoreApplication>
#include <QMetaObject>

#include "platform/ErrorGuard.h"
#include "platform/SystemError.h"
#include "platform/xlib/VirtualKeys.h"
#include "platform/x11/X11Platform.h"

// Xlib's macros clash with Qt's names: X headers come last.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace tinctor {

namespace {

constexpr unsigned ModifierBits = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
constexpr int BadAccessCode = 10;  // another client holds the grab

unsigned ToXMask(unsigned modifiers) {
    unsigned mask = 0;
    if (modifiers & ModShift) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & ModControl) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & ModAlt) mask |= XCB_MOD_MASK_1;
    if (modifiers & ModWin) mask |= XCB_MOD_MASK_4;
    return mask;
}

// The modifier bit that Num Lock sets (0 when no modifier carries it).
unsigned NumLockMask(Display* display) {
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map) return 0;
    unsigned mask = 0;
    for (int m = 0; m < 8 && !mask && numLock; ++m)
        for (int k = 0; k < map->max_keypermod; ++k)
            if (map->modifiermap[m * map->max_keypermod + k] == numLock) {
                mask = 1u << m;
                break;
            }
    XFreeModifiermap(map);
    return mask;
}

[[noreturn]] void RaiseXError(Display* display, int errorCode) {
    if (errorCode == BadAccessCode) RaiseSystemError(ErrorHotkeyAlreadyRegistered);
    char text[256] = {};
    XGetErrorText(display, errorCode, text, sizeof text);
    RaiseSystemError(errorCode, text);
}

}  // namespace

TX11GlobalKeys::TX11GlobalKeys() {
    if (QtConnection()) QCoreApplication::instance()->installNativeEventFilter(this);
}

TX11GlobalKeys::~TX11GlobalKeys() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
    for (auto& [id, grab] : grabs_) Ungrab(grab);
    if (xcb_connection_t* c = QtConnection()) xcb_flush(c);
}

std::vector<unsigned> TX11GlobalKeys::LockVariants() const {
    const unsigned numLock = NumLockMask(QtDisplay());
    std::vector<unsigned> variants{0, XCB_MOD_MASK_LOCK};
    if (numLock && numLock != XCB_MOD_MASK_LOCK) {
        variants.push_back(numLock);
        variants.push_back(numLock | XCB_MOD_MASK_LOCK);
    }
    return variants;
}

bool TX11GlobalKeys::Register(int id, unsigned modifiers, unsigned virtKey) {
    Display* display = QtDisplay();
    xcb_connection_t* c = QtConnection();
    if (!display || !c) return false;
    Unregister(id);

    // Keycode 0 is AnyKey: a key that this keyboard lacks must never be grabbed.
    const unsigned long keysym = VirtualKeyToKeysym(virtKey);
    const unsigned keycode = keysym ? XKeysymToKeycode(display, keysym) : 0;
    if (keycode == 0) return false;

    TGrab grab{keycode, ToXMask(modifiers), LockVariants(), modifiers, virtKey};
    const xcb_window_t root = DefaultRootWindow(display);
    std::vector<xcb_void_cookie_t> cookies;
    for (unsigned lock : grab.LockVariants)
        cookies.push_back(xcb_grab_key_checked(c, 1, root, static_cast<uint16_t>(grab.Mask | lock),
                                               static_cast<xcb_keycode_t>(keycode), XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
    int errorCode = 0;
    for (xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            if (!errorCode) errorCode = error->error_code;
            free(error);
        }
    }
    if (errorCode) {
        // Release the variants that were granted; ungrabbing the refused ones touches
        // nobody else's grab.
        Ungrab(grab);
        xcb_flush(c);
        RaiseXError(display, errorCode);
    }
    grabs_.emplace(id, std::move(grab));
    return true;
}

void TX11GlobalKeys::Unregister(int id) {
    auto it = grabs_.find(id);
    if (it == grabs_.end()) return;
    const TGrab grab = it->second;
    grabs_.erase(it);
    Ungrab(grab);
    if (xcb_connection_t* c = QtConnection()) xcb_flush(c);
}

void TX11GlobalKeys::Ungrab(const TGrab& grab) {
    Display* display = QtDisplay();
    xcb_connection_t* c = QtConnection();
    if (!display || !c) return;
    const xcb_window_t root = DefaultRootWindow(display);
    for (unsigned lock : grab.LockVariants)
        xcb_ungrab_key(c, static_cast<xcb_keycode_t>(grab.Keycode), root, static_cast<uint16_t>(grab.Mask | lock));
}

bool TX11GlobalKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    for (const auto& [id, grab] : grabs_) {
        if (press->detail != grab.Keycode || (press->state & ModifierBits) != grab.Mask) continue;
        // The handler runs after the native event has been dealt with, so that a
        // message box it opens never nests inside the X event dispatch.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [handler = std::weak_ptr<THandler>(handler_), id = id, modifiers = grab.Modifiers,
             virtKey = grab.VirtKey] {
                if (auto h = handler.lock(); h && *h) Guarded([&] { (*h)(id, modifiers, virtKey); });
            },
            Qt::QueuedConnection);
        return true;
    }
    return false;
}

}  // namespace tinctor
