// Values files hold one "name=value" line per value with "%", "=", CR, LF and the
// zero byte written as %XX, so any name and value read back exactly.
#include "script/ext/ext_registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "script/ext/ext_files.h"
#include "script/ext/ext_trash.h"
#include "util/CodePage.h"

namespace kestrel::ext {

namespace {

constexpr std::string_view kValuesFile = "values";
constexpr std::string_view kLockFile = ".lock";
constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;
constexpr char kHex[] = "0123456789ABCDEF";

using TValues = std::vector<std::pair<std::string, std::string>>;

bool SameName(std::string_view a, std::string_view b) { return tinctor::CodePage::Current().EqualsIgnoreCase(a, b); }

bool IsValidComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

bool IsRealFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of Folder whose name equals Name ignoring case, or Name itself.
std::string Spelling(const std::string& folder, std::string_view name) {
    std::string found(name);
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (SameName(e->d_name, name)) {
                found = e->d_name;
                break;
            }
        ::closedir(d);
    }
    return found;
}

bool MakeFolder(const std::string& path) {
    return (::mkdir(path.c_str(), kFolderMode) == 0 || errno == EEXIST) && IsRealFolder(path);
}

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '%' || c == '=' || c == '\r' || c == '\n' || c == '\0') {
            out += '%';
            out += kHex[static_cast<unsigned char>(c) >> 4];
            out += kHex[static_cast<unsigned char>(c) & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

TValues ReadValues(const std::string& keyFolder) {
    TValues values;
    std::string text;
    if (!ReadWholeFile(keyFolder + std::string(kValuesFile), text)) return values;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find('\n', i);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = std::string_view(text).substr(i, end - i);
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos) values.emplace_back(Unescape(line.substr(0, eq)), Unescape(line.substr(eq + 1)));
        i = end + 1;
    }
    return values;
}

// Replaces the values file atomically.
bool WriteValues(const std::string& keyFolder, const TValues& values) {
    std::string text;
    for (const auto& [name, value] : values) text += Escape(name) + "=" + Escape(value) + "\n";
    const std::string target = keyFolder + std::string(kValuesFile);
    const std::string temp = target + ".tmp" + std::to_string(::getpid());
    if (!WriteWholeFile(temp, text)) {
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

// Holds the key's lock for one read-change-write.
class TKeyLock {
public:
    explicit TKeyLock(const std::string& keyFolder)
        : fd_(::open((keyFolder + std::string(kLockFile)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kFileMode)) {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~TKeyLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    TKeyLock(const TKeyLock&) = delete;
    TKeyLock& operator=(const TKeyLock&) = delete;
    bool Held() const noexcept { return fd_ >= 0; }

private:
    int fd_;
};

}  // namespace

std::string RegistryRoot() {
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') config = xdg;
    else config = std::string(std::getenv("HOME") ? std::getenv("HOME") : "") + "/.config";
    return config + "/tinctor/registry/HKEY_CURRENT_USER/";
}

bool TRegistryKey::Open(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i <= path.size()) {
        const std::size_t end = std::min(path.find('\\', i), path.size());
        parts.push_back(path.substr(i, end - i));
        i = end + 1;
    }
    // Leading and trailing "\" are part of the usual spelling of a key path.
    if (!parts.empty() && parts.front().empty()) parts.erase(parts.begin());
    if (!parts.empty() && parts.back().empty()) parts.pop_back();
    if (!std::all_of(parts.begin(), parts.end(), IsValidComponent)) return false;
    std::string folder = RegistryRoot();
    if (!MakeFolders(folder.substr(0, folder.size() - 1), kFolderMode)) return false;
    for (std::string_view part : parts) {
        folder += Spelling(folder, part);
        if (!MakeFolder(folder)) return false;
        folder += '/';
    }
    folder_ = folder;
    return true;
}

std::vector<std::string> TRegistryKey::SubKeys() const {
    std::vector<std::string> keys;
    if (DIR* d = ::opendir(folder_.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string_view name = e->d_name;
            if (IsValidComponent(name) && IsRealFolder(folder_ + std::string(name))) keys.emplace_back(name);
        }
        ::closedir(d);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

bool TRegistryKey::SubKeyExists(std::string_view section) const {
    return IsValidComponent(section) && IsRealFolder(folder_ + Spelling(folder_, section));
}

std::optional<std::vector<std::string>> TRegistryKey::ValueNames(std::string_view section) const {
    if (!IsValidComponent(section)) return std::nullopt;
    std::vector<std::string> names;
    for (auto& [name, value] : ReadValues(folder_ + Spelling(folder_, section) + "/")) names.push_back(name);
    return names;
}

std::optional<std::string> TRegistryKey::ReadValue(std::string_view section, std::string_view name) const {
    if (!IsValidComponent(section)) return std::nullopt;
    for (auto& [n, value] : ReadValues(folder_ + Spelling(folder_, section) + "/"))
        if (SameName(n, name)) return value;
    return std::nullopt;
}

bool TRegistryKey::WriteValue(std::string_view section, std::string_view name, std::string_view value) {
    if (!IsValidComponent(section)) return false;
    const std::string key = folder_ + Spelling(folder_, section);
    if (!MakeFolder(key)) return false;
    const std::string keyFolder = key + "/";
    TKeyLock lock(keyFolder);
    if (!lock.Held()) return false;
    TValues values = ReadValues(keyFolder);
    auto it = std::find_if(values.begin(), values.end(), [&](const auto& v) { return SameName(v.first, name); });
    if (it != values.end()) it->second = value;
    else values.emplace_back(std::string(name), std::string(value));
    return WriteValues(keyFolder, values);
}

bool TRegistryKey::DeleteValue(std::string_view section, std::string_view name) {
    if (!SubKeyExists(section)) return IsValidComponent(section);
    const std::string keyFolder = folder_ + Spelling(folder_, section) + "/";
    TKeyLock lock(keyFolder);
    if (!lock.Held()) return false;
    TValues values = ReadValues(keyFolder);
    const auto kept = std::remove_if(values.begin(), values.end(), [&](const auto& v) { return SameName(v.first, name); });
    if (kept == values.end()) return true;
    values.erase(kept, values.end());
    return WriteValues(keyFolder, values);
}

bool TRegistryKey::DeleteSubKey(std::string_view section) {
    if (!SubKeyExists(section)) return IsValidComponent(section);
    const std::string key = folder_ + Spelling(folder_, section);
    return DeleteContents(key + "/") && ::rmdir(key.c_str()) == 0;
}

}  // namespace kestrel::ext
