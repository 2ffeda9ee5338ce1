// The keys of Tinctor.ini with their defaults, read and written in one place so that
// the main window and the settings dialog agree on every name and default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "settings/ExIniFiles.h"

namespace tinctor {

struct TTinctorSettings {
    static constexpr const char* SectionPath = "Path";
    static constexpr const char* SectionWindow = "Window";
    static constexpr const char* SectionColor = "Color";
    static constexpr const char* SectionExtend = "Extend";

    // [Path] The colour list folder as a full path; empty when the file names none.
    std::string ColorDir;
    // [Window] The saved left and top edge; none when absent or not a number.
    std::optional<int32_t> X, Y;
    bool TopMost = false;
    bool Compact = false;
    std::string ColorTableMap;  // full path; empty means the gradient
    bool Magnifier = true;      // the loupe beside the pointer while picking from the screen
    // [Color]
    bool ColorCode = false;
    bool ExtendColor = false;
    bool LowerCase = false;
    // [Extend]
    bool ClipboardObserver = false;
    bool HotkeyMode = false;
    std::string Hotkey;  // the hot key as text ("Ctrl+Alt+F12"), empty for none
    bool SpoitTEditor = false;

    // Program folder + "Colors", the colour list folder when the file names none.
    static std::string DefaultColorDir();
    // ColorDir, or the default when it is empty.
    std::string ColorListFolder() const { return ColorDir.empty() ? DefaultColorDir() : ColorDir; }

    // Reads every key; absent or unreadable values take their defaults.
    void Read(const TMemIniFileEx& ini);
    // Writes every key but X and Y (the settings dialog's OK): ColorDir relative to the
    // program folder, ColorTableMap with its special-folder macro.
    void Write(TMemIniFileEx& ini) const;
    // Writes X and Y (shut-down); an unset edge is left as the file has it.
    void WritePosition(TMemIniFileEx& ini) const;
};

}  // namespace tinctor
