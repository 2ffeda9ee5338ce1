// The program folder: where Tinctor.ini, Colors/ and Scripts/ live.
//
// $TINCTOR_HOME when set; otherwise the executable's folder when it is writable and
// not part of an install (a portable copy or a build tree); otherwise
// $XDG_CONFIG_HOME/tinctor/, created on first start.
// Folders are absolute and end in "/".
#pragma once

#include <string>

#include "util/ProgramFiles.h"

namespace tinctor {

enum class TProgramFolderSource { Home, Executable, UserConfig };

struct TProgramFolderInfo {
    std::string Folder;              // with a trailing "/"
    TProgramFolderSource Source = TProgramFolderSource::Executable;
    // True when the folder did not exist and was made now. Start-up copies the sample
    // scripts into its Scripts/ in that case (the copying belongs to the script menu).
    bool Created = false;
};

// Works the program folder out from the environment, creating it when it is missing.
TProgramFolderInfo ResolveProgramFolder();
// The same with the executable's folder given (tests).
TProgramFolderInfo ResolveProgramFolder(const std::string& executableFolder);

// The program folder fixed at start-up (resolved on first use) and its scripts folder.
const std::string& ProgramFolder();
std::string ScriptsFolder();
// Fixes the program folder (start-up after ResolveProgramFolder, tests); a trailing
// "/" is added. The special-folder table must be reloaded after a change.
void SetProgramFolder(const std::string& folder);

// The settings file of the program: program folder + "Tinctor.ini".
std::string SettingsFileName();

}  // namespace tinctor
