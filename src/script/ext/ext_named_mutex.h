// Named mutexes shared between processes, made of lock files held with flock(2).
//
// A named semaphore of the system is not released when its holder dies, so every
// later lock would wait for ever after a crashed script, and it outlives all
// processes; a flock ends with the descriptor, also when the process is killed.
// Each name has two lock files in $XDG_RUNTIME_DIR/tinctor/mutex/ (or, without a
// runtime folder, $XDG_CACHE_HOME/tinctor/mutex/, never a shared temporary folder),
// named by the percent-escaped name: "NAME.open", held shared by every open mutex of
// the name (so a failing exclusive probe tells that the name already exists), and
// "NAME.own", held exclusively by the owner. Ownership is counted per process, so a
// second lock in the same process succeeds at once, as it does for the system's
// same-thread owner.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kestrel::ext {

class TNamedMutex {
public:
    // Wait for ever (the system's infinite wait value).
    static constexpr std::int64_t kInfinite = -1;

    // Opens or creates the mutex Name (empty: a mutex of this object alone). Throws
    // std::runtime_error with the reason when its folder or lock file is refused.
    explicit TNamedMutex(const std::string& name);
    ~TNamedMutex();
    TNamedMutex(const TNamedMutex&) = delete;
    TNamedMutex& operator=(const TNamedMutex&) = delete;

    // Whether another open mutex of the name existed when this one was made.
    bool Existed() const noexcept { return existed_; }
    // Takes ownership, waiting at most TimeoutMs (kInfinite or negative: without
    // limit); whether it was taken.
    bool Lock(std::int64_t timeoutMs);
    // Gives one ownership of this object back; false when it owned none.
    bool Unlock();

    // The folder of the lock files (made when missing); throws when it is refused.
    static std::string Folder();
    // Name as a file name: bytes other than letters, digits, "-" and "_" as %XX;
    // names too long for a file name end in a hash of the whole name.
    static std::string EscapedName(const std::string& name);

    struct TOwner;  // the process-wide ownership of a name

private:
    std::shared_ptr<TOwner> owner_;  // the process-wide ownership of the name
    int openFd_ = -1;                // "NAME.open", held shared
    int held_ = 0;                   // ownerships this object took and still holds
    bool existed_ = false;
};

}  // namespace kestrel::ext
