// TMemIniFileEx: the settings file class. A TMemIniFile with a current section and the
// path operations that keep stored paths independent of where the program lives.
#pragma once

#include <string>
#include <string_view>

#include "util/IniFiles.h"

namespace tinctor {

class TMemIniFileEx : public TMemIniFile {
public:
    // The program's settings file, program folder + "Tinctor.ini".
    TMemIniFileEx();
    explicit TMemIniFileEx(std::string fileName);

    // The section of the forms below that take none.
    std::string Section;

    using TMemIniFile::ReadBool;
    using TMemIniFile::ReadInteger;
    using TMemIniFile::ReadString;
    using TMemIniFile::WriteBool;
    using TMemIniFile::WriteInteger;
    using TMemIniFile::WriteString;
    std::string ReadString(std::string_view key, std::string_view def) const { return ReadString(Section, key, def); }
    int32_t ReadInteger(std::string_view key, int32_t def) const { return ReadInteger(Section, key, def); }
    bool ReadBool(std::string_view key, bool def) const { return ReadBool(Section, key, def); }
    void WriteString(std::string_view key, std::string_view value) { WriteString(Section, key, value); }
    void WriteInteger(std::string_view key, int32_t value) { WriteInteger(Section, key, value); }
    void WriteBool(std::string_view key, bool value) { WriteBool(Section, key, value); }

    // The stored path (Def when absent) as a full path: a leading special-folder macro
    // becomes its folder, a relative path is taken relative to the program folder, an
    // absolute one is used as it stands, an empty one stays empty.
    std::string ReadPath(std::string_view section, std::string_view key, std::string_view def) const;
    std::string ReadPath(std::string_view key, std::string_view def) const { return ReadPath(Section, key, def); }
    // Stores Path relative to the program folder (the program's own Colors folder is
    // written as Colors); a path in another top folder is stored absolute.
    void WritePath(std::string_view section, std::string_view key, std::string_view path);
    void WritePath(std::string_view key, std::string_view path) { WritePath(Section, key, path); }
    // Stores Path with a leading special folder replaced by its macro.
    void WriteMacroPath(std::string_view section, std::string_view key, std::string_view path);
    void WriteMacroPath(std::string_view key, std::string_view path) { WriteMacroPath(Section, key, path); }
};

}  // namespace tinctor
