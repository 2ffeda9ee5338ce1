#include "settings/ExIniFiles.h"

#include "settings/PathNames.h"
#include "settings/ProgramFolder.h"
#include "settings/FolderMacros.h"

namespace tinctor {

TMemIniFileEx::TMemIniFileEx() : TMemIniFile(SettingsFileName()) {}

TMemIniFileEx::TMemIniFileEx(std::string fileName) : TMemIniFile(std::move(fileName)) {}

std::string TMemIniFileEx::ReadPath(std::string_view section, std::string_view key, std::string_view def) const {
    std::string stored = ReadString(section, key, def);
    return ExpandFileName(TSpecialFolders::Current().FromMacroPath(stored), ProgramFolder());
}

void TMemIniFileEx::WritePath(std::string_view section, std::string_view key, std::string_view path) {
    WriteString(section, key, ExtractRelativePath(ProgramFolder(), path));
}

void TMemIniFileEx::WriteMacroPath(std::string_view section, std::string_view key, std::string_view path) {
    WriteString(section, key, TSpecialFolders::Current().ToMacroPath(path));
}

}  // namespace tinctor
