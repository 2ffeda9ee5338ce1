// TJObject: members, lifetime, prototypes lookup and the methods every object has.
#include "script/core/ecma_type_object.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

#include "util/CodePage.h"

namespace kestrel {

using tinctor::CodePage;

namespace {

// Objects released while another one is being destroyed wait here, so that
// destroying a long chain of members is a loop and never a deep recursion.
thread_local std::vector<TJObject*> gDoomed;
thread_local bool gDestroying = false;

// Lookups through chains of replacement prototypes stop at this depth (a chain can
// only loop if object names change after the prototypes were assigned).
constexpr int kMaxPrototypeDepth = 256;
thread_local int gPrototypeDepth = 0;

const TJValue* FirstArgument(const TJValueList* args) { return args ? args->Get(0) : nullptr; }

TJValue NameArray(TJObject& self, const std::vector<std::string>& names) {
    TJValueList items;
    for (const std::string& n : names) items.AddString(TJString(n));
    TJObject* array = self.Engine() ? self.Engine()->Factory().CreateInstance("Array", &items) : nullptr;
    if (!array) ThrowError(errors::NameError, "create object error Array");
    return ObjectValue(array);
}

void MethodHasKey(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* name = FirstArgument(args);
    result.BuildBool(name && self.HasKey(name->AsString().view()));
}

void MethodRemoveKey(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* name = FirstArgument(args);
    result.BuildBool(name && self.RemoveKey(name->AsString().view()));
}

void MethodToString(TJObject& self, const TJValueList* args, TJValue& result) {
    result.BuildString(self.ToString(FirstArgument(args)));
}

void MethodGetKeys(TJObject& self, const TJValueList*, TJValue& result) {
    std::vector<std::string> names;
    self.MemberKeys(names);
    if (const TJPropertyTable* props = self.PublishedProperties())
        names.insert(names.end(), props->Names().begin(), props->Names().end());
    result = NameArray(self, names);
}

void MethodGetProperties(TJObject& self, const TJValueList*, TJValue& result) {
    std::vector<std::string> names;
    self.GetPropertyList(names);
    result = NameArray(self, names);
}

void MethodGetMethods(TJObject& self, const TJValueList*, TJValue& result) {
    std::vector<std::string> names;
    self.GetMethodList(names);
    result = NameArray(self, names);
}

void MethodValueOf(TJObject& self, const TJValueList*, TJValue& result) { result = self.ValueOf(); }

void MethodGetEvents(TJObject& self, const TJValueList*, TJValue& result) {
    std::vector<std::string> names;
    self.GetEventList(names);
    result = NameArray(self, names);
}

void AppendPublishedNames(const TJObject& self, std::vector<std::string>& list) {
    if (const TJPropertyTable* props = self.PublishedProperties())
        list.insert(list.end(), props->Names().begin(), props->Names().end());
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and destruction

const std::string& TJObject::InternObjectName(std::string_view name) {
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>()(s); }
    };
    static std::mutex lock;
    static std::unordered_set<std::string, Hash, std::equal_to<>> names;  // nodes never move
    // Objects of one class come in runs: the last name found answers most calls.
    thread_local const std::string* last = nullptr;
    if (last && *last == name) return *last;
    std::lock_guard guard(lock);
    auto it = names.find(name);
    if (it == names.end()) it = names.emplace(name).first;
    last = &*it;
    return *it;
}

// A million empty objects cost about what the small interpreters' do: an object is its
// own size and nothing more until it has a member or needs its extras.
constexpr std::size_t kMaxEmptyObjectBytes = 104;
static_assert(sizeof(TJObject) <= kMaxEmptyObjectBytes, "every script object is one of these: keep it small");

TJObject::TJObject(TJBaseEngine* engine, const TJValueList*) : engine_(engine), members_(*this) {
    static const std::string* const object = &InternObjectName("Object");
    objectName_ = object;
}

void TJObject::FinishCreate(bool registerObject) {
    try {
        RegisterMethods();
        RegisterEvents();
        if (engine_ && registerObject) {
            TJObjectFactory& factory = engine_->Factory();
            if (factory.OnNewObject) factory.OnNewObject(this);
            factory.AddObject(this);
        }
    } catch (...) {
        Destroy();
        throw;
    }
    refCount_ = 0;
}

TJObject::~TJObject() {
    dying_ = true;
    if (listed_) engine_->Factory().Unlist(this);
    if (extras_) {
        extras_->EventNames.clear();
        while (extras_->OwnedFunctions) extras_->OwnedFunctions->OwnerDied();
    }
    NotifyLinkedParties();
    // Last, the members: releasing them may end further objects, which then wait
    // in the queue of Destroy instead of being destroyed from here.
    members_.Clear();
}

void TJObject::DestroyNow(TJObject* object) noexcept { delete object; }

void TJObject::Destroy() noexcept {
    if (dying_) return;
    dying_ = true;  // the count is frozen from here on
    gDoomed.push_back(this);
    if (gDestroying) return;
    gDestroying = true;
    while (!gDoomed.empty()) {
        TJObject* next = gDoomed.back();
        gDoomed.pop_back();
        DestroyNow(next);
    }
    gDestroying = false;
}

int TJObject::IncRef() noexcept {
    if (!dying_) ++refCount_;
    return refCount_;
}

int TJObject::DecRef() noexcept {
    if (dying_) return refCount_;
    int count = --refCount_;
    if (count <= 0) Destroy();
    return count;
}

void TJObject::Notification(TJNotify* other) {
    TJNotify::Notification(other);
    members_.Forget(other);
}

// ---------------------------------------------------------------------------
// Members

const TJMethodTable& TJObject::BaseMethods() {
    static const TJMethodTable table{
        TJMethodTable::Method("hasKey", &MethodHasKey),
        TJMethodTable::Method("hasOwnProperty", &MethodHasKey),
        TJMethodTable::Method("removeKey", &MethodRemoveKey),
        TJMethodTable::Method("toString", &MethodToString),
        TJMethodTable::Method("getKeys", &MethodGetKeys),
        TJMethodTable::Method("getProperties", &MethodGetProperties),
        TJMethodTable::Method("getMethods", &MethodGetMethods),
        TJMethodTable::Method("valueOf", &MethodValueOf),
        TJMethodTable::Method("getEvents", &MethodGetEvents),
    };
    return table;
}

void TJObject::RegisterMethods() {
    if (SharedMethods()) return;  // the class's table holds them
    const TJMethodTable& base = BaseMethods();
    for (std::size_t i = 0; i < base.Size(); ++i) RegisterMethod(base[i].Name, base[i].Method);
}

// ---------------------------------------------------------------------------
// Shared method tables

TJMethodTable::TJMethodTable(std::initializer_list<Entry> entries, const TJMethodTable* parent)
    : entries_(entries) {
    if (parent)
        for (const Entry& e : parent->entries_)
            if (std::none_of(entries.begin(), entries.end(), [&e](const Entry& own) { return own.Name == e.Name; }))
                entries_.push_back(e);
    if (entries_.size() > UINT16_MAX) throw std::length_error("method table too large");
    for (std::size_t i = 0; i < entries_.size(); ++i) byName_.push_back(static_cast<std::uint16_t>(i));
    std::sort(byName_.begin(), byName_.end(),
              [this](std::uint16_t a, std::uint16_t b) { return entries_[a].Name < entries_[b].Name; });
    for (const Entry& e : entries_) lengths_ |= std::uint64_t(1) << std::min<std::size_t>(e.Name.size(), 63);
}

int TJMethodTable::IndexOf(std::string_view name) const noexcept {
    if (!((lengths_ >> std::min<std::size_t>(name.size(), 63)) & 1u)) return -1;
    auto it = std::lower_bound(byName_.begin(), byName_.end(), name,
                               [this](std::uint16_t i, std::string_view n) { return entries_[i].Name < n; });
    return it != byName_.end() && entries_[*it].Name == name ? *it : -1;
}

const TJMethodTable::Entry* TJObject::FindShared(std::string_view name) const noexcept {
    const TJMethodTable* table = SharedMethods();
    if (!table) return nullptr;
    const int i = table->IndexOf(name);
    if (i < 0 || SharedHidden(static_cast<std::size_t>(i))) return nullptr;
    return &(*table)[static_cast<std::size_t>(i)];
}

void TJObject::HideShared(std::size_t i) {
    std::unique_ptr<std::uint64_t[]>& hidden = Extras().HiddenShared;
    if (!hidden) {
        const std::size_t words = (SharedMethods()->Size() + 63) / 64;
        hidden = std::make_unique<std::uint64_t[]>(words);  // zeroed
    }
    hidden[i / 64] |= std::uint64_t(1) << (i % 64);
}

namespace {

TJValueType SharedKind(const TJMethodTable::Entry& e) { return e.Method ? vtFunction : e.Value.ValueType(); }

bool Selected(TJValueType kind, TJValueTypeSet include, TJValueTypeSet exclude) {
    return include.Empty() ? !exclude.Contains(kind) : include.Contains(kind);
}

}  // namespace

void TJObject::HideShared(TJValueTypeSet include, TJValueTypeSet exclude) {
    const TJMethodTable* table = SharedMethods();
    if (!table) return;
    for (std::size_t i = 0; i < table->Size(); ++i)
        if (Selected(SharedKind((*table)[i]), include, exclude)) HideShared(i);
}

void TJObject::MemberKeys(std::vector<std::string>& list, TJValueTypeSet include, TJValueTypeSet exclude) {
    members_.GetKeyList(list, include, exclude);
    const TJMethodTable* table = SharedMethods();
    if (!table) return;
    bool added = false;
    for (std::size_t i = 0; i < table->Size(); ++i) {
        const TJMethodTable::Entry& e = (*table)[i];
        if (SharedHidden(i) || members_.HasKey(e.Name) || !Selected(SharedKind(e), include, exclude)) continue;
        list.emplace_back(e.Name);
        added = true;
    }
    // The order a member table of the same size would list them in.
    const std::size_t buckets = TJMemberTable::kObjectBuckets;
    if (added)
        std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
            const std::size_t ba = HashBucket(a, buckets, false), bb = HashBucket(b, buckets, false);
            return ba != bb ? ba < bb : CompareKeys(a, b, false) < 0;
        });
}

void TJObject::RegisterMethod(std::string_view name, TJMethodProc method) {
    // The function object is made when the member is first read (TJHash::BindMethod).
    members_.SetValue(name, TJValue::UnboundMethod(method));
}

void TJObject::DefineMember(std::string_view name, const TJValue& value) { members_.SetValue(name, value); }

void TJObject::RegisterEvent(std::string_view name) {
    std::vector<std::string>& names = Extras().EventNames;
    const CodePage& cp = CodePage::Current();
    auto less = [&cp](const std::string& a, std::string_view b) { return cp.CompareIgnoreCase(a, b) < 0; };
    auto it = std::lower_bound(names.begin(), names.end(), name, less);
    if (it == names.end() || cp.CompareIgnoreCase(*it, name) != 0) names.insert(it, std::string(name));
}

bool TJObject::GetValueImpl(std::string_view name, TJValue& value, const TJValueList* param) {
    if (const TJPropertyTable* props = PublishedProperties()) {
        if (const TJPropertyInfo* info = props->Find(name))
            if (ReadProperty(*info, value)) return true;
    }
    if (members_.GetValue(name, value)) return true;
    if (const TJMethodTable::Entry* shared = FindShared(name)) {
        if (!shared->Method) {
            value = shared->Value;
            return true;
        }
        // The object's own copy from now on, bound as a registered method is when first
        // read, so that a long-lived object makes each of its functions once.
        members_.SetValue(name, TJValue::UnboundMethod(shared->Method));
        return members_.GetValue(name, value);
    }
    if (kind_ == TJObjectKind::Prototype || !engine_ || gPrototypeDepth >= kMaxPrototypeDepth) return false;
    TJObject* prototype = engine_->Factory().GetPrototype(*objectName_);
    if (!prototype || prototype == this) return false;
    struct DepthGuard {
        DepthGuard() { ++gPrototypeDepth; }
        ~DepthGuard() { --gPrototypeDepth; }
    } guard;
    return prototype->GetValueImpl(name, value, param);
}

bool TJObject::SetValueImpl(std::string_view name, const TJValue& value, const TJValueList*) {
    if (const TJPropertyTable* props = PublishedProperties()) {
        if (const TJPropertyInfo* info = props->Find(name))
            if (WriteProperty(*info, value)) return true;
    }
    return members_.ReplaceValue(name, value);
}

void TJObject::ResetMembers() {
    members_.Clear();
    if (extras_) extras_->HiddenShared.reset();
    RegisterMethods();
    RegisterEvents();
}

bool TJObject::HasKey(std::string_view name) {
    return members_.HasKey(name) || FindShared(name) || HasPublishedProperty(name);
}

bool TJObject::RemoveKey(std::string_view name) {
    bool removed = members_.Remove(name);
    // An own member of a shared name stood for the shared entry: both go.
    if (FindShared(name)) {
        HideShared(static_cast<std::size_t>(SharedMethods()->IndexOf(name)));
        removed = true;
    }
    return removed;
}

void TJObject::GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param) {
    if (!GetValueImpl(name, value, param)) ThrowError(arrayStyle ? errors::KeyError : errors::NameError, name);
}

void TJObject::SetValue(std::string_view name, const TJValue& value, const TJValueList* param, bool) {
    if (!SetValueImpl(name, value, param)) members_.SetValue(name, value);
}

TJString TJObject::ToString(const TJValue*) {
    std::string text = "[object ";
    text += *objectName_;
    text += ']';
    return TJString(text);
}

TJValue TJObject::ValueOf() { return ObjectValue(this); }

void TJObject::GetPropertyList(std::vector<std::string>& list) {
    MemberKeys(list, {}, {vtFunction});
    AppendPublishedNames(*this, list);
}

void TJObject::GetMethodList(std::vector<std::string>& list) {
    MemberKeys(list, {vtFunction}, {});
    AppendPublishedNames(*this, list);
}

void TJObject::GetEventList(std::vector<std::string>& list) {
    list.clear();
    if (extras_) list = extras_->EventNames;
}

void TJObject::GetItem(int, TJValue& value) { value.SetUndefined(); }

bool TJObject::GetElement(std::int32_t, TJValue&) { return false; }

bool TJObject::SetElement(std::int32_t, const TJValue&) { return false; }

bool TJObject::HasPublishedProperty(std::string_view name) const {
    const TJPropertyTable* props = PublishedProperties();
    if (!props || !props->MayHave(name)) return false;
    const CodePage& cp = CodePage::Current();
    const auto& names = props->Names();
    auto it = std::lower_bound(names.begin(), names.end(), name,
                               [&cp](const std::string& a, std::string_view b) { return cp.CompareIgnoreCase(a, b) < 0; });
    return it != names.end() && cp.CompareIgnoreCase(*it, name) == 0;
}

// ---------------------------------------------------------------------------
// Events

bool TJObject::HasEventHandler(std::string_view name) {
    if (!engine_ || !engine_->IsRunning() || name.empty()) return false;
    TJValue handler;
    return GetValueImpl(name, handler, nullptr);
}

void TJObject::CallEvent(std::string_view prefix, std::string_view name, TJValue& result, const TJValueList* args) {
    result.SetUndefined();
    if (!engine_) return;
    TJValue handler;
    if (!prefix.empty()) {
        std::string variable(prefix);
        variable += name;
        if (!engine_->FindVariable(variable, handler)) return;
    } else {
        GetValue(name, true, handler);
    }
    engine_->Invoke(handler, args, result, this);
}

// ---------------------------------------------------------------------------
// TJPrototypeObject

TJPrototypeObject::TJPrototypeObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Prototype");
    SetKind(TJObjectKind::Prototype);
}

TJPrototypeObject::~TJPrototypeObject() {
    SetReplacement(nullptr);
    NewEpoch();
}

void TJPrototypeObject::Notification(TJNotify* other) {
    TJObject::Notification(other);
    if (replacement_ && static_cast<TJNotify*>(replacement_) == other) {
        replacement_ = nullptr;
        NewEpoch();
    }
}

void TJPrototypeObject::GetPropertyList(std::vector<std::string>& list) { Members().GetKeyList(list); }

void TJPrototypeObject::SetReplacement(TJObject* object) {
    if (object) {
        Hold(object);
        object->IncRef();
    }
    TJObject* old = std::exchange(replacement_, object);
    NewEpoch();
    if (old) {
        Unhold(old);
        old->DecRef();
    }
}

// ---------------------------------------------------------------------------
// TJFunctionImpl

TJFunctionImpl::~TJFunctionImpl() { SetOwner(nullptr); }

void TJFunctionImpl::SetOwner(TJObject* owner) {
    if (owner == owner_) return;
    if (owner_) {
        if (prevOwned_) prevOwned_->nextOwned_ = nextOwned_;
        else owner_->extras_->OwnedFunctions = nextOwned_;
        if (nextOwned_) nextOwned_->prevOwned_ = prevOwned_;
        prevOwned_ = nextOwned_ = nullptr;
    }
    owner_ = owner;
    if (owner_) {
        TJFunctionImpl*& owned = owner_->Extras().OwnedFunctions;
        nextOwned_ = owned;
        if (nextOwned_) nextOwned_->prevOwned_ = this;
        owned = this;
    }
}

void TJFunctionImpl::OwnerDied() noexcept {
    if (info_.Method.Object == owner_) info_.Method.Object = nullptr;
    SetOwner(nullptr);
}

void TJFunctionImpl::Assign(const IJFunction& other) {
    if (&other == this) return;
    info_ = other.GetFunc();
    SetOwner(other.GetOwner());
    if (TJSymbolTableBase* theirs = other.GetLocalTable()) {
        if (!localTable_) localTable_.reset(theirs->CreateWithoutParent());
        localTable_->CopyFrom(*theirs);
    }
}

}  // namespace kestrel
