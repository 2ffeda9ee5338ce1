#include "settings/XdgFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "util/stdFiles.h"

namespace tinctor {

namespace {

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path == "/" ? std::string() : path;
}

std::string AbsoluteEnv(const char* name) {
    const char* v = std::getenv(name);
    return (v && v[0] == '/') ? WithoutTrailingSlash(v) : std::string();
}

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string HomeFolder() {
    if (std::string home = AbsoluteEnv("HOME"); !home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return WithoutTrailingSlash(pw->pw_dir);
    return {};
}

std::string XdgConfigHome() {
    if (std::string dir = AbsoluteEnv("XDG_CONFIG_HOME"); !dir.empty()) return dir;
    std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config";
}

std::string XdgDataHome() {
    if (std::string dir = AbsoluteEnv("XDG_DATA_HOME"); !dir.empty()) return dir;
    std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/share";
}

std::string ParseUserDirs(std::string_view text, std::string_view name, const std::string& home) {
    const std::string wanted = "XDG_" + std::string(name) + "_DIR";
    std::string found;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view line = TrimSpaces(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (line.empty() || line.front() == '#') continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || TrimSpaces(line.substr(0, eq)) != wanted) continue;
        std::string_view v = TrimSpaces(line.substr(eq + 1));
        if (v.size() < 2 || v.front() != '"' || v.back() != '"') continue;
        v = v.substr(1, v.size() - 2);
        std::string path;
        if (v.substr(0, 5) == "$HOME" && (v.size() == 5 || v[5] == '/')) {
            if (home.empty()) continue;
            path = home;
            v.remove_prefix(5);
        } else if (v.empty() || v.front() != '/') {
            continue;  // only "$HOME/..." and absolute paths are allowed
        }
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (v[i] == '\\' && i + 1 < v.size()) ++i;
            path += v[i];
        }
        found = WithoutTrailingSlash(path);  // a later line overrides an earlier one, as in the shell
    }
    return found;
}

std::string XdgUserDir(std::string_view name) {
    std::string config = XdgConfigHome();
    if (config.empty()) return {};
    std::string text;
    if (!LoadTextFile(config + "/user-dirs.dirs", text)) return {};
    return ParseUserDirs(text, name, HomeFolder());
}

}  // namespace tinctor
