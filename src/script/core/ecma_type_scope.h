// Symbol tables: where script variables live.
//
// Tables form chains through their parents. A local table serves one function call
// or one `with` block; a function table serves one function or class declaration
// and holds its static variables; a global table is a namespace (the main program or
// a program imported with `import name;`); the root table holds the namespaces.
// Lexical nesting comes from the declaration links of the syntax tree (a function
// table's parent is the table of the declaration it was written in); the running
// call of an enclosing function is reached dynamically: a function table asked by
// anything but one of its own activations first asks its most recent activation.
//
// A table counts and links the objects its variables hold (TJHash), links its `this`
// object without counting it, and owns its children: the activations and `with`
// blocks made under it, of which the most recent is child 0.
//
// A call's table is also a frame: the variables its function is known to declare
// (TJFrameLayout) live by index in a flat record (TJFrameSlots) instead of the hash,
// so that the evaluator reaches them without a search and a call binds its
// parameters without hashing. Every lookup by name sees them as well: a name of the
// layout lives only in the record, any other name only in the hash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "script/core/ecma_type_object.h"

namespace kestrel {

struct TJStatement;
class TJFunctionSymbolTable;
class TJGlobalSymbolTable;

// The variables a call of one function declares or may declare, each with its index
// in the call's record: the parameters, `arguments` when the function's own code
// names it, and the names its body declares with var, function, class or catch.
// Which names it holds only decides speed, never meaning (a name outside it simply
// lives in the table's hash), so the set may be larger than what a call declares.
struct TJFrameLayout {
    static constexpr std::uint16_t kNoSlot = 0xFFFF;
    // Names beyond this many live in the hash, so that slots fit their 16 bits.
    static constexpr std::size_t kMaxSlots = 4096;

    const TJStatement* Decl = nullptr;      // the function declaration it was made for
    std::vector<TJString> Names;            // by slot
    std::vector<std::uint16_t> ParamSlots;  // by parameter; kNoSlot for an unnamed one
    std::uint16_t ArgumentsSlot = kNoSlot;  // kNoSlot: the body never names `arguments`

    // The slot of Name, kNoSlot when it has none.
    std::uint16_t Find(std::string_view name) const noexcept {
        if (!index_.empty()) return FindIndexed(name);
        for (std::size_t i = 0; i < Names.size(); ++i)
            if (Names[i].view() == name) return static_cast<std::uint16_t>(i);
        return kNoSlot;
    }
    // The slot of Name, added when missing (kNoSlot once the layout is full).
    std::uint16_t Add(const TJString& name);

private:
    // Up to this many names a scan is quicker than a hash; a namespace of many
    // variables is searched through index_.
    static constexpr std::size_t kScannedNames = 8;
    std::uint16_t FindIndexed(std::string_view name) const noexcept;
    std::unordered_map<std::string_view, std::uint16_t> index_;  // views of Names
};

// The record of one call: a value per slot of its layout and whether the variable
// has been declared yet (a var statement declares it when it runs, and until then
// the name means whatever it means further out). Like a member table it counts and
// links the objects it holds, and a slot whose object dies becomes undefined.
class TJFrameSlots : public TJNotify {
public:
    TJFrameSlots() = default;
    ~TJFrameSlots() override { Clear(); }

    // Count slots, none declared. The room stays from call to call.
    void Open(std::size_t count) {
        if (count > capacity_) Grow(count);
        size_ = count;
    }
    std::size_t Size() const noexcept { return size_; }
    // The value of a declared slot, else null.
    const TJValue* Get(std::size_t slot) const noexcept {
        return slot < size_ && slots_[slot].Declared ? &slots_[slot].Value : nullptr;
    }
    // The value of a declared slot holding text, to append to in place; else null.
    TJValue* Text(std::size_t slot) noexcept {
        return slot < size_ && slots_[slot].Declared && slots_[slot].Value.IsString() ? &slots_[slot].Value : nullptr;
    }
    // Declares the slot (again) with Value.
    void Declare(std::size_t slot, const TJValue& value) { Store(slots_[slot], value); }
    // Replaces the value of a declared slot; false, changing nothing, for an undeclared one.
    bool Replace(std::size_t slot, const TJValue& value) {
        if (slot >= size_ || !slots_[slot].Declared) return false;
        Store(slots_[slot], value);
        return true;
    }
    // Releases every value and forgets the slots.
    void Clear() noexcept;
    // Calls F(slot, value) for each declared slot.
    template <class F>
    void ForEachDeclared(F&& f) const {
        for (std::size_t i = 0; i < size_; ++i)
            if (slots_[i].Declared) f(i, slots_[i].Value);
    }

    void Notification(TJNotify* other) override;

private:
    // Slots beyond size_, and undeclared ones, hold undefined.
    struct TSlot {
        TJValue Value;
        bool Declared = false;
    };
    void Grow(std::size_t count);
    void Store(TSlot& slot, const TJValue& value) {
        TJValue fresh(value);
        if (TJObject* o = fresh.vObject()) Acquire(o);
        TJValue old = std::exchange(slot.Value, std::move(fresh));
        slot.Declared = true;
        if (TJObject* o = old.vObject()) Release(o);
    }
    void Acquire(TJObject* object);
    void Release(TJObject* object) noexcept;

    std::unique_ptr<TSlot[]> slots_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

class TJLocalSymbolTable : public TJSymbolTableBase {
public:
    explicit TJLocalSymbolTable(TJLocalSymbolTable* parent = nullptr);
    ~TJLocalSymbolTable() override;

    // Looks Name up along the chain: own variables, then the members of `this` (own
    // members and published properties), then the parent. Caller is the table that
    // asks (this table for a lookup of its own).
    // Hint, when given, is where the name was found in a table the last time (the
    // evaluator keeps one per name in the tree); it only saves searching.
    bool GetValueImpl(TJLocalSymbolTable* caller, std::string_view name, TJValue& value,
                      std::uint8_t* hint = nullptr);
    bool GetValue(std::string_view name, TJValue& value, std::uint8_t* hint = nullptr) {
        // Most names are found in the table asked first: that much without a call.
        if (AnswersFirst()) {
            if (const TJValue* found = layout_ ? FindOwnInFrame(name, hint) : FindInSymbols(name, hint)) {
                value = *found;
                return true;
            }
            return GetValueBeyondSymbols(name, value, hint);
        }
        return GetValueImpl(this, name, value, hint);
    }
    // Replaces an existing variable (or a member of a `this` along the chain); false
    // when there is none.
    bool SetValueImpl(TJLocalSymbolTable* caller, std::string_view name, const TJValue& value,
                      std::uint8_t* hint = nullptr);

    // Declares or replaces Name in this table.
    void SetLocal(std::string_view name, const TJValue& value);
    // The same in the nearest namespace (the outermost table when the chain has none).
    void SetGlobal(std::string_view name, const TJValue& value);
    // In the nearest function table (the outermost when none), unless Name is declared there.
    void SetStatic(std::string_view name, const TJValue& value);
    // Replaces an existing variable; otherwise declares it: mode 1 here, mode 2 as a
    // static, any other mode in the nearest namespace.
    void Assign(std::string_view name, const TJValue& value, int mode = 0, std::uint8_t* hint = nullptr) {
        if (AnswersFirst() && ReplaceOwn(name, value, hint)) return;
        AssignImpl(name, value, mode, hint);
    }

    // The frame of a call of Decl: the variable in Slot of its record. Each is null
    // (false) when this table is no call of Decl or the variable is not declared yet,
    // and the caller then goes by name. A namespace whose `with` block runs passes
    // lookups to the block first: that, too, goes by name.
    const TJValue* FrameValue(const TJStatement* decl, std::uint16_t slot) const noexcept {
        return decl && frameDecl_ == decl && AnswersFirst() ? frame_.Get(slot) : nullptr;
    }
    bool ReplaceFrameValue(const TJStatement* decl, std::uint16_t slot, const TJValue& value) {
        return decl && frameDecl_ == decl && AnswersFirst() && frame_.Replace(slot, value);
    }
    bool DeclareFrameValue(const TJStatement* decl, std::uint16_t slot, const TJValue& value) {
        if (!decl || frameDecl_ != decl || slot >= frame_.Size()) return false;
        frame_.Declare(slot, value);
        return true;
    }
    // The table a lookup of a name outside the record of this call of Decl goes on to
    // after this table's `this` (which the caller asks): its function's parent, when
    // neither this table (by hash or through a captured scope) nor its function's
    // table holds names by hash. None otherwise.
    TJLocalSymbolTable* PassesOnFromCall(const TJStatement* decl) const noexcept {
        if (frameDecl_ != decl || !decl || symbols_.Count() != 0 || captured_) return nullptr;
        const TJLocalSymbolTable* function = parent_;
        if (!function || !function->IsOwnChild(this) || function->symbols_.Count() != 0 || function->this_)
            return nullptr;
        return function->parent_;
    }
    // A closure's call of Decl: the variable in Slot of the record of Enclosing (the
    // function Decl is written in), when the captured scope is a copy of such a record
    // and this table holds no names by hash (its own record is known to lack the
    // name). Null otherwise, and for a variable the captured record does not declare.
    const TJValue* CapturedValue(const TJStatement* decl, const TJStatement* enclosing,
                                 std::uint16_t slot) const noexcept {
        if (!captured_ || !decl || frameDecl_ != decl || symbols_.Count() != 0) return nullptr;
        return enclosing && captured_->frameDecl_ == enclosing ? captured_->frame_.Get(slot) : nullptr;
    }
    // Slot of this table's record when it holds text, to append to in place; else null.
    TJValue* FrameText(std::uint16_t slot) noexcept { return frame_.Text(slot); }
    // This table's own variable Name (record or hash) when it holds text, to append
    // to in place; else null.
    TJValue* FindOwnText(std::string_view name, std::uint8_t& hint) noexcept {
        if (layout_) {
            const std::uint16_t slot = layout_->Find(name);
            if (slot != TJFrameLayout::kNoSlot) return frame_.Text(slot);
        }
        return symbols_.FindText(name, hint);
    }
    // The layout of this call's record, or none for tables that are no call.
    const TJFrameLayout* FrameLayout() const noexcept { return layout_; }
    // Gives this table the record of Layout (a namespace's, when its program runs); a
    // table that has it already keeps its values.
    void OpenFrame(const TJFrameLayout* layout);

    TJGlobalSymbolTable* NearestGlobal() noexcept;
    TJFunctionSymbolTable* NearestFunction() noexcept;
    // The `this` of the nearest table along the chain that has one, or none.
    TJObject* FindThis() const noexcept;

    // A new local table under this one, made child 0, seeing the entries of Closure
    // (a captured scope, or none) as its own and with This as its `this`. The captured
    // scope is read where it is, not copied: the call's table answers for it until the
    // call writes one of its variables, which then becomes the call's own (so every
    // call starts from the captured values). The closure's function must outlive the
    // call. LinkThis false leaves
    // `this` unlinked, for an object that outlives every table (the engine's own).
    // Layout, for a call, gives the table its record.
    TJLocalSymbolTable* NewChild(const TJSymbolTableBase* closure, TJObject* thisObject, bool linkThis = true,
                                 const TJFrameLayout* layout = nullptr);
    // Destroys child 0. Emptied tables of calls are kept for the next NewChild, so a
    // call allocates nothing once its scope's room exists.
    void RemoveFirstChild() noexcept;
    std::size_t ChildCount() const noexcept { return children_.size(); }
    // Child Index, 0 being the most recent.
    TJLocalSymbolTable* Child(std::size_t index) const noexcept {
        return index < children_.size() ? children_[children_.size() - 1 - index].get() : nullptr;
    }

    // Objects made during the current statement: destroyed by ClearTemp unless stored.
    void AddTemp(TJObject* object, bool takeReference = true) { temp_.AddObject(object, takeReference); }
    void ClearTemp() noexcept {
        if (!temp_.Empty()) temp_.Clear();
    }
    TJValueList& TempValues() noexcept { return temp_; }

    // Destroys the children, forgets `this`, empties the temporary list and the variables.
    virtual void Clear();

    TJObject* This() const noexcept { return this_; }
    // Links the new `this` (or none), unlinking the previous one.
    void SetThis(TJObject* object);
    TJLocalSymbolTable* Parent() const noexcept { return parent_; }
    // Ignored when it would make the chain lead back to this table.
    void SetParent(TJLocalSymbolTable* parent) noexcept;
    TJHash& Symbols() noexcept { return symbols_; }
    const TJHash& Symbols() const noexcept { return symbols_; }

    bool IsFunctionTable() const noexcept { return kind_ >= TKind::Function; }
    bool IsGlobalTable() const noexcept { return kind_ >= TKind::Global; }
    bool IsRootTable() const noexcept { return kind_ == TKind::Root; }

    TJSymbolTableBase* CreateWithoutParent() const override;
    void CopyFrom(const TJSymbolTableBase& other) override;
    void Notification(TJNotify* other) override;

protected:
    enum class TKind : std::uint8_t { Local, Function, Global, Root };
    TJLocalSymbolTable(TJLocalSymbolTable* parent, TKind kind);

private:
    // Whether a lookup asked of this table starts here (else at the most recent child).
    bool AnswersFirst() const noexcept { return !IsFunctionTable() || children_.empty(); }
    // Whether Table is one of this table's children.
    bool IsOwnChild(const TJLocalSymbolTable* table) const noexcept {
        return table && table->isChild_ && table->parent_ == this;
    }
    TJLocalSymbolTable* Outermost() noexcept;
    // This table's own variable Name (record or hash), or null.
    const TJValue* FindOwn(std::string_view name, std::uint8_t* hint) const {
        return layout_ ? FindOwnInFrame(name, hint) : FindInSymbols(name, hint);
    }
    const TJValue* FindOwnInFrame(std::string_view name, std::uint8_t* hint) const;
    const TJValue* FindInSymbols(std::string_view name, std::uint8_t* hint) const {
        if (symbols_.Count() == 0) return nullptr;  // most calls declare nothing beyond their record
        return hint ? symbols_.FindHinted(name, *hint) : symbols_.Find(name);
    }
    bool ReplaceOwn(std::string_view name, const TJValue& value, std::uint8_t* hint);
    bool HasOwn(std::string_view name) const { return FindOwn(name, nullptr) != nullptr; }
    // The variable Name of the captured scope this call reads through, or null.
    const TJValue* FindCaptured(std::string_view name, std::uint8_t* hint) const {
        return captured_ ? captured_->FindOwn(name, hint) : nullptr;
    }
    void AssignImpl(std::string_view name, const TJValue& value, int mode, std::uint8_t* hint);
    // GetValueImpl of this table once its own variables are known not to hold Name.
    bool GetValueBeyondSymbols(std::string_view name, TJValue& value, std::uint8_t* hint);
    void ClearOwn() noexcept;

    TKind kind_;
    bool isChild_ = false;  // owned by the parent's children
    TJLocalSymbolTable* parent_;
    TJHash symbols_{31};
    const TJFrameLayout* layout_ = nullptr;  // a call's: the names of frame_
    const TJStatement* frameDecl_ = nullptr;  // a call's: its function's declaration
    TJFrameSlots frame_;
    // A closure's call: the scope its function captured, read as if copied into this
    // table (owned by the function, which the call holds).
    const TJLocalSymbolTable* captured_ = nullptr;
    TJObject* this_ = nullptr;  // linked (unless thisLinked_ is false), not counted
    bool thisLinked_ = true;
    std::vector<std::unique_ptr<TJLocalSymbolTable>> children_;  // the most recent last
    TJValueList temp_;
};

// The table of one function or class declaration; its static variables live here.
class TJFunctionSymbolTable : public TJLocalSymbolTable {
public:
    explicit TJFunctionSymbolTable(TJLocalSymbolTable* parent = nullptr)
        : TJLocalSymbolTable(parent, TKind::Function) {}

    // The record layout of the calls of this table's declaration, made by the
    // evaluator at the first call (none before).
    const TJFrameLayout* CallLayout() const noexcept { return callLayout_.get(); }
    const TJFrameLayout* SetCallLayout(std::unique_ptr<TJFrameLayout> layout) noexcept {
        callLayout_ = std::move(layout);
        return callLayout_.get();
    }

protected:
    TJFunctionSymbolTable(TJLocalSymbolTable* parent, TKind kind) : TJLocalSymbolTable(parent, kind) {}

private:
    std::unique_ptr<TJFrameLayout> callLayout_;
};

// A namespace: the main program or an imported program.
class TJGlobalSymbolTable : public TJFunctionSymbolTable {
public:
    explicit TJGlobalSymbolTable(TJLocalSymbolTable* parent = nullptr)
        : TJFunctionSymbolTable(parent, TKind::Global) {}

protected:
    TJGlobalSymbolTable(TJLocalSymbolTable* parent, TKind kind) : TJFunctionSymbolTable(parent, kind) {}
};

// One per engine: holds the namespaces and the tables of all declarations.
class TJRootSymbolTable : public TJGlobalSymbolTable {
public:
    TJRootSymbolTable() : TJGlobalSymbolTable(nullptr, TKind::Root) {}
    ~TJRootSymbolTable() override;

    // A new namespace under the root, listed under Name (an earlier namespace of the
    // same name stays the one found by name) and registered for its program node.
    // A program node registered already keeps its table.
    TJGlobalSymbolTable* CreateNamespace(std::string_view name, const TJStatement* program);
    // ENameError "namespace not found: " + Name when there is none.
    TJGlobalSymbolTable* GetNamespace(std::string_view name) const;
    TJGlobalSymbolTable* FindNamespace(std::string_view name) const noexcept;
    std::size_t NamespaceCount() const noexcept { return namespaces_.size(); }

    // The table of Decl, made on first use under the table of ParentDecl (none when
    // ParentDecl has none).
    TJFunctionSymbolTable* GetFunctionTable(const TJStatement* parentDecl, const TJStatement* decl);
    TJFunctionSymbolTable* FindFunctionTable(const TJStatement* decl) const noexcept;
    std::size_t DeclTableCount() const noexcept { return declTables_.size(); }

    // Also destroys every namespace and function table.
    void Clear() override;

private:
    std::map<std::string, TJGlobalSymbolTable*, std::less<>> namespaces_;  // not owning
    std::unordered_map<const TJStatement*, std::unique_ptr<TJFunctionSymbolTable>> declTables_;
};

}  // namespace kestrel
