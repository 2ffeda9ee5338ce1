#include "settings/TinctorSettings.h"

#include "settings/ProgramFolder.h"

namespace tinctor {

namespace {

std::optional<int32_t> ReadEdge(const TMemIniFileEx& ini, const char* key) {
    int32_t v;
    if (!ini.ValueExists(TTinctorSettings::SectionWindow, key) ||
        !TMemIniFile::ParseInteger(ini.ReadString(TTinctorSettings::SectionWindow, key, ""), v))
        return std::nullopt;
    return v;
}

}  // namespace

std::string TTinctorSettings::DefaultColorDir() { return ProgramFolder() + "Colors"; }

void TTinctorSettings::Read(const TMemIniFileEx& ini) {
    ColorDir = ini.ReadPath(SectionPath, "ColorDir", "");

    X = ReadEdge(ini, "X");
    Y = ReadEdge(ini, "Y");
    TopMost = ini.ReadBool(SectionWindow, "TopMost", false);
    Compact = ini.ReadBool(SectionWindow, "Compact", false);
    ColorTableMap = ini.ReadPath(SectionWindow, "ColorTableMap", "");
    // A file from before the loupe has no key: the loupe is on.
    Magnifier = ini.ReadBool(SectionWindow, "Magnifier", true);

    ColorCode = ini.ReadBool(SectionColor, "ColorCode", false);
    ExtendColor = ini.ReadBool(SectionColor, "ExtendColor", false);
    LowerCase = ini.ReadBool(SectionColor, "LowerCase", false);

    ClipboardObserver = ini.ReadBool(SectionExtend, "ClipboardObserver", false);
    HotkeyMode = ini.ReadBool(SectionExtend, "HotkeyMode", false);
    Hotkey = ini.ReadString(SectionExtend, "Hotkey", "");
    SpoitTEditor = ini.ReadBool(SectionExtend, "SpoitTEditor", false);
}

void TTinctorSettings::Write(TMemIniFileEx& ini) const {
    ini.WritePath(SectionPath, "ColorDir", ColorDir);

    ini.WriteBool(SectionWindow, "TopMost", TopMost);
    ini.WriteBool(SectionWindow, "Compact", Compact);
    ini.WriteMacroPath(SectionWindow, "ColorTableMap", ColorTableMap);
    ini.WriteBool(SectionWindow, "Magnifier", Magnifier);

    ini.WriteBool(SectionColor, "ColorCode", ColorCode);
    ini.WriteBool(SectionColor, "ExtendColor", ExtendColor);
    ini.WriteBool(SectionColor, "LowerCase", LowerCase);

    ini.WriteBool(SectionExtend, "ClipboardObserver", ClipboardObserver);
    ini.WriteBool(SectionExtend, "HotkeyMode", HotkeyMode);
    ini.WriteString(SectionExtend, "Hotkey", Hotkey);
    ini.WriteBool(SectionExtend, "SpoitTEditor", SpoitTEditor);
}

void TTinctorSettings::WritePosition(TMemIniFileEx& ini) const {
    if (X) ini.WriteInteger(SectionWindow, "X", *X);
    if (Y) ini.WriteInteger(SectionWindow, "Y", *Y);
}

}  // namespace tinctor
