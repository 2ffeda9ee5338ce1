#include "util/stdFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "util/CodePage.h"

namespace tinctor {

namespace {

// The temporary file of a save: "." + name + "." + six characters of mkstemp.
constexpr const char* TempSuffix = ".XXXXXX";
constexpr std::size_t TempRandomLength = 6;
// A temporary file this old belongs to no save in progress: its save was killed.
constexpr time_t StaleTempSeconds = 60;
// Links followed before giving up (the kernel's own limit).
constexpr int MaxLinkHops = 40;

bool IsTempRandom(std::string_view s) {
    if (s.size() != TempRandomLength) return false;
    for (char c : s)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

// The file a temporary name of ours stands for ("" when it is none of ours).
std::string TempTargetOf(std::string_view name) {
    if (name.size() < 2 + 1 + TempRandomLength || name.front() != '.') return {};
    const std::size_t dot = name.size() - TempRandomLength - 1;
    if (name[dot] != '.' || !IsTempRandom(name.substr(dot + 1))) return {};
    return std::string(name.substr(1, dot - 1));
}

// Removes the temporary files that killed saves left in Folder: those of files the
// folder holds and of File (whose first save may have been the one killed).
void RemoveStaleTemps(const std::string& folder, const std::string& file) {
    DIR* d = opendir(folder.empty() ? "." : folder.c_str());
    if (!d) return;
    const time_t now = time(nullptr);
    while (dirent* e = readdir(d)) {
        const std::string target = TempTargetOf(e->d_name);
        if (target.empty()) continue;
        const std::string temp = folder + e->d_name;
        struct stat st;
        if (lstat(temp.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || now - st.st_mtime < StaleTempSeconds) continue;
        if (target == file || lstat((folder + target).c_str(), &st) == 0) unlink(temp.c_str());
    }
    closedir(d);
}

bool IsReadOnly(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;  // a new file
    // The permission bits count even for a user whom the system lets write anyway.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0;
}

}  // namespace

bool ListFileNames(const std::string& folder, const std::string& mask, std::vector<std::string>& names,
                   bool withoutExtension) {
    names.clear();
    std::string dir = folder.empty() ? std::string(".") : folder;
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    std::string base = IncludeTrailingPathDelimiter(dir);
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name.empty() || name[0] == '.') continue;
        if (fnmatch(mask.c_str(), name.c_str(), FNM_PERIOD) != 0) continue;
        struct stat st;
        if (stat((base + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        names.push_back(withoutExtension ? ChangeFileExt(name, "") : name);
    }
    closedir(d);
    const CodePage& cp = CodePage::Current();
    std::sort(names.begin(), names.end(),
              [&cp](const std::string& a, const std::string& b) { return cp.Compare(a, b) < 0; });
    return !names.empty();
}

bool LoadTextFile(const std::string& path, std::string& text) {
    text.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

TLoadResult LoadRegularFile(const std::string& path, std::string& text, std::size_t maxSize) {
    text.clear();
    // Non-blocking, so that a FIFO in the file's place cannot hang the program.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? TLoadResult::Missing : TLoadResult::Failed;
    struct stat st;
    TLoadResult result = TLoadResult::Loaded;
    if (fstat(fd, &st) != 0)
        result = TLoadResult::Failed;
    else if (!S_ISREG(st.st_mode))
        result = TLoadResult::NotRegular;
    else if (static_cast<std::uintmax_t>(st.st_size) > maxSize)
        result = TLoadResult::TooLarge;
    if (result == TLoadResult::Loaded) {
        text.reserve(static_cast<std::size_t>(st.st_size));
        char buf[65536];
        for (;;) {
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                result = TLoadResult::Failed;
                break;
            }
            if (n == 0) break;
            text.append(buf, static_cast<std::size_t>(n));
            if (text.size() > maxSize) {  // it grew while being read
                result = TLoadResult::TooLarge;
                break;
            }
        }
    }
    close(fd);
    if (result != TLoadResult::Loaded) text.clear();
    return result;
}

std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        struct stat st;
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t n = readlink(current.c_str(), target.data(), target.size());
        if (n < 0) return current;
        target.resize(static_cast<std::size_t>(n));
        current = !target.empty() && target.front() == '/' ? target : ExtractFilePath(current) + target;
    }
    return current;
}

bool SaveTextFile(const std::string& requested, const std::string& text) {
    const std::string path = ResolveLinks(requested);
    if (IsReadOnly(path)) return false;
    const std::string folder = ExtractFilePath(path);
    RemoveStaleTemps(folder, ExtractFileName(path));
    std::string tmp = folder + "." + ExtractFileName(path) + TempSuffix;
    int fd = mkstemp(tmp.data());
    if (fd < 0) return false;
    // Keep the permissions of the file being replaced, else the usual ones.
    struct stat st;
    mode_t mode = (stat(path.c_str(), &st) == 0) ? (st.st_mode & 07777) : 0644;
    fchmod(fd, mode);
    const char* p = text.data();
    size_t left = text.size();
    bool ok = true;
    while (left > 0) {
        ssize_t w = write(fd, p, left);
        if (w < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        p += w;
        left -= static_cast<size_t>(w);
    }
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok && rename(tmp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) unlink(tmp.c_str());
    return ok;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
    if (path.empty()) return false;
    if (DirectoryExists(path)) return true;
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    std::size_t slash = p.rfind('/');
    if (slash != std::string::npos && slash > 0 && !ForceDirectories(p.substr(0, slash))) return false;
    return mkdir(p.c_str(), 0755) == 0 || DirectoryExists(p);
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    if (path.empty() || path.back() == '/') return path;
    return path + "/";
}

std::string ExtractFilePath(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    std::string old = ExtractFileExt(path);
    return path.substr(0, path.size() - old.size()) + ext;
}

}  // namespace tinctor
