#include "settings/ProgramFolder.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "settings/PathNames.h"
#include "settings/XdgFolders.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

std::optional<std::string>& Fixed() {
    static std::optional<std::string> folder;
    return folder;
}

std::string CurrentFolder() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
}

std::string AbsoluteFolder(const std::string& path) {
    std::string full = IsAbsolutePath(path) ? NormalizePath(path) : ExpandFileName(path, CurrentFolder());
    return IncludeTrailingPathDelimiter(full);
}

// Makes the folder when it is missing; tells whether it was made now.
bool MakeFolder(const std::string& folder) {
    if (DirectoryExists(folder)) return false;
    return ForceDirectories(folder);
}

}  // namespace

TProgramFolderInfo ResolveProgramFolder() { return ResolveProgramFolder(ExecutableFolder()); }

TProgramFolderInfo ResolveProgramFolder(const std::string& executableFolder) {
    TProgramFolderInfo info;
    if (const char* home = std::getenv("TINCTOR_HOME"); home && *home) {
        info.Folder = AbsoluteFolder(home);
        info.Source = TProgramFolderSource::Home;
        info.Created = MakeFolder(info.Folder);
        return info;
    }
    // An installed program's folder may be writable (for root) but is no place for settings.
    if (!executableFolder.empty() && access(executableFolder.c_str(), W_OK) == 0 &&
        !IsInstalledProgram(executableFolder)) {
        info.Folder = IncludeTrailingPathDelimiter(executableFolder);
        info.Source = TProgramFolderSource::Executable;
        return info;
    }
    std::string config = XdgConfigHome();
    info.Folder = IncludeTrailingPathDelimiter((config.empty() ? CurrentFolder() : config) + "/tinctor");
    info.Source = TProgramFolderSource::UserConfig;
    info.Created = MakeFolder(info.Folder);
    return info;
}

const std::string& ProgramFolder() {
    auto& folder = Fixed();
    if (!folder) folder = ResolveProgramFolder().Folder;
    return *folder;
}

std::string ScriptsFolder() { return ProgramFolder() + "Scripts/"; }

void SetProgramFolder(const std::string& folder) { Fixed() = AbsoluteFolder(folder); }

std::string SettingsFileName() { return ProgramFolder() + "Tinctor.ini"; }

}  // namespace tinctor
