// The object factory (classes, live objects, prototypes) and the engine base.
#include "script/core/ecma_type_object.h"

namespace kestrel {

TJObjectFactory::TJObjectFactory(TJBaseEngine* engine) : engine_(engine) {}

TJObjectFactory::~TJObjectFactory() { Clear(); }

void TJObjectFactory::RegisterClass(std::string_view name, const TJObjectClass* cls) { classes_.Put(name, cls); }

const TJObjectClass* TJObjectFactory::GetClass(std::string_view name) const noexcept {
    const TJObjectClass* const* cls = classes_.Find(name);
    return cls ? *cls : nullptr;
}

TJObject* TJObjectFactory::CreateInstance(std::string_view name, const TJValueList* param) {
    const TJObjectClass* cls = GetClass(name);
    return cls ? cls->Create(engine_, true, param) : nullptr;
}

namespace {
TJPrototypeObject* AsPrototype(const TJValue* v) {
    TJObject* o = v ? v->vObject() : nullptr;
    return o && o->Kind() == TJObjectKind::Prototype ? static_cast<TJPrototypeObject*>(o) : nullptr;
}
}  // namespace

TJObject* TJObjectFactory::GetPrototype(std::string_view name) {
    if (TJPrototypeObject* p = AsPrototype(prototypes_.Find(name))) return p->GetPrototype();
    TJPrototypeObject* p = TJObject::New<TJPrototypeObject>(engine_, true);
    prototypes_.SetValue(name, ObjectValue(p));
    return p;
}

bool TJObjectFactory::SetPrototype(std::string_view name, TJObject* object) {
    if (object) {
        if (object->ObjectName() == name) return false;
        // Follow the replacements from the new object's own name; reaching Name again
        // would make lookups go round. Names can only loop if they changed after the
        // assignments, so the walk is bounded as well.
        std::size_t steps = prototypes_.Count() + 2;
        for (TJObject* p = GetPrototype(object->ObjectName()); p->Kind() != TJObjectKind::Prototype;
             p = GetPrototype(p->ObjectName())) {
            if (p->ObjectName() == name || steps-- == 0) return false;
        }
    }
    TJPrototypeObject* p = AsPrototype(prototypes_.Find(name));
    if (!p) {
        GetPrototype(name);
        p = AsPrototype(prototypes_.Find(name));
    }
    p->SetReplacement(object);
    return true;
}

void TJObjectFactory::AddObject(TJObject* object) {
    // An object is listed by its own engine's factory only: it leaves that list when it dies.
    if (!object || object->listed_ || !object->engine_ || &object->engine_->Factory() != this) return;
    object->listed_ = true;
    object->prev_ = last_;
    object->next_ = nullptr;
    if (last_) last_->next_ = object;
    else first_ = object;
    last_ = object;
    ++objectCount_;
}

void TJObjectFactory::Unlist(TJObject* object) noexcept {
    if (!object->listed_ || &object->engine_->Factory() != this) return;
    if (object->prev_) object->prev_->next_ = object->next_;
    else first_ = object->next_;
    if (object->next_) object->next_->prev_ = object->prev_;
    else last_ = object->prev_;
    object->prev_ = object->next_ = nullptr;
    object->listed_ = false;
    --objectCount_;
}

void TJObjectFactory::Clear() {
    prototypes_.Clear();
    while (TJObject* o = first_) {
        // An object already on its way out (destroyed from inside another
        // destruction) only waits for its turn; it leaves the list now.
        if (o->IsDying()) Unlist(o);
        else o->Destroy();
    }
}

// ---------------------------------------------------------------------------
// TJBaseEngine

TJBaseEngine::TJBaseEngine() : factory_(this) {}

TJBaseEngine::~TJBaseEngine() { factory_.Clear(); }

TJObject* TJBaseEngine::CreateObject(std::string_view name, const TJValueList* args) {
    if (TJObject* o = factory_.CreateInstance(name, args)) return o;
    std::string message = "create object error ";
    message += name;
    ThrowError(errors::NameError, message);
}

void TJBaseEngine::ImportObject(std::string_view name, const TJObjectClass* cls) { factory_.RegisterClass(name, cls); }

bool TJBaseEngine::FindImportFile(std::string_view, std::string&) { return false; }

bool TJBaseEngine::FindVariable(std::string_view, TJValue& value) {
    value.SetUndefined();
    return false;
}

void TJBaseEngine::Invoke(const TJValue&, const TJValueList*, TJValue& result, TJObject*) { result.SetUndefined(); }

void TJBaseEngine::CallBack(const TJValue&, TJArgs, TJValue& result, TJObject*) {
    result.SetUndefined();
    ThrowError(errors::CallError, "not support function type");
}

}  // namespace kestrel
