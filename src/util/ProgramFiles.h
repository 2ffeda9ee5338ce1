// Where the programs find their own files: the executable's folder and the read-only
// data that comes with them (the help page, the sample scripts in Scripts/ and the
// script library in lib/).
//
// A build tree keeps the data beside each executable. An install keeps the programs
// in <prefix>/bin/ and the data in <prefix>/share/tinctor/, found relative to the
// executable, so an installed tree can be moved as a whole.
#pragma once

#include <string>

namespace tinctor {

// The executable's path from /proc/self/exe (empty if unknown).
std::string ExecutablePath();
// Its folder, with a trailing "/" (empty if unknown).
std::string ExecutableFolder();

// The data folder of the program whose executable lies in ExecutableFolder: the
// installed share folder when it exists, else ExecutableFolder itself. Ends in "/".
std::string DataFolder(const std::string& executableFolder);
std::string DataFolder();

// True when the executable belongs to an install (its data lives apart from it): such
// a folder is never the program folder, however writable it is.
bool IsInstalledProgram(const std::string& executableFolder);

// The folder of the library scripts that `import` finds: DataFolder() + "lib/".
std::string ScriptLibraryFolder();

}  // namespace tinctor
