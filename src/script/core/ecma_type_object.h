// Script objects and the containers that keep them alive.
//
// Lifetime: an object is counted by the containers that store it (member tables,
// value lists, symbol tables, prototype links), never by a bare TJValue. A container
// links itself to every object it holds, so that an object that dies (its count fell
// to zero, its creator freed it, or the engine was cleared) tells each holder, which
// then forgets it: slots become undefined, scopes drop their `this`, functions their
// owner. Registered objects also sit on the factory's live-object list until the
// engine is cleared. Destruction never recurses: objects released while another one
// is being destroyed wait in a queue, so a chain of a million members unwinds in a loop.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "script/core/ecma_type.h"
#include "script/core/hashtable.h"

namespace kestrel {

class TJBaseEngine;
class TJObjectFactory;
class TJFunctionImpl;
class TJNotify;

// The host's list index error: an index outside a value list.
class EListError : public std::out_of_range {
public:
    explicit EListError(long long index);
};

// ---------------------------------------------------------------------------
// Notification links.

// The parties a TJNotify is linked to. A party is on the list of another when both
// are linked both ways (a scope and its `this`), or when it is a container holding
// the other: then the entry counts the container's slots that hold it, and the
// container keeps no entry of its own (it forgets what it holds by releasing its
// slots), so that an array of a million objects needs no set of a million links.
// Most objects have one party: a single entry is kept in place. A few parties are
// kept in a small array that is searched through; more in an open-addressing hash
// set, so that an object held by many containers links in constant time.
class TJLinks {
public:
    struct Entry {
        TJNotify* Party = nullptr;
        std::uint32_t Holds = 0;  // slots of the party holding this one, and the flag below
    };
    static constexpr std::uint32_t kLinkedBothWays = 0x80000000u;
    TJLinks() : single_{} {}
    TJLinks(const TJLinks&) = delete;
    TJLinks& operator=(const TJLinks&) = delete;
    ~TJLinks();

    std::size_t Size() const noexcept { return capacity_ ? table_.Size : single_.Party != nullptr; }
    bool Empty() const noexcept { return Size() == 0; }
    Entry* Find(const TJNotify* party) noexcept;
    // The entry of Party, added with no holds when absent; Added tells which.
    Entry& Insert(TJNotify* party, bool& added);
    bool Erase(const TJNotify* party) noexcept;
    // Moves every entry out, leaving the set empty.
    std::vector<Entry> Detach();

private:
    friend class TJNotify;
    static constexpr std::uint32_t kFirstCapacity = 4;  // the small array; hashed beyond it
    std::size_t Home(const TJNotify* party) const noexcept;
    void Grow();
    // Every object, member table and value list has a set: 24 bytes, the single entry
    // and the table sharing their room.
    union {
        Entry single_;  // the only party while there is no table (capacity 0; none: Party null)
        struct {
            Entry* Slots;  // Party null = free
            std::uint32_t Size;
        } table_;
    };
    std::uint32_t capacity_ : 31 = 0;
    // Kept here for room's sake: whether the owning party has a notification handler.
    std::uint32_t hasHandler_ : 1 = 0;
    std::uint32_t held_ = 0;  // parties whose lists count slots of this one's
};
static_assert(sizeof(TJLinks) == 24, "a link set is part of every object: keep it small");

// The base of everything that takes part in destruction notification.
class TJNotify {
public:
    TJNotify() = default;
    TJNotify(const TJNotify&) = delete;
    TJNotify& operator=(const TJNotify&) = delete;
    // Tells every linked party that this one goes away.
    virtual ~TJNotify();

    friend class TJMemberTable;  // counts its slots' holds on its holder's behalf
    // Links both ways: Other will hear of this one's end and this one of Other's.
    void FreeNotification(TJNotify* other);
    // Forgets Other on this side only.
    void RemoveFreeNotification(TJNotify* other) noexcept;
    // Whether either party will hear of the other's end.
    bool IsLinkedTo(const TJNotify* other) const noexcept;
    // The parties linked to this one, counting those this one holds.
    std::size_t LinkCount() const noexcept { return links_.Size() + links_.held_; }

    // Other is going away: forget it, then call OnNotification. Subclasses extend it.
    virtual void Notification(TJNotify* other);
    // Called after Other is forgotten (none: nothing is called). Kept out of line:
    // few parties ever have one, and every object and member table is a party.
    void SetOnNotification(std::function<void(TJNotify*)> handler);
    bool HasOnNotification() const noexcept { return links_.hasHandler_; }

protected:
    // Notifies every linked party, from a detached copy of the list, until none is left.
    void NotifyLinkedParties() noexcept;
    // A container's slot now holds Other: Other counts this container among its holders.
    void Hold(TJNotify* other);
    // One slot fewer holds Other: Other forgets this container with the last one.
    void Unhold(TJNotify* other) noexcept;
    // The slots of this container that hold Other.
    std::uint32_t Holds(const TJNotify* other) const noexcept;

private:
    TJLinks links_;  // the handler, when there is one, is kept aside (ecma_type_notify.cpp)
};

// ---------------------------------------------------------------------------
// Containers of values.

// The values native code passes to a script function's parameters: read only while
// the call binds them, so they may sit where the script then changes things.
using TJArgs = std::span<const TJValue>;

// An ordered list of values (argument lists, array elements). Every object value in
// the list is counted once per slot, except where Add is told to adopt a reference
// the caller already took; deleting, clearing or overwriting a slot drops it.
class TJValueList : public TJNotify {
public:
    TJValueList() = default;
    ~TJValueList() override;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    bool Empty() const noexcept { return items_.empty(); }

    int Add(const TJValue& value, bool takeReference = true);
    void Insert(int index, const TJValue& value);
    // A copy of item Index; EListError outside the list.
    TJValue GetItem(int index) const;
    void GetItem(int index, TJValue& value) const { value = GetItem(index); }
    // Item Index without a copy, or null outside the list (a missing argument).
    const TJValue* Get(int index) const noexcept {
        return index >= 0 && index < Count() ? &items_[static_cast<std::size_t>(index)] : nullptr;
    }
    const TJValue& operator[](int index) const noexcept { return items_[static_cast<std::size_t>(index)]; }
    TJArgs Items() const noexcept { return items_; }
    void SetItem(int index, const TJValue& value);
    void Delete(int index);
    // Deletes Count items from Index on in one move; EListError when they are not all there.
    void DeleteRange(int index, int count);
    void Clear() noexcept;
    // Grows with undefined values, shrinks by deleting from the end.
    void SetCount(int count);
    void Assign(const TJValueList& other);

    int AddBool(bool v) { return Add(BoolValue(v)); }
    int AddInteger(std::int32_t v) { return Add(IntegerValue(v)); }
    int AddDouble(double v) { return Add(DoubleValue(v)); }
    int AddString(TJString v) { return Add(StringValue(std::move(v))); }
    int AddObject(TJObject* object, bool takeReference = true) { return Add(ObjectValue(object), takeReference); }

    // Stable top-down merge sort; Compare(a, b) > 0 puts b first. The elements move,
    // so no count changes. If Compare raises, the list keeps its elements, none lost
    // or duplicated; if Compare changes the list, the sort stops and leaves it so.
    // Compare gets the elements in place: it copies what it keeps before it runs
    // anything that may change the list.
    void Sort(const std::function<int(const TJValue&, const TJValue&)>& compare);
    // The same sort with a before b unless AsInteger(a) > AsInteger(b), converting
    // every element once.
    void SortByInteger();

    void Notification(TJNotify* other) override;

private:
    void Acquire(const TJValue& value, bool takeReference);
    void Release(const TJValue& value) noexcept;
    void CheckIndex(int index, int limit) const;
    // Puts the elements in Order, a permutation of their indexes.
    void ApplyOrder(const std::vector<int>& order);

    std::vector<TJValue> items_;
    std::uint64_t version_ = 0;  // changes with every store, for Sort
};

// The member table: names to values, 23 buckets unless told otherwise, case-sensitive.
// Storing an object counts and links it; removing or replacing drops it; when an
// object dies, every member holding it becomes undefined. The objects held are
// linked to the table's holder: an object's own table is held by the object, so that
// it carries no links of its own, and the holder tells it (Forget) of an end. The
// storage is made with the first member: most objects never have one.
class TJMemberTable {
public:
    static constexpr std::size_t kObjectBuckets = 23;
    TJMemberTable(TJNotify& holder, std::size_t buckets, bool ignoreCase);
    // An object's own table, binding the object's registered methods to it.
    explicit TJMemberTable(TJObject& owner);
    ~TJMemberTable();
    TJMemberTable(const TJMemberTable&) = delete;
    TJMemberTable& operator=(const TJMemberTable&) = delete;

    // Copies the value, or makes Value undefined and returns false.
    bool GetValue(std::string_view name, TJValue& value) const;
    // The stored value without a copy, or null.
    const TJValue* Find(std::string_view name) const {
        const TJValue* v = table_ ? table_->Find(name) : nullptr;
        if (v && v->IsUnboundMethod()) BindMethod(name, const_cast<TJValue&>(*v));
        return v;
    }
    // The same with a hint of where the name was found last (TCustomHashTable::FindHinted).
    const TJValue* FindHinted(std::string_view name, std::uint8_t& hint) const {
        const TJValue* v = table_ ? table_->FindHinted(name, hint) : nullptr;
        if (v && v->IsUnboundMethod()) BindMethod(name, const_cast<TJValue&>(*v));
        return v;
    }
    // The member Name when it holds text, or null: its text may be appended to in
    // place (TJValue::AppendText), as text carries no count the table keeps.
    TJValue* FindText(std::string_view name, std::uint8_t& hint) noexcept {
        TJValue* v = table_ ? table_->FindHinted(name, hint) : nullptr;
        return v && v->IsString() ? v : nullptr;
    }
    void SetValue(std::string_view name, const TJValue& value);
    // Replaces an existing member only; false when there is none.
    bool ReplaceValue(std::string_view name, const TJValue& value, std::uint8_t* hint = nullptr);
    // Makes this empty table hold what Other holds, in one copy, when both are small
    // tables of the same shape; false, changing nothing, otherwise.
    bool CopyAllFrom(const TJMemberTable& other);
    bool Remove(std::string_view name);
    bool HasKey(std::string_view name) const noexcept { return table_ && table_->HasKey(name); }
    // TCustomHashTable::Layout and MayHoldHash: what a member cache checks. A table
    // whose storage is not made yet holds nothing and has the first layout.
    std::uint32_t Layout() const noexcept { return table_ ? table_->Layout() : 0; }
    bool MayHoldHash(std::uint32_t hash) const noexcept { return table_ && table_->MayHoldHash(hash); }
    // TCustomHashTable::FindAtHint, for a bound member only (or null).
    const TJValue* FindAtHint(std::string_view name, std::uint8_t hint) const noexcept {
        const TJValue* v = table_ ? table_->FindAtHint(name, hint) : nullptr;
        return v && !v->IsUnboundMethod() ? v : nullptr;
    }
    // Whether Slot holds a registered method not read yet (Find binds it when read).
    static bool IsUnboundMethod(const TJValue& slot) noexcept { return slot.IsUnboundMethod(); }
    // Both sets empty: everything; Include given: the kinds in it; else the kinds not in Exclude.
    void ClearValues(TJValueTypeSet include, TJValueTypeSet exclude);
    // The keys of the same selection, in key-list order.
    void GetKeyList(std::vector<std::string>& list, TJValueTypeSet include = {}, TJValueTypeSet exclude = {}) const;
    void Clear() { ClearValues({}, {}); }
    const std::vector<std::string>& Keys() const;
    std::size_t Count() const noexcept { return table_ ? table_->Count() : 0; }
    // Calls F(key, value) in key-list order; F must not change the table.
    template <class F>
    void ForEach(F&& f) const {
        if (!table_) return;
        BindAllMethods();
        std::as_const(*table_).ForEach(f);
    }
    // Other is going away: every member holding it becomes undefined.
    void Forget(const TJNotify* other) noexcept;

private:
    using TTable = TCustomHashTable<TJValue>;
    void Acquire(const TJValue& value);
    void Release(const TJValue& value) noexcept;
    TTable& Storage();  // made on first use
    // The member table of an object keeps registered methods as bare procedures and
    // makes their function objects (owned by the object) when they are first read,
    // so that making an object does not make a function for every method it has.
    void BindMethod(std::string_view name, TJValue& slot) const;
    void BindAllMethods() const;

    std::unique_ptr<TTable> table_;
    TJNotify* holder_;
    mutable std::uint32_t unbound_ = 0;  // methods not read yet
    std::uint16_t buckets_;
    bool ignoreCase_;
    bool bindsMethods_;  // the holder is the owner object
};

// A member table that is a party of its own (the variables of a scope, the factory's
// prototypes).
class TJHash : public TJNotify, public TJMemberTable {
public:
    explicit TJHash(std::size_t buckets = 23, bool ignoreCase = false)
        : TJMemberTable(*this, buckets, ignoreCase) {}
    ~TJHash() override { Clear(); }
    void Notification(TJNotify* other) override;
};

// Every member is one item: a million small objects hold millions of them.
static_assert(sizeof(TCustomHashTable<TJValue>::Item) <= 64, "keep a member table's item within 64 bytes");

// ---------------------------------------------------------------------------
// Published properties: typed properties a host class declares in a table.

enum class TJPropertyKind : std::uint8_t {
    Integer,      // read vtInteger, write AsInteger (cut to the ordinal type)
    Enumeration,  // read the element name ("True"/"False" give vtBool), write ordinal or name
    Float,        // vtDouble / AsDouble
    String,       // vtString / AsString
    Set,          // names joined by ","; write a text of names or an object of flags
    Object,       // vtNull or vtObject; write an object of a fitting class, or null
    Event,        // vtEvent; only null (clear) can be written from a script
    Variant,      // the variant conversions
    Interface,    // vtDispatch
    Int64,        // vtDouble / AsDouble truncated toward zero
};

enum class TJOrdinalType : std::uint8_t { S8, U8, S16, U16, S32, U32 };

// One entry of a property table. Accessors take the entry's Index, so that one pair
// can serve several properties; a missing getter or setter makes the property
// unreadable or unwritable by scripts. Ordinal accessors serve Integer, Enumeration,
// Set (bit i = element i) and Int64.
struct TJPropertyInfo {
    std::string_view Name;
    TJPropertyKind Kind = TJPropertyKind::Integer;
    TJOrdinalType OrdType = TJOrdinalType::S32;
    int Index = 0;
    std::span<const std::string_view> Names = {};  // enumeration and set elements
    bool (*Fits)(const TJObject&) = nullptr;     // object kind: accepted classes (none: all)
    std::int64_t (*GetOrdinal)(TJObject&, int) = nullptr;
    void (*SetOrdinal)(TJObject&, int, std::int64_t) = nullptr;
    double (*GetFloat)(TJObject&, int) = nullptr;
    void (*SetFloat)(TJObject&, int, double) = nullptr;
    std::string (*GetString)(TJObject&, int) = nullptr;
    void (*SetString)(TJObject&, int, std::string_view) = nullptr;
    TJObject* (*GetObject)(TJObject&, int) = nullptr;
    void (*SetObject)(TJObject&, int, TJObject*) = nullptr;
    TJEvent (*GetEvent)(TJObject&, int) = nullptr;
    void (*SetEvent)(TJObject&, int, TJEvent) = nullptr;
    TJValue (*GetVariant)(TJObject&, int) = nullptr;
    void (*SetVariant)(TJObject&, int, const TJValue&) = nullptr;
    IJDispatch* (*GetInterface)(TJObject&, int) = nullptr;
    void (*SetInterface)(TJObject&, int, IJDispatch*) = nullptr;
};

using TJOrdinalGetter = std::int64_t (*)(TJObject&, int);
using TJOrdinalSetter = void (*)(TJObject&, int, std::int64_t);

inline constexpr std::string_view kBooleanNames[] = {"False", "True"};

inline TJPropertyInfo IntegerProperty(std::string_view name, TJOrdinalType type, TJOrdinalGetter get,
                                      TJOrdinalSetter set, int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::Integer, .OrdType = type, .Index = index,
            .GetOrdinal = get, .SetOrdinal = set};
}
inline TJPropertyInfo EnumProperty(std::string_view name, std::span<const std::string_view> names,
                                   TJOrdinalGetter get, TJOrdinalSetter set, int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::Enumeration, .Index = index, .Names = names,
            .GetOrdinal = get, .SetOrdinal = set};
}
inline TJPropertyInfo BooleanProperty(std::string_view name, TJOrdinalGetter get, TJOrdinalSetter set,
                                      int index = 0) {
    return EnumProperty(name, kBooleanNames, get, set, index);
}
inline TJPropertyInfo SetProperty(std::string_view name, std::span<const std::string_view> names,
                                  TJOrdinalGetter get, TJOrdinalSetter set, int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::Set, .Index = index, .Names = names,
            .GetOrdinal = get, .SetOrdinal = set};
}
inline TJPropertyInfo Int64Property(std::string_view name, TJOrdinalGetter get, TJOrdinalSetter set,
                                    int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::Int64, .Index = index, .GetOrdinal = get, .SetOrdinal = set};
}
inline TJPropertyInfo FloatProperty(std::string_view name, double (*get)(TJObject&, int),
                                    void (*set)(TJObject&, int, double), int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::Float, .Index = index, .GetFloat = get, .SetFloat = set};
}
inline TJPropertyInfo StringProperty(std::string_view name, std::string (*get)(TJObject&, int),
                                     void (*set)(TJObject&, int, std::string_view), int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::String, .Index = index, .GetString = get, .SetString = set};
}
inline TJPropertyInfo ObjectProperty(std::string_view name, bool (*fits)(const TJObject&),
                                     TJObject* (*get)(TJObject&, int), void (*set)(TJObject&, int, TJObject*),
                                     int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::Object, .Index = index, .Fits = fits,
            .GetObject = get, .SetObject = set};
}
inline TJPropertyInfo EventProperty(std::string_view name, TJEvent (*get)(TJObject&, int),
                                    void (*set)(TJObject&, int, TJEvent), int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::Event, .Index = index, .GetEvent = get, .SetEvent = set};
}
inline TJPropertyInfo VariantProperty(std::string_view name, TJValue (*get)(TJObject&, int),
                                      void (*set)(TJObject&, int, const TJValue&), int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::Variant, .Index = index, .GetVariant = get, .SetVariant = set};
}
inline TJPropertyInfo InterfaceProperty(std::string_view name, IJDispatch* (*get)(TJObject&, int),
                                        void (*set)(TJObject&, int, IJDispatch*), int index = 0) {
    return {.Name = name, .Kind = TJPropertyKind::Interface, .Index = index, .GetInterface = get,
            .SetInterface = set};
}

// The published properties of a class: its own entries, then those of its parent
// table. Names match in any case; an own entry hides a parent's of the same name.
class TJPropertyTable {
public:
    TJPropertyTable(std::initializer_list<TJPropertyInfo> entries, const TJPropertyTable* parent = nullptr);
    TJPropertyTable(const TJPropertyTable&) = delete;
    TJPropertyTable& operator=(const TJPropertyTable&) = delete;
    const TJPropertyInfo* Find(std::string_view name) const;
    // The names of the properties that are not events, sorted ignoring case, each once.
    const std::vector<std::string>& Names() const noexcept { return names_; }
    // False when no property has a name of Name's length (names equal in any case
    // have equal lengths), the quick answer for the many names that are no property.
    bool MayHave(std::string_view name) const noexcept { return (lengths_ >> LengthBit(name)) & 1u; }

private:
    static unsigned LengthBit(std::string_view name) noexcept { return name.size() < 63 ? unsigned(name.size()) : 63u; }
    std::uint64_t lengths_ = 0;
    std::vector<TJPropertyInfo> entries_;
    std::vector<const TJPropertyInfo*> index_;  // sorted ignoring case, own entries first
    std::vector<std::string> names_;
};

// The variant conversions (value to variant and back) that variant properties use.
// Automation and Date variants do not exist here, so objects become empty.
TJValue VariantOfValue(const TJValue& value);

// ---------------------------------------------------------------------------
// Captured scopes: what a function object needs of the symbol tables it owns.
class TJSymbolTableBase : public TJNotify {
public:
    // A new empty table of the same class without a parent.
    virtual TJSymbolTableBase* CreateWithoutParent() const = 0;
    // Copies every entry of Other that this table does not hold yet.
    virtual void CopyFrom(const TJSymbolTableBase& other) = 0;
};

// ---------------------------------------------------------------------------
// Shared method tables.

// The methods and constant members that every object of a class has, kept once for
// the class instead of in every object's member table, so that making an object (a
// wrapper of a plain number for one call) registers nothing. To scripts each object
// still has its own copy: an own member of the same name hides the shared entry,
// removeKey hides it for that object only, getKeys, hasKey and the property and
// method lists name each entry as a member in key-list order.
class TJMethodTable {
public:
    struct Entry {
        std::string_view Name;
        TJMethodProc Method = nullptr;  // a method, or else
        TJValue Value;                  // a constant (a kind that needs no counting)
    };
    static Entry Method(std::string_view name, TJMethodProc proc) { return Entry{name, proc, TJValue()}; }
    template <auto M>
    static Entry Method(std::string_view name);
    static Entry Constant(std::string_view name, TJValue value) { return Entry{name, nullptr, std::move(value)}; }

    // Own entries first; a parent entry of the same name is replaced by the own one.
    TJMethodTable(std::initializer_list<Entry> entries, const TJMethodTable* parent = nullptr);
    TJMethodTable(const TJMethodTable&) = delete;
    TJMethodTable& operator=(const TJMethodTable&) = delete;

    std::size_t Size() const noexcept { return entries_.size(); }
    const Entry& operator[](std::size_t i) const noexcept { return entries_[i]; }
    // The entry named Name (case-sensitive), or -1.
    int IndexOf(std::string_view name) const noexcept;

private:
    std::vector<Entry> entries_;
    std::vector<std::uint16_t> byName_;  // entry indexes sorted by name
    std::uint64_t lengths_ = 0;          // a bit per name length, for quick misses
};

// ---------------------------------------------------------------------------
// Objects.

// A class as the factory knows it: its virtual constructor and whether every
// namespace gets an instance of it.
struct TJObjectClass {
    TJObject* (*Create)(TJBaseEngine* engine, bool registerObject, const TJValueList* param);
    bool MakesGlobalInstance;
};
template <class T>
const TJObjectClass* ClassOf();

class TJObject : public TJNotify {
public:
    // Subclasses take the same two arguments and read their constructor arguments
    // from Param. Create objects with New, which completes construction.
    TJObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJObject() override;

    // Constructs, registers the methods and events, and (with an engine and Register)
    // puts the object on the engine's live-object list. The count is 0 afterwards.
    template <class T, class... Extra>
    static T* New(TJBaseEngine* engine, bool registerObject, const TJValueList* param = nullptr,
                  Extra&&... extra) {
        T* object = new T(engine, param, std::forward<Extra>(extra)...);
        object->FinishCreate(registerObject);
        return object;
    }

    // Lifetime.
    int RefCount() const noexcept { return refCount_; }
    int IncRef() noexcept;
    // Destroys the object when the count falls to 0 or below.
    int DecRef() noexcept;
    // Drops one count but keeps the object even at zero, as a new object is kept: for
    // a method that removes an object from its storage and returns it to its caller,
    // whose temporaries take it over.
    void ReleaseToCaller() noexcept {
        if (!dying_ && refCount_ > 0) --refCount_;
    }
    // Destroys the object whatever its count (its creator frees it, the engine is cleared).
    void Destroy() noexcept;
    bool IsDying() const noexcept { return dying_; }

    const std::string& ObjectName() const noexcept { return *objectName_; }
    void SetObjectName(std::string_view name) { objectName_ = &InternObjectName(name); }
    // The one copy of a name text that objects share (kept for the process's life:
    // names are the classes' and constructors', a handful per program).
    static const std::string& InternObjectName(std::string_view name);
    TJObjectKind Kind() const noexcept { return kind_; }
    TJBaseEngine* Engine() const noexcept { return engine_; }
    TJMemberTable& Members() noexcept { return members_; }
    const TJMemberTable& Members() const noexcept { return members_; }

    void Notification(TJNotify* other) override;
    virtual void RegisterMethods();
    virtual void RegisterEvents() {}
    // Member read: published property, member, then the prototype of ObjectName.
    virtual bool GetValueImpl(std::string_view name, TJValue& value, const TJValueList* param);
    // Write to a published property or an existing member.
    virtual bool SetValueImpl(std::string_view name, const TJValue& value, const TJValueList* param);
    // Removes every member, then registers the methods and events again.
    virtual void ResetMembers();
    virtual bool HasKey(std::string_view name);
    virtual bool RemoveKey(std::string_view name);
    // GetValueImpl, raising EKeyError (ArrayStyle) or ENameError with the name when it fails.
    virtual void GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param = nullptr);
    // SetValueImpl, else a new member.
    virtual void SetValue(std::string_view name, const TJValue& value, const TJValueList* param = nullptr,
                          bool arrayStyle = false);
    virtual TJString ToString(const TJValue* arg = nullptr);
    virtual TJValue ValueOf();
    virtual double ToNumber() { return 0; }
    virtual bool ToBool() { return true; }
    virtual unsigned char ToChar() { return 0; }
    virtual bool Equal(TJObject* other) { return other == this; }
    virtual void GetPropertyList(std::vector<std::string>& list);
    virtual void GetMethodList(std::vector<std::string>& list);
    virtual void GetEventList(std::vector<std::string>& list);
    static constexpr bool MakesGlobalInstance() { return true; }
    virtual bool IsArray() const { return false; }
    virtual int GetCount() { return 0; }
    virtual void GetItem(int index, TJValue& value);
    // obj[i] with an integer key, for objects that read integer keys as elements: the
    // same result as GetValue/SetValue with the key's text, without making the text.
    // False when the object has no elements (the key text is then used as usual).
    virtual bool GetElement(std::int32_t index, TJValue& value);
    virtual bool SetElement(std::int32_t index, const TJValue& value);
    // The class's published properties, or none.
    virtual const TJPropertyTable* PublishedProperties() const { return nullptr; }
    // The class's shared methods and constants, or none (then RegisterMethods stores
    // the methods every object has in the object's own member table). Plain objects
    // share the methods every object has, so that an empty object holds no member.
    virtual const TJMethodTable* SharedMethods() const { return &BaseMethods(); }
    // The methods every object has, as the parent of a class's shared table.
    static const TJMethodTable& BaseMethods();
    // The names of the members, shared entries included, in key-list order: those
    // whose kind is in Include when it is given, else those whose kind is not in Exclude.
    void MemberKeys(std::vector<std::string>& list, TJValueTypeSet include = {}, TJValueTypeSet exclude = {});

    // Stores a function of kind fkMethod named Name, bound to and owned by this object.
    void RegisterMethod(std::string_view name, TJMethodProc method);
    // The same for a member function void C::M(const TJValueList*, TJValue&).
    template <auto Method>
    void RegisterMethod(std::string_view name);
    // Stores Value as member Name, bypassing published properties.
    void DefineMember(std::string_view name, const TJValue& value);
    void RegisterEvent(std::string_view name);
    void ClearMembers() {
        members_.Clear();
        HideShared({}, {});
    }
    // Removes the members that are not functions, keeping the registered methods.
    void ClearProperties() {
        members_.ClearValues({}, {vtFunction});
        HideShared({}, {vtFunction});
    }
    bool HasPublishedProperty(std::string_view name) const;
    bool HasEventHandler(std::string_view name);
    void CallEvent(std::string_view prefix, std::string_view name, TJValue& result, const TJValueList* args);

    // Reads or writes one published property by the conversions of its kind; false
    // when it cannot (no accessor, no such element name, a value that fits no rule).
    bool ReadProperty(const TJPropertyInfo& info, TJValue& value);
    bool WriteProperty(const TJPropertyInfo& info, const TJValue& value);

protected:
    void SetKind(TJObjectKind kind) noexcept { kind_ = kind; }

private:
    friend class TJObjectFactory;
    friend class TJFunctionImpl;
    friend class TJMethodTable;
    template <class M>
    struct MethodTraits;

    void FinishCreate(bool registerObject);
    static void DestroyNow(TJObject* object) noexcept;
    // The shared entry Name as this object sees it: none when the class has no table,
    // the name is not in it, or this object has removed it.
    const TJMethodTable::Entry* FindShared(std::string_view name) const noexcept;
    bool SharedHidden(std::size_t i) const noexcept {
        return extras_ && extras_->HiddenShared && ((extras_->HiddenShared[i / 64] >> (i % 64)) & 1u);
    }
    // What few objects need, made on first use, so that the others carry one pointer.
    struct TExtras {
        std::vector<std::string> EventNames;  // sorted ignoring case, each once
        // A bit per shared entry this object has removed; none until the first removal.
        std::unique_ptr<std::uint64_t[]> HiddenShared;
        TJFunctionImpl* OwnedFunctions = nullptr;  // functions whose owner this object is
    };
    TExtras& Extras() {
        if (!extras_) extras_ = std::make_unique<TExtras>();
        return *extras_;
    }
    void HideShared(std::size_t i);
    // Hides the shared entries of the kinds selected as TJHash::ClearValues selects.
    void HideShared(TJValueTypeSet include, TJValueTypeSet exclude);

    // Every script value that is an object is one of these: the fields are packed, and
    // what few objects need waits in the extras.
    int refCount_ = 1;
    bool dying_ = false;
    bool listed_ = false;  // on its engine's live-object list (prev_, next_)
    TJObjectKind kind_ = TJObjectKind::Plain;
    const std::string* objectName_;  // interned (InternObjectName)
    TJBaseEngine* engine_;
    TJObject* prev_ = nullptr;
    TJObject* next_ = nullptr;
    std::unique_ptr<TExtras> extras_;
    TJMemberTable members_;
};

template <class C>
struct TJObject::MethodTraits<void (C::*)(const TJValueList*, TJValue&)> {
    using Class = C;
};

template <auto Method>
void TJObject::RegisterMethod(std::string_view name) {
    using C = typename MethodTraits<decltype(Method)>::Class;
    RegisterMethod(name, [](TJObject& self, const TJValueList* args, TJValue& result) {
        (static_cast<C&>(self).*Method)(args, result);
    });
}

template <auto M>
TJMethodTable::Entry TJMethodTable::Method(std::string_view name) {
    using C = typename TJObject::MethodTraits<decltype(M)>::Class;
    return Method(name, [](TJObject& self, const TJValueList* args, TJValue& result) {
        (static_cast<C&>(self).*M)(args, result);
    });
}

template <class T>
const TJObjectClass* ClassOf() {
    static const TJObjectClass cls{
        [](TJBaseEngine* engine, bool registerObject, const TJValueList* param) -> TJObject* {
            return TJObject::New<T>(engine, registerObject, param);
        },
        T::MakesGlobalInstance()};
    return &cls;
}

// The prototype kept for one object name: its members are what objects of that name
// find when they lack a member. A replacement object, set by assigning a prototype,
// takes its place for lookups. It has no built-in methods of its own.
class TJPrototypeObject : public TJObject {
public:
    TJPrototypeObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJPrototypeObject() override;
    void RegisterMethods() override {}
    const TJMethodTable* SharedMethods() const override { return nullptr; }
    void Notification(TJNotify* other) override;
    void GetPropertyList(std::vector<std::string>& list) override;
    // The replacement when one is set, else this prototype itself.
    TJObject* GetPrototype() noexcept { return replacement_ ? replacement_ : this; }
    TJObject* Replacement() const noexcept { return replacement_; }
    // Counts and links the new replacement (or none), dropping the previous one.
    void SetReplacement(TJObject* object);

    // Changes whenever the object that some object name's lookups continue in may
    // change: a replacement set, cleared or dead, a prototype discarded. Member caches
    // that remember a prototype's member hold while it stays the same.
    static std::uint64_t Epoch() noexcept { return epoch_.load(std::memory_order_relaxed); }

private:
    static void NewEpoch() noexcept { epoch_.fetch_add(1, std::memory_order_relaxed); }
    static inline std::atomic<std::uint64_t> epoch_{1};
    TJObject* replacement_ = nullptr;
};

// ---------------------------------------------------------------------------
// Function objects.

class TJFunctionImpl final : public IJFunction {
public:
    TJFunctionImpl() = default;
    explicit TJFunctionImpl(TJFunctionInfo info) : info_(std::move(info)) {}
    ~TJFunctionImpl() override;

    const TJFunctionInfo& GetFunc() const override { return info_; }
    TJFunctionSymbolTable* GetSymbolTable() const override { return info_.SymbolTable; }
    TJSymbolTableBase* GetLocalTable() const override { return localTable_.get(); }
    TJCallMode GetCallMode() const override { return info_.CallMode; }
    TJFunctionKind GetFuncType() const override { return info_.FuncType; }
    const TJStatement* GetParameters() const override { return info_.Parameters; }
    const std::string& GetFuncName() const override { return info_.FuncName; }
    const TJActiveXMethod& GetActiveXMethod() const override { return info_.ActiveXMethod; }
    const TDynaDeclare& GetDynaDeclare() const override { return info_.DynaDeclare; }
    TJNativeMethod GetMethod() const override { return info_.Method; }
    const TJStatement* GetStatement() const override { return info_.Statement; }
    void SetSymbolTable(TJFunctionSymbolTable* table) override { info_.SymbolTable = table; }
    void SetLocalTable(TJSymbolTableBase* table) override { localTable_.reset(table); }
    void SetCallMode(TJCallMode mode) override { info_.CallMode = mode; }
    void SetFuncType(TJFunctionKind kind) override { info_.FuncType = kind; }
    void SetParameters(const TJStatement* first) override { info_.Parameters = first; }
    void SetFuncName(std::string_view name) override { info_.FuncName = name; }
    void SetMethod(TJNativeMethod method) override { info_.Method = method; }
    void SetStatement(const TJStatement* statement) override { info_.Statement = statement; }
    TJObject* GetOwner() const override { return owner_; }
    void SetOwner(TJObject* owner) override;
    void Assign(const IJFunction& other) override;

private:
    friend class TJObject;
    void OwnerDied() noexcept;

    TJFunctionInfo info_;
    std::unique_ptr<TJSymbolTableBase> localTable_;
    TJObject* owner_ = nullptr;  // linked, not counted
    TJFunctionImpl* prevOwned_ = nullptr;
    TJFunctionImpl* nextOwned_ = nullptr;
};

// ---------------------------------------------------------------------------
// The object factory: classes by name, the live-object list, the prototypes.
class TJObjectFactory : public TJNotify {
public:
    explicit TJObjectFactory(TJBaseEngine* engine);
    ~TJObjectFactory() override;

    TJBaseEngine* Engine() const noexcept { return engine_; }

    // Stores the class under Name, replacing an earlier registration.
    void RegisterClass(std::string_view name, const TJObjectClass* cls);
    bool HasClass(std::string_view name) const noexcept { return classes_.HasKey(name); }
    const TJObjectClass* GetClass(std::string_view name) const noexcept;
    std::vector<std::string> ClassNames() const { return classes_.Keys(); }
    // A new registered instance of the class registered as Name, or null.
    TJObject* CreateInstance(std::string_view name, const TJValueList* param);

    // The prototype of an object name (its replacement when one is set), made on first use.
    TJObject* GetPrototype(std::string_view name);
    // Sets (or with null clears) the replacement of Name's prototype; false when that
    // would make the chain of replacements lead back to Name.
    bool SetPrototype(std::string_view name, TJObject* object);

    // Appends an object to the live-object list (once).
    void AddObject(TJObject* object);
    std::size_t ObjectCount() const noexcept { return objectCount_; }
    TJObject* FirstObject() const noexcept { return first_; }
    // Discards the prototypes, then destroys every object left on the list.
    void Clear();

    std::function<void(TJObject*)> OnNewObject;

private:
    friend class TJObject;
    void Unlist(TJObject* object) noexcept;

    TJBaseEngine* engine_;
    TCustomHashTable<const TJObjectClass*> classes_{53};
    TJHash prototypes_{23};
    TJObject* first_ = nullptr;
    TJObject* last_ = nullptr;
    std::size_t objectCount_ = 0;
};

// ---------------------------------------------------------------------------
// What objects see of the engine. The evaluator's engine derives from it and
// overrides the operations; the defaults serve an engine without a running script.
class TJBaseEngine {
public:
    TJBaseEngine();
    // A derived engine clears the factory in its own destructor, while it is whole.
    virtual ~TJBaseEngine();
    TJBaseEngine(const TJBaseEngine&) = delete;
    TJBaseEngine& operator=(const TJBaseEngine&) = delete;

    TJObjectFactory& Factory() noexcept { return factory_; }

    // `new Name(args)`; by default a registered class, else ENameError "create object error ".
    virtual TJObject* CreateObject(std::string_view name, const TJValueList* args);
    virtual void ImportObject(std::string_view name, const TJObjectClass* cls);
    virtual std::string GetScriptFileName() { return {}; }
    virtual bool FindImportFile(std::string_view name, std::string& path);
    // Whether a script is running (event handlers fire only then).
    virtual bool IsRunning() const { return false; }
    // Looks a variable up in the current scope chain.
    virtual bool FindVariable(std::string_view name, TJValue& value);
    // Calls a function value, or evaluates a string-like value as script code, with
    // This; anything else leaves Result undefined. For event handlers: once the main
    // program has ended, an error is reported instead of raised.
    virtual void Invoke(const TJValue& callable, const TJValueList* args, TJValue& result, TJObject* thisObject);
    // Calls a function value from native code (a compare function, a replace function,
    // an event handler) with This: a script function's parameters take Args straight,
    // without a list; its errors reach the caller. Anything else is ECallError.
    virtual void CallBack(const TJValue& function, TJArgs args, TJValue& result, TJObject* thisObject);

private:
    TJObjectFactory factory_;
};

}  // namespace kestrel
