#include "platform/KeyCodes.h"
#include "platform/xlib/VirtualKeys.h"
#include "platform/x11/X11Platform.h"

// Xlib last: its macros (Bool, Status) break Qt headers included after it.
#include <X11/XKBlib.h>

namespace tinctor {

unsigned VirtualKeyOfScanCode(unsigned scanCode) {
    Display* display = QtDisplay();
    if (!display || scanCode < 8 || scanCode > 255) return 0;
    const KeySym keysym = XkbKeycodeToKeysym(display, static_cast<KeyCode>(scanCode), 0, 0);
    return keysym == NoSymbol ? 0 : KeysymToVirtualKey(keysym);
}

}  // namespace tinctor
