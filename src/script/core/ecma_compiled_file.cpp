#include "script/core/ecma_compiled_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "util/stdFiles.h"

namespace kestrel {

namespace {

constexpr const char* kCompiledExt = ".kcb";
constexpr const char* kCacheSubfolder = "tinctor/kcb/";
constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kGroupAndOtherBits = 077;

// FNV-1a over the bytes, 64 bits: names of cache files.
std::uint64_t PathHash(const std::string& text) noexcept {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    std::filesystem::path full = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    return error ? path : full.string();
}

// The base of the user's cache: $XDG_CACHE_HOME when it is an absolute path, else ~/.cache.
std::string CacheHome() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/') return tinctor::IncludeTrailingPathDelimiter(xdg);
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return tinctor::IncludeTrailingPathDelimiter(home) + ".cache/";
    return {};
}

// Makes Folder, for the user alone, when missing; true when it is then a real folder of this
// user that nobody else may write into (its mode tightened when it was not).
bool EnsurePrivateFolder(const std::string& folder) {
    if (mkdir(folder.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) return false;
    struct stat st;
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return false;
    return (st.st_mode & kGroupAndOtherBits) == 0 || chmod(folder.c_str(), kPrivateFolderMode) == 0;
}

}  // namespace

std::string CompiledNameBeside(const std::string& script) {
    std::string name = tinctor::ChangeFileExt(script, kCompiledExt);
    return name == script ? std::string() : name;
}

std::string CompiledNameInCache(const std::string& script) {
    const std::string home = CacheHome();
    if (home.empty() || !tinctor::ForceDirectories(home)) return {};
    // Only the last folder must be the user's own: whoever could replace it by another
    // folder would not own that one.
    mkdir((home + "tinctor").c_str(), kPrivateFolderMode);
    const std::string folder = home + kCacheSubfolder;
    if (!EnsurePrivateFolder(folder)) return {};
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(PathHash(AbsolutePath(script))));
    const std::string stem = tinctor::ChangeFileExt(tinctor::ExtractFileName(script), "");
    return folder + stem + "-" + hash + kCompiledExt;
}

bool IsCompiledFileCurrent(const std::string& compiled, const std::string& script) {
    struct stat bin, src;
    if (stat(compiled.c_str(), &bin) != 0 || stat(script.c_str(), &src) != 0 || !S_ISREG(bin.st_mode)) return false;
    if (bin.st_mtim.tv_sec != src.st_mtim.tv_sec) return bin.st_mtim.tv_sec > src.st_mtim.tv_sec;
    return bin.st_mtim.tv_nsec >= src.st_mtim.tv_nsec;
}

bool ReadCompiledFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Not blocking: a FIFO put in the file's place is refused, not waited for.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
              static_cast<std::uint64_t>(st.st_size) <= kMaxCompiledFileSize;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;  // shorter than a moment ago: the reader finds it truncated
            done += static_cast<std::size_t>(n);
        }
        bytes.resize(done);
    }
    close(fd);
    if (!ok) bytes.clear();
    return ok;
}

bool WriteCompiledFile(const std::string& path, const std::string& bytes) {
    return !path.empty() && tinctor::SaveTextFile(path, bytes);
}

}  // namespace kestrel
