// Windows virtual-key codes, which the program keeps as its key codes, and X keysyms.
#pragma once

namespace tinctor {

// The keysym of a virtual-key code (0 when the code has none).
unsigned long VirtualKeyToKeysym(unsigned virtKey);
// The virtual-key code of a keysym (0 when it has none); letters of either case
// give the letter key.
unsigned KeysymToVirtualKey(unsigned long keysym);

}  // namespace tinctor
