// The freedesktop trash layout and a recursive delete over descriptors (openat with
// O_NOFOLLOW), so that a link planted inside the folder never leads outside it.
#include "script/ext/ext_trash.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <vector>

#include "script/ext/ext_files.h"
#include "script/lib/ecma_percent.h"

namespace kestrel::ext {

namespace {

constexpr mode_t kTrashFolderMode = 0700;
constexpr int kMaxNameTries = 10000;

std::vector<std::string> ListNames(int dirFd) {
    std::vector<std::string> names;
    const int fd = ::dup(dirFd);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0) ::close(fd);
        return names;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

bool DeleteIn(int dirFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (!S_ISDIR(st.st_mode)) return ::unlinkat(dirFd, name.c_str(), 0) == 0;
    const int sub = ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) return false;
    bool ok = true;
    for (const std::string& inner : ListNames(sub)) ok = DeleteIn(sub, inner) && ok;
    ::close(sub);
    return ok && ::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) == 0;
}

std::string HomeTrash() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/") + "/.local/share/Trash";
}

// The top folder of the mount that holds Path: the last folder on the way up
// with the same device.
std::string MountTop(const std::string& path, dev_t device) {
    std::string top = path;
    while (top.size() > 1) {
        const std::size_t slash = top.rfind('/', top.size() - 2);
        std::string parent = slash == 0 ? "/" : top.substr(0, slash);
        struct stat st {};
        if (::stat(parent.c_str(), &st) != 0 || st.st_dev != device) break;
        top = parent;
    }
    return top;
}

// The trash folder for items on Device, made when missing; "" when none is usable.
std::string TrashFor(const std::string& dir, dev_t device) {
    const std::string home = HomeTrash();
    std::string homeParent = home.substr(0, home.rfind('/'));
    MakeFolders(homeParent, kTrashFolderMode);
    struct stat st {};
    if (::stat(homeParent.c_str(), &st) == 0 && st.st_dev == device) return home;
    const std::string top = MountTop(dir, device);
    return (top == "/" ? std::string() : top) + "/.Trash-" + std::to_string(::getuid());
}

std::string DeletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// Reserves a name in info/ (the .trashinfo made exclusively) and moves the item.
bool TrashItem(const std::string& trash, const std::string& dir, const std::string& name) {
    const std::string source = dir + name;
    for (int n = 0; n < kMaxNameTries; ++n) {
        const std::string base = n == 0 ? name : name + "." + std::to_string(n);
        const std::string info = trash + "/info/" + base + ".trashinfo";
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const std::string text = "[Trash Info]\nPath=" + PercentEncode(source, TPercentForm::Uri) +
                                  "\nDeletionDate=" + DeletionDate() + "\n";
        const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::close(fd);
        if (written && ::rename(source.c_str(), (trash + "/files/" + base).c_str()) == 0) return true;
        ::unlink(info.c_str());
        return false;
    }
    return false;
}

}  // namespace

bool MoveContentsToTrash(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool statted = ::fstat(fd, &st) == 0;
    const std::vector<std::string> names = ListNames(fd);
    ::close(fd);
    if (!statted) return false;
    if (names.empty()) return true;
    const std::string trash = TrashFor(dir, st.st_dev);
    if (!MakeFolders(trash + "/files", kTrashFolderMode) || !MakeFolders(trash + "/info", kTrashFolderMode)) return false;
    bool ok = true;
    for (const std::string& name : names) ok = TrashItem(trash, dir, name) && ok;
    return ok;
}

bool DeleteContents(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = true;
    for (const std::string& name : ListNames(fd)) ok = DeleteIn(fd, name) && ok;
    ::close(fd);
    return ok;
}

}  // namespace kestrel::ext
