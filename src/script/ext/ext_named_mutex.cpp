// TNamedMutex: the lock-file folder, the two lock files of a name, and ownership
// counted once per process and name.
#include "script/ext/ext_named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "util/stdFiles.h"

namespace kestrel::ext {

namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kLockFileMode = 0600;
constexpr const char* kSubfolder = "tinctor/mutex";
constexpr const char* kOpenSuffix = ".open";
constexpr const char* kOwnSuffix = ".own";
// Room for the suffix within the 255 bytes of a file name.
constexpr std::size_t kMaxEscapedName = 200;
constexpr std::size_t kHashedPrefix = 160;
// How often a waiting lock asks again.
constexpr auto kPollInterval = std::chrono::milliseconds(10);

[[noreturn]] void Refuse(const std::string& what) { throw std::runtime_error(what); }

// $XDG_RUNTIME_DIR when it is an absolute path, else the user's cache folder.
std::string BaseFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return tinctor::IncludeTrailingPathDelimiter(runtime);
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') return tinctor::IncludeTrailingPathDelimiter(cache);
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return tinctor::IncludeTrailingPathDelimiter(home) + ".cache/";
    Refuse("no runtime or cache folder");
}

// Whoever could replace the lock folder could take every mutex: it must be a real
// folder of this user that nobody else may enter.
void CheckPrivateFolder(const std::string& folder) {
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0) Refuse("can not make " + folder);
    if (S_ISLNK(st.st_mode) || !S_ISDIR(st.st_mode)) Refuse(folder + " is not a folder");
    if (st.st_uid != geteuid()) Refuse(folder + " belongs to another user");
    if ((st.st_mode & 07777) != kPrivateFolderMode) Refuse(folder + " is not private (0700)");
}

std::uint64_t NameHash(const std::string& name) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a: stable across runs and builds
    for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

int OpenLockFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, kLockFileMode);
    if (fd < 0) Refuse("can not open " + path);
    return fd;
}

int Flock(int fd, int operation) {
    int rc;
    do rc = ::flock(fd, operation);
    while (rc != 0 && errno == EINTR);
    return rc;
}

}  // namespace

struct TNamedMutex::TOwner {
    std::string Key;      // the lock files' common stem; empty: a private mutex
    std::string OwnPath;
    int Fd = -1;          // "NAME.own" while the process owns the name
    int Count = 0;        // ownerships taken by this process

    ~TOwner() {
        if (Fd >= 0) ::close(Fd);
    }
};

namespace {

// The ownership of each name open in this process.
std::mutex ownersGuard;
std::map<std::string, std::weak_ptr<TNamedMutex::TOwner>>& Owners() {
    static std::map<std::string, std::weak_ptr<TNamedMutex::TOwner>> owners;
    return owners;
}

}  // namespace

std::string TNamedMutex::Folder() {
    const std::string base = BaseFolder();
    const std::string folder = base + kSubfolder;
    // The parents are made when missing and left as they are; only the lock folder
    // itself must be private.
    if (!tinctor::ForceDirectories(base + "tinctor")) Refuse("can not make " + folder);
    if (::mkdir(folder.c_str(), kPrivateFolderMode) == 0)
        ::chmod(folder.c_str(), kPrivateFolderMode);  // whatever the umask took away
    CheckPrivateFolder(folder);
    return folder + "/";
}

std::string TNamedMutex::EscapedName(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (unsigned char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_';
        if (plain) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 0xF];
        }
    }
    if (escaped.size() > kMaxEscapedName) {
        char hash[20];
        std::snprintf(hash, sizeof hash, "#%016llx", static_cast<unsigned long long>(NameHash(name)));
        escaped.resize(kHashedPrefix);
        escaped += hash;
    }
    return escaped;
}

TNamedMutex::TNamedMutex(const std::string& name) {
    if (name.empty()) {
        owner_ = std::make_shared<TOwner>();
        return;
    }
    const std::string stem = Folder() + EscapedName(name);
    openFd_ = OpenLockFile(stem + kOpenSuffix);
    // Every open mutex holds the shared lock: an exclusive one is refused exactly
    // when another is open, here or in another process.
    existed_ = Flock(openFd_, LOCK_EX | LOCK_NB) != 0;
    if (Flock(openFd_, LOCK_SH) != 0) {
        ::close(openFd_);
        Refuse("can not lock " + stem + kOpenSuffix);
    }
    const std::lock_guard guard(ownersGuard);
    std::weak_ptr<TOwner>& slot = Owners()[stem];
    owner_ = slot.lock();
    if (!owner_) {
        owner_ = std::make_shared<TOwner>();
        owner_->Key = stem;
        owner_->OwnPath = stem + kOwnSuffix;
        slot = owner_;
    }
}

TNamedMutex::~TNamedMutex() {
    // A script that ends gives back what it still owns.
    while (held_ > 0 && Unlock()) {
    }
    if (openFd_ >= 0) ::close(openFd_);
    const std::lock_guard guard(ownersGuard);
    if (!owner_->Key.empty() && owner_.use_count() == 1) Owners().erase(owner_->Key);
}

bool TNamedMutex::Lock(std::int64_t timeoutMs) {
    TOwner& owner = *owner_;
    if (owner.Count == 0 && !owner.OwnPath.empty()) {
        if (owner.Fd < 0) owner.Fd = OpenLockFile(owner.OwnPath);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max<std::int64_t>(timeoutMs, 0));
        while (Flock(owner.Fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) return false;
            if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::sleep_for(kPollInterval);
        }
    }
    ++owner.Count;
    ++held_;
    return true;
}

bool TNamedMutex::Unlock() {
    TOwner& owner = *owner_;
    if (owner.Count == 0) return false;
    if (held_ > 0) --held_;
    if (--owner.Count == 0 && owner.Fd >= 0) Flock(owner.Fd, LOCK_UN);
    return true;
}

}  // namespace kestrel::ext
