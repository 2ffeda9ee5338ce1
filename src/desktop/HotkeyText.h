// The hot key value and its text form, read and written in this one place (start-up
// and the settings dialog alike).
//
// A value is 16 bits: the virtual-key code in bits 0-11 and the flags below; 0 means
// no hot key. The text is an optional "Win+", then "Shift+", "Ctrl+" (or "^") and
// "Alt+" in any order, then the key's name, all compared ignoring case. Written, the
// modifiers come as Shift, Ctrl, Alt, and "Win+" is left out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tinctor {

using THotkey = std::uint16_t;

inline constexpr THotkey HotkeyWin = 0x1000;
inline constexpr THotkey HotkeyShift = 0x2000;
inline constexpr THotkey HotkeyCtrl = 0x4000;
inline constexpr THotkey HotkeyAlt = 0x8000;
inline constexpr THotkey HotkeyKeyMask = 0x0FFF;

// The name of a virtual key ("" when it has none): the fixed names, the digits and
// letters, "F1".."F24", and English names for the rest.
std::string HotkeyKeyName(unsigned virtKey);

// The value of a hot key text; a text that names no key gives 0 (only the Win flag
// when "Win+" was there).
THotkey ParseHotkeyText(std::string_view text);

// The text of a value without "Win+"; "" when the key has no name.
std::string HotkeyToText(THotkey value);

}  // namespace tinctor
