#include "util/ProgramFiles.h"

#include <limits.h>
#include <unistd.h>

#include <filesystem>

#include "util/stdFiles.h"

// The data folder relative to the folder of the installed executables, set by the build
// from the install directories ("../share/tinctor" for the usual layout).
#ifndef TINCTOR_DATA_FROM_BIN
#define TINCTOR_DATA_FROM_BIN "../share/tinctor"
#endif

namespace tinctor {

namespace {

constexpr const char* DataFromBin = TINCTOR_DATA_FROM_BIN;
constexpr const char* LibraryFolderName = "lib/";

std::string InstalledDataFolder(const std::string& executableFolder) {
    if (executableFolder.empty()) return {};
    const std::filesystem::path data = std::filesystem::path(executableFolder) / DataFromBin;
    return IncludeTrailingPathDelimiter(data.lexically_normal().string());
}

}  // namespace

std::string ExecutablePath() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string ExecutableFolder() {
    const std::string path = ExecutablePath();
    return path.empty() ? path : ExtractFilePath(path);
}

bool IsInstalledProgram(const std::string& executableFolder) {
    const std::string installed = InstalledDataFolder(executableFolder);
    return !installed.empty() && DirectoryExists(installed);
}

std::string DataFolder(const std::string& executableFolder) {
    if (IsInstalledProgram(executableFolder)) return InstalledDataFolder(executableFolder);
    return IncludeTrailingPathDelimiter(executableFolder);
}

std::string DataFolder() { return DataFolder(ExecutableFolder()); }

std::string ScriptLibraryFolder() {
    const std::string data = DataFolder();
    return data.empty() ? std::string() : data + LibraryFolderName;
}

}  // namespace tinctor
