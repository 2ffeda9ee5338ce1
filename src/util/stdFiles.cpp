#include "util/stdFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "util/CodePage.h"

namespace tinctor {

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

bool SaveTextFile(const std::string& path, const std::string& text) {
    std::string tmp = ExtractFilePath(path) + "." + ExtractFileName(path) + ".XXXXXX";
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
