// TJObject: members, lifetime, prototypes lookup and the methods every object has.
#include "script/core/ecma_type_object.h"

#include <algorithm>

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
    std::vector<std::string> names = self.Members().Keys();
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

TJObject::TJObject(TJBaseEngine* engine, const TJValueList*) : engine_(engine) { members_.owner_ = this; }

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
    eventNames_.reset();
    if (list_) list_->Unlist(this);
    while (ownedFunctions_) ownedFunctions_->OwnerDied();
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

void TJObject::Notification(TJNotify* other) { TJNotify::Notification(other); }

// ---------------------------------------------------------------------------
// Members

void TJObject::RegisterMethods() {
    RegisterMethod("hasKey", &MethodHasKey);
    RegisterMethod("hasOwnProperty", &MethodHasKey);
    RegisterMethod("removeKey", &MethodRemoveKey);
    RegisterMethod("toString", &MethodToString);
    RegisterMethod("getKeys", &MethodGetKeys);
    RegisterMethod("getProperties", &MethodGetProperties);
    RegisterMethod("getMethods", &MethodGetMethods);
    RegisterMethod("valueOf", &MethodValueOf);
    RegisterMethod("getEvents", &MethodGetEvents);
}

void TJObject::RegisterMethod(std::string_view name, TJMethodProc method) {
    // The function object is made when the member is first read (TJHash::BindMethod).
    members_.SetValue(name, TJValue::UnboundMethod(method));
}

void TJObject::DefineMember(std::string_view name, const TJValue& value) { members_.SetValue(name, value); }

void TJObject::RegisterEvent(std::string_view name) {
    if (!eventNames_) eventNames_ = std::make_unique<std::vector<std::string>>();
    const CodePage& cp = CodePage::Current();
    auto less = [&cp](const std::string& a, std::string_view b) { return cp.CompareIgnoreCase(a, b) < 0; };
    auto it = std::lower_bound(eventNames_->begin(), eventNames_->end(), name, less);
    if (it == eventNames_->end() || cp.CompareIgnoreCase(*it, name) != 0) eventNames_->insert(it, std::string(name));
}

bool TJObject::GetValueImpl(std::string_view name, TJValue& value, const TJValueList* param) {
    if (const TJPropertyTable* props = PublishedProperties()) {
        if (const TJPropertyInfo* info = props->Find(name))
            if (ReadProperty(*info, value)) return true;
    }
    if (members_.GetValue(name, value)) return true;
    if (kind_ == TJObjectKind::Prototype || !engine_ || gPrototypeDepth >= kMaxPrototypeDepth) return false;
    TJObject* prototype = engine_->Factory().GetPrototype(objectName_);
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
    ClearMembers();
    RegisterMethods();
    RegisterEvents();
}

bool TJObject::HasKey(std::string_view name) { return members_.HasKey(name) || HasPublishedProperty(name); }

bool TJObject::RemoveKey(std::string_view name) { return members_.Remove(name); }

void TJObject::GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param) {
    if (!GetValueImpl(name, value, param)) ThrowError(arrayStyle ? errors::KeyError : errors::NameError, name);
}

void TJObject::SetValue(std::string_view name, const TJValue& value, const TJValueList* param, bool) {
    if (!SetValueImpl(name, value, param)) members_.SetValue(name, value);
}

TJString TJObject::ToString(const TJValue*) {
    std::string text = "[object ";
    text += objectName_;
    text += ']';
    return TJString(text);
}

TJValue TJObject::ValueOf() { return ObjectValue(this); }

void TJObject::GetPropertyList(std::vector<std::string>& list) {
    members_.GetKeyList(list, {}, {vtFunction});
    AppendPublishedNames(*this, list);
}

void TJObject::GetMethodList(std::vector<std::string>& list) {
    members_.GetKeyList(list, {vtFunction}, {});
    AppendPublishedNames(*this, list);
}

void TJObject::GetEventList(std::vector<std::string>& list) {
    list.clear();
    if (eventNames_) list = *eventNames_;
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

TJPrototypeObject::~TJPrototypeObject() { SetReplacement(nullptr); }

void TJPrototypeObject::Notification(TJNotify* other) {
    TJObject::Notification(other);
    if (replacement_ && static_cast<TJNotify*>(replacement_) == other) replacement_ = nullptr;
}

void TJPrototypeObject::GetPropertyList(std::vector<std::string>& list) { Members().GetKeyList(list); }

void TJPrototypeObject::SetReplacement(TJObject* object) {
    if (object) {
        Hold(object);
        object->IncRef();
    }
    TJObject* old = std::exchange(replacement_, object);
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
        else owner_->ownedFunctions_ = nextOwned_;
        if (nextOwned_) nextOwned_->prevOwned_ = prevOwned_;
        prevOwned_ = nextOwned_ = nullptr;
    }
    owner_ = owner;
    if (owner_) {
        nextOwned_ = owner_->ownedFunctions_;
        if (nextOwned_) nextOwned_->prevOwned_ = this;
        owner_->ownedFunctions_ = this;
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
