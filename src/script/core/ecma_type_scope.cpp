#include "script/core/ecma_type_scope.h"

#include <string>
#include <typeinfo>
#include <utility>

namespace kestrel {

std::uint16_t TJFrameLayout::Add(const TJString& name) {
    std::uint16_t slot = Find(name.view());
    if (slot != kNoSlot || Names.size() >= kMaxSlots) return slot;
    slot = static_cast<std::uint16_t>(Names.size());
    Names.push_back(name);
    // The views stay valid: a TJString's bytes never move while it is held.
    if (Names.size() > kScannedNames) {
        if (index_.empty())
            for (std::size_t i = 0; i < Names.size(); ++i) index_.emplace(Names[i].view(), static_cast<std::uint16_t>(i));
        else
            index_.emplace(Names.back().view(), slot);
    }
    return slot;
}

std::uint16_t TJFrameLayout::FindIndexed(std::string_view name) const noexcept {
    const auto it = index_.find(name);
    return it == index_.end() ? kNoSlot : it->second;
}

void TJFrameSlots::Grow(std::size_t count) {
    // Only an emptied record grows (Open comes after Clear), so nothing is moved.
    slots_ = std::make_unique<TSlot[]>(count);
    capacity_ = count;
}

void TJFrameSlots::Acquire(TJObject* object) {
    Hold(object);
    object->IncRef();
}

void TJFrameSlots::Release(TJObject* object) noexcept {
    Unhold(object);
    object->DecRef();
}

void TJFrameSlots::Clear() noexcept {
    // Each value is taken out before it is released: an object dying now may reach
    // this record through its notification.
    for (std::size_t i = 0; i < size_; ++i) {
        TSlot& slot = slots_[i];
        if (!slot.Declared) continue;
        slot.Declared = false;
        TJValue old = std::move(slot.Value);
        slot.Value.SetUndefined();
        if (TJObject* o = old.vObject()) Release(o);
    }
    size_ = 0;
}

void TJFrameSlots::Notification(TJNotify* other) {
    TJNotify::Notification(other);
    for (std::size_t i = 0; i < size_; ++i)
        if (TJObject* o = slots_[i].Value.vObject(); o && static_cast<TJNotify*>(o) == other) slots_[i].Value.SetUndefined();
}

// ---------------------------------------------------------------------------

namespace {
// Scope as a local table, or null. Captured scopes are plain local tables: that case
// needs no cast through the hierarchy.
const TJLocalSymbolTable* AsLocalTable(const TJSymbolTableBase* scope) {
    if (!scope) return nullptr;
    return typeid(*scope) == typeid(TJLocalSymbolTable) ? static_cast<const TJLocalSymbolTable*>(scope)
                                                        : dynamic_cast<const TJLocalSymbolTable*>(scope);
}
}  // namespace

TJLocalSymbolTable::TJLocalSymbolTable(TJLocalSymbolTable* parent) : TJLocalSymbolTable(parent, TKind::Local) {}

TJLocalSymbolTable::TJLocalSymbolTable(TJLocalSymbolTable* parent, TKind kind) : kind_(kind), parent_(parent) {}

TJLocalSymbolTable::~TJLocalSymbolTable() { ClearOwn(); }

void TJLocalSymbolTable::ClearOwn() noexcept {
    while (!children_.empty()) children_.pop_back();  // the most recent first
    if (!thisLinked_) {
        this_ = nullptr;
        thisLinked_ = true;
    } else if (this_) {
        SetThis(nullptr);
    }
    ClearTemp();
    if (symbols_.Count() != 0) symbols_.Clear();
    frame_.Clear();
    layout_ = nullptr;
    frameDecl_ = nullptr;
    captured_ = nullptr;
}

const TJValue* TJLocalSymbolTable::FindOwnInFrame(std::string_view name, std::uint8_t* hint) const {
    const std::uint16_t slot = layout_->Find(name);
    if (slot != TJFrameLayout::kNoSlot) return frame_.Get(slot);
    return FindInSymbols(name, hint);
}

void TJLocalSymbolTable::OpenFrame(const TJFrameLayout* layout) {
    if (!layout || layout_ == layout) return;
    // Variables declared before the record existed move into it.
    layout_ = layout;
    frameDecl_ = layout->Decl;
    if (frame_.Size() != 0) frame_.Clear();
    frame_.Open(layout->Names.size());
    if (symbols_.Count() == 0) return;
    for (std::size_t slot = 0; slot < layout->Names.size() && symbols_.Count() != 0; ++slot) {
        const std::string_view name = layout->Names[slot].view();
        if (const TJValue* value = symbols_.Find(name)) {
            frame_.Declare(slot, *value);
            symbols_.Remove(name);
        }
    }
}

void TJLocalSymbolTable::SetLocal(std::string_view name, const TJValue& value) {
    if (layout_) {
        const std::uint16_t slot = layout_->Find(name);
        if (slot != TJFrameLayout::kNoSlot) {
            frame_.Declare(slot, value);
            return;
        }
    }
    symbols_.SetValue(name, value);
}

bool TJLocalSymbolTable::ReplaceOwn(std::string_view name, const TJValue& value, std::uint8_t* hint) {
    if (layout_) {
        const std::uint16_t slot = layout_->Find(name);
        if (slot != TJFrameLayout::kNoSlot) return frame_.Replace(slot, value);
    }
    return symbols_.ReplaceValue(name, value, hint);
}

void TJLocalSymbolTable::Clear() { ClearOwn(); }

bool TJLocalSymbolTable::GetValueImpl(TJLocalSymbolTable* caller, std::string_view name, TJValue& value,
                                      std::uint8_t* hint) {
    TJLocalSymbolTable* table = this;
    for (;;) {
        if (table->IsFunctionTable() && !table->children_.empty() && !table->IsOwnChild(caller)) {
            // The most recent activation answers first. Its chain comes back to this
            // table through its parent, so what it does not find is not here either.
            caller = table;
            table = table->children_.back().get();
            continue;
        }
        if (const TJValue* found = table->FindOwn(name, hint)) {
            value = *found;
            return true;
        }
        if (const TJValue* found = table->FindCaptured(name, hint)) {
            value = *found;
            return true;
        }
        if (TJObject* self = table->this_; self && self->HasKey(name)) {
            self->GetValue(name, false, value);
            return true;
        }
        caller = table;
        table = table->parent_;
        if (!table) return false;
    }
}

bool TJLocalSymbolTable::GetValueBeyondSymbols(std::string_view name, TJValue& value, std::uint8_t* hint) {
    if (const TJValue* found = FindCaptured(name, hint)) {
        value = *found;
        return true;
    }
    if (this_ && this_->HasKey(name)) {
        this_->GetValue(name, false, value);
        return true;
    }
    return parent_ && parent_->GetValueImpl(this, name, value, hint);
}

bool TJLocalSymbolTable::SetValueImpl(TJLocalSymbolTable* caller, std::string_view name, const TJValue& value,
                                      std::uint8_t* hint) {
    TJLocalSymbolTable* table = this;
    for (;;) {
        if (table->IsFunctionTable() && !table->children_.empty() && !table->IsOwnChild(caller)) {
            caller = table;
            table = table->children_.back().get();
            continue;
        }
        if (table->ReplaceOwn(name, value, hint)) return true;
        if (table->FindCaptured(name, hint)) {
            // The call's own copy from now on; the captured scope stays as it was.
            table->SetLocal(name, value);
            return true;
        }
        if (TJObject* self = table->this_; self && self->HasKey(name)) {
            self->SetValue(name, value, nullptr, false);
            return true;
        }
        caller = table;
        table = table->parent_;
        if (!table) return false;
    }
}

TJLocalSymbolTable* TJLocalSymbolTable::Outermost() noexcept {
    TJLocalSymbolTable* table = this;
    while (table->parent_) table = table->parent_;
    return table;
}

TJGlobalSymbolTable* TJLocalSymbolTable::NearestGlobal() noexcept {
    for (TJLocalSymbolTable* table = this; table; table = table->parent_)
        if (table->IsGlobalTable()) return static_cast<TJGlobalSymbolTable*>(table);
    return nullptr;
}

TJFunctionSymbolTable* TJLocalSymbolTable::NearestFunction() noexcept {
    for (TJLocalSymbolTable* table = this; table; table = table->parent_)
        if (table->IsFunctionTable()) return static_cast<TJFunctionSymbolTable*>(table);
    return nullptr;
}

void TJLocalSymbolTable::SetGlobal(std::string_view name, const TJValue& value) {
    TJLocalSymbolTable* table = NearestGlobal();
    (table ? table : Outermost())->SetLocal(name, value);
}

void TJLocalSymbolTable::SetStatic(std::string_view name, const TJValue& value) {
    TJLocalSymbolTable* table = NearestFunction();
    if (!table) table = Outermost();
    if (!table->HasOwn(name)) table->SetLocal(name, value);
}

void TJLocalSymbolTable::AssignImpl(std::string_view name, const TJValue& value, int mode, std::uint8_t* hint) {
    if (SetValueImpl(this, name, value, hint)) return;
    switch (mode) {
    case 1: SetLocal(name, value); break;
    case 2: SetStatic(name, value); break;
    default: SetGlobal(name, value); break;
    }
}

TJObject* TJLocalSymbolTable::FindThis() const noexcept {
    for (const TJLocalSymbolTable* table = this; table; table = table->parent_)
        if (table->this_) return table->this_;
    return nullptr;
}

namespace {
// Emptied call tables waiting for the next call.
thread_local std::vector<std::unique_ptr<TJLocalSymbolTable>> gSpareTables;
constexpr std::size_t kMaxSpareTables = 256;
}  // namespace

TJLocalSymbolTable* TJLocalSymbolTable::NewChild(const TJSymbolTableBase* closure, TJObject* thisObject,
                                                 bool linkThis, const TJFrameLayout* layout) {
    if (gSpareTables.empty()) {
        children_.push_back(std::make_unique<TJLocalSymbolTable>(this));
    } else {
        children_.push_back(std::move(gSpareTables.back()));
        gSpareTables.pop_back();
        children_.back()->parent_ = this;
    }
    TJLocalSymbolTable* child = children_.back().get();
    child->isChild_ = true;
    child->OpenFrame(layout);
    child->captured_ = AsLocalTable(closure);
    if (linkThis) {
        child->SetThis(thisObject);
    } else {
        child->this_ = thisObject;
        child->thisLinked_ = false;
    }
    return child;
}

void TJLocalSymbolTable::RemoveFirstChild() noexcept {
    if (children_.empty()) return;
    std::unique_ptr<TJLocalSymbolTable> child = std::move(children_.back());
    children_.pop_back();
    child->ClearOwn();
    if (child->kind_ != TKind::Local || child->LinkCount() != 0 || child->HasOnNotification() ||
        gSpareTables.size() >= kMaxSpareTables)
        return;
    child->isChild_ = false;
    child->parent_ = nullptr;
    try {
        gSpareTables.push_back(std::move(child));
    } catch (...) {
        // no room to keep it: it simply goes
    }
}

void TJLocalSymbolTable::SetThis(TJObject* object) {
    if (object == this_ && thisLinked_) return;
    if (this_ && thisLinked_) {
        RemoveFreeNotification(this_);
        this_->RemoveFreeNotification(this);
    }
    this_ = object;
    thisLinked_ = true;
    if (object) FreeNotification(object);
}

void TJLocalSymbolTable::SetParent(TJLocalSymbolTable* parent) noexcept {
    for (const TJLocalSymbolTable* table = parent; table; table = table->parent_)
        if (table == this) return;
    parent_ = parent;
}

TJSymbolTableBase* TJLocalSymbolTable::CreateWithoutParent() const {
    switch (kind_) {
    case TKind::Local: return new TJLocalSymbolTable();
    case TKind::Function: return new TJFunctionSymbolTable();
    case TKind::Global: return new TJGlobalSymbolTable();
    case TKind::Root: return new TJRootSymbolTable();
    }
    return nullptr;
}

void TJLocalSymbolTable::CopyFrom(const TJSymbolTableBase& other) {
    const TJLocalSymbolTable* source = AsLocalTable(&other);
    if (!source || source == this) return;
    if (const TJFrameLayout* layout = source->layout_) {
        if (kind_ == TKind::Local && !layout_ && !captured_ && symbols_.Count() == 0) {
            // An empty table (a scope being captured) takes the record as it is, so that
            // the closure's code finds its variables by slot (CapturedValue).
            OpenFrame(layout);
            source->frame_.ForEachDeclared([this](std::size_t slot, const TJValue& value) { frame_.Declare(slot, value); });
        } else {
            source->frame_.ForEachDeclared([this, layout](std::size_t slot, const TJValue& value) {
                const std::string_view name = layout->Names[slot].view();
                if (!HasOwn(name)) SetLocal(name, value);
            });
        }
    }
    if (layout_ || symbols_.Count() != 0 || !symbols_.CopyAllFrom(source->symbols_)) {
        source->symbols_.ForEach([this](const std::string& name, const TJValue& value) {
            if (!HasOwn(name)) SetLocal(name, value);
        });
    }
    // What a closure's call reads through counts as its own.
    if (source->captured_) CopyFrom(*source->captured_);
}

void TJLocalSymbolTable::Notification(TJNotify* other) {
    if (other == this_ && thisLinked_) this_ = nullptr;
    TJSymbolTableBase::Notification(other);
}

// ---------------------------------------------------------------------------

TJRootSymbolTable::~TJRootSymbolTable() { TJRootSymbolTable::Clear(); }

TJGlobalSymbolTable* TJRootSymbolTable::CreateNamespace(std::string_view name, const TJStatement* program) {
    auto [slot, added] = declTables_.try_emplace(program);
    if (added) slot->second = std::make_unique<TJGlobalSymbolTable>(this);
    auto* table = static_cast<TJGlobalSymbolTable*>(slot->second.get());
    namespaces_.try_emplace(std::string(name), table);
    return table;
}

TJGlobalSymbolTable* TJRootSymbolTable::FindNamespace(std::string_view name) const noexcept {
    auto it = namespaces_.find(name);
    return it == namespaces_.end() ? nullptr : it->second;
}

TJGlobalSymbolTable* TJRootSymbolTable::GetNamespace(std::string_view name) const {
    TJGlobalSymbolTable* table = FindNamespace(name);
    if (!table) ThrowError(errors::NameError, "namespace not found: " + std::string(name));
    return table;
}

TJFunctionSymbolTable* TJRootSymbolTable::FindFunctionTable(const TJStatement* decl) const noexcept {
    auto it = declTables_.find(decl);
    return it == declTables_.end() ? nullptr : it->second.get();
}

TJFunctionSymbolTable* TJRootSymbolTable::GetFunctionTable(const TJStatement* parentDecl, const TJStatement* decl) {
    if (TJFunctionSymbolTable* table = FindFunctionTable(decl)) return table;
    TJFunctionSymbolTable* parent = parentDecl ? FindFunctionTable(parentDecl) : nullptr;
    auto& slot = declTables_[decl];
    slot = std::make_unique<TJFunctionSymbolTable>(parent);
    return slot.get();
}

void TJRootSymbolTable::Clear() {
    TJGlobalSymbolTable::Clear();
    namespaces_.clear();
    // Taken out first: objects dying with the tables find the root consistent.
    auto tables = std::move(declTables_);
    declTables_.clear();
    tables.clear();
}

}  // namespace kestrel
