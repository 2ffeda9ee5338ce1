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
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/core/ecma_type_object.h"

namespace kestrel {

struct TJStatement;
class TJFunctionSymbolTable;
class TJGlobalSymbolTable;

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
        if (!IsFunctionTable() || children_.empty()) {
            if (const TJValue* found = hint ? symbols_.FindHinted(name, *hint) : symbols_.Find(name)) {
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
    void SetLocal(std::string_view name, const TJValue& value) { symbols_.SetValue(name, value); }
    // The same in the nearest namespace (the outermost table when the chain has none).
    void SetGlobal(std::string_view name, const TJValue& value);
    // In the nearest function table (the outermost when none), unless Name is declared there.
    void SetStatic(std::string_view name, const TJValue& value);
    // Replaces an existing variable; otherwise declares it: mode 1 here, mode 2 as a
    // static, any other mode in the nearest namespace.
    void Assign(std::string_view name, const TJValue& value, int mode = 0, std::uint8_t* hint = nullptr) {
        if ((!IsFunctionTable() || children_.empty()) && symbols_.ReplaceValue(name, value, hint)) return;
        AssignImpl(name, value, mode, hint);
    }

    TJGlobalSymbolTable* NearestGlobal() noexcept;
    TJFunctionSymbolTable* NearestFunction() noexcept;
    // The `this` of the nearest table along the chain that has one, or none.
    TJObject* FindThis() const noexcept;

    // A new local table under this one, made child 0, holding the entries of Closure
    // (a captured scope, or none) and with This as its `this`. LinkThis false leaves
    // `this` unlinked, for an object that outlives every table (the engine's own).
    TJLocalSymbolTable* NewChild(const TJSymbolTableBase* closure, TJObject* thisObject, bool linkThis = true);
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
    // Whether Table is one of this table's children.
    bool IsOwnChild(const TJLocalSymbolTable* table) const noexcept {
        return table && table->isChild_ && table->parent_ == this;
    }
    TJLocalSymbolTable* Outermost() noexcept;
    void AssignImpl(std::string_view name, const TJValue& value, int mode, std::uint8_t* hint);
    // GetValueImpl of this table once its own variables are known not to hold Name.
    bool GetValueBeyondSymbols(std::string_view name, TJValue& value, std::uint8_t* hint);
    void ClearOwn() noexcept;

    TKind kind_;
    bool isChild_ = false;  // owned by the parent's children
    TJLocalSymbolTable* parent_;
    TJHash symbols_{31};
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

protected:
    TJFunctionSymbolTable(TJLocalSymbolTable* parent, TKind kind) : TJLocalSymbolTable(parent, kind) {}
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
