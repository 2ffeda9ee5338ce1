// Whole-file reads and writes over plain descriptors.
#include "script/ext/ext_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "script/core/ecma_type.h"

namespace kestrel::ext {

namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask

class TFd {
public:
    explicit TFd(int fd) : fd_(fd) {}
    ~TFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting whether close succeeded (a late write error shows here).
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

}  // namespace

bool ReadWholeFile(const std::string& name, std::string& bytes) {
    TFd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (static_cast<std::uint64_t>(st.st_size) > TJString::kMaxLength) return false;
    bytes.clear();
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            // The file may have grown since fstat: read on, within the limit.
            char probe;
            const ssize_t p = ::read(fd.get(), &probe, 1);
            if (p < 0 && errno == EINTR) continue;
            if (p <= 0) return p == 0;
            if (bytes.size() >= TJString::kMaxLength) return false;
            bytes.resize(std::min<std::size_t>(bytes.size() * 2 + 4096, TJString::kMaxLength));
            bytes[have++] = probe;
            continue;
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        have += static_cast<std::size_t>(n);
    }
    bytes.resize(have);
    return true;
}

bool WriteWholeFile(const std::string& name, std::string_view bytes) {
    TFd fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, kNewFileMode));
    if (fd.get() < 0) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd.get(), bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return fd.Close();
}

bool MakeFolders(const std::string& path, unsigned mode) {
    if (path.empty()) return false;
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        const std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace kestrel::ext
