// TJMutexObject: lock, tryLock with `timeout`, unlock and whether the name existed.
#include "script/ext/ecma_mutex.h"

#include <stdexcept>

#include "script/ext/ext_common.h"

namespace kestrel {

using ext::Arg;

namespace {

// A name whose lock files cannot be used (a refused folder) is a script error, so
// that no script believes it holds a mutex that nobody else can see.
constexpr std::string_view kMutexError = "EMutexError";

TJMutexObject& Self(TJObject& self) { return static_cast<TJMutexObject&>(self); }

void Lock(TJObject& self, const TJValueList*, TJValue& result) {
    Self(self).Mutex().Lock(ext::TNamedMutex::kInfinite);
    result.BuildObject(&self);
}

void TryLock(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildBool(Self(self).Mutex().Lock(Self(self).TimeoutMs));
}

void Unlock(TJObject& self, const TJValueList*, TJValue& result) {
    Self(self).Mutex().Unlock();
    result.BuildObject(&self);
}

void Exists(TJObject& self, const TJValueList*, TJValue& result) { result.BuildBool(Self(self).Mutex().Existed()); }

std::int64_t ReadTimeout(TJObject& self, int) { return Self(self).TimeoutMs; }
void WriteTimeout(TJObject& self, int, std::int64_t value) { Self(self).TimeoutMs = value; }
std::int64_t ReadExisted(TJObject& self, int) { return Self(self).Mutex().Existed(); }

}  // namespace

TJMutexObject::TJMutexObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Mutex");
    const TJValue* arg = Arg(param, 0);
    const std::string name = arg ? arg->AsString().str() : std::string();
    try {
        mutex_ = std::make_unique<ext::TNamedMutex>(name);
    } catch (const std::runtime_error& refused) {
        ext::Fail(kMutexError, "can not open: " + name + " (" + refused.what() + ")");
    }
}

const TJMethodTable* TJMutexObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{M::Method("lock", &Lock), M::Method("tryLock", &TryLock),
                                      M::Method("unlock", &Unlock), M::Method("exists", &Exists)},
                                     &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJMutexObject::PublishedProperties() const {
    // The wait is a 32-bit count of milliseconds; -1 waits without limit.
    static const TJPropertyTable table{IntegerProperty("timeout", TJOrdinalType::S32, &ReadTimeout, &WriteTimeout),
                                       BooleanProperty("existed", &ReadExisted, nullptr)};
    return &table;
}

}  // namespace kestrel
