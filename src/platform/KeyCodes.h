// The keyboard's own key numbers.
#pragma once

namespace tinctor {

// The virtual-key code of the key with the native scan code of a key event (the X
// keycode), read from the key's unshifted symbol, so that Shift+1 is the 1 key
// whatever the layout prints on it. 0 when the key has no code or there is no X.
unsigned VirtualKeyOfScanCode(unsigned scanCode);

}  // namespace tinctor
