// The Mutex script object: a named mutex shared with other processes (lock files,
// see ext_named_mutex.h).
#pragma once

#include <memory>

#include "script/core/ecma_engine.h"
#include "script/ext/ext_named_mutex.h"

namespace kestrel {

class TJMutexObject : public TJObject {
public:
    // The first argument names the mutex (none or empty: a mutex of this object alone).
    TJMutexObject(TJBaseEngine* engine, const TJValueList* param);
    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;

    static constexpr std::int64_t kDefaultTimeoutMs = 10000;
    std::int64_t TimeoutMs = kDefaultTimeoutMs;
    ext::TNamedMutex& Mutex() { return *mutex_; }

private:
    std::unique_ptr<ext::TNamedMutex> mutex_;
};

}  // namespace kestrel
