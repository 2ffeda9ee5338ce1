// What one member access in the tree (`a.b`, `a.b(...)`, `a.b = v`) found last
// time, so that the next access at the same place finds it again without a search.
//
// Only plain objects (the base class itself: no published properties, no overrides)
// are answered here; every other object, and every name a cache must not answer,
// goes the usual way. A plain object's own member is found through the place it
// had in the last object's table (checked, so objects of another layout only cost
// the usual search). A member the object lacks is looked for in the prototype of
// its name; the member found there is remembered with what makes it exact: the
// object name, the prototypes' epoch (which changes when a replacement is set,
// cleared or dies, or a prototype is discarded) and the layout of the table that
// holds it (which changes when a member is added or removed there). A member
// replaced in that table is read through the remembered slot, so it needs no check.
#pragma once

#include <cstdint>
#include <typeinfo>

#include "script/core/ecma_type_object.h"

namespace kestrel {

class TJMemberCache {
public:
    // The member Name of Object as a read finds it, or null when the usual way must
    // answer (an object that is not plain, a name no cache answers, a member found
    // deeper than the first prototype, or no member at all). The value must be
    // copied before anything can change the table that holds it.
    const TJValue* Find(TJObject& object, const TJString& name) {
        // The quick case inline: a plain object's own member where the last one had it.
        if (kind_ != TNameKind::Unknown && kind_ != TNameKind::Prototype && IsPlain(object))
            if (const TJValue* v = object.Members().FindAtHint(name.view(), ownHint_)) return v;
        return Search(object, name);
    }
    // Writes Value into the member Name of a plain object, replacing its own member
    // or adding one (a write never goes to a prototype); false, doing nothing, for
    // any other object or for the name "prototype".
    bool Store(TJObject& object, const TJString& name, const TJValue& value);

private:
    // An object of the base class itself: its member table and its name's prototype
    // say everything a read finds.
    static bool IsPlain(const TJObject& object) noexcept { return typeid(object) == typeid(TJObject); }
    const TJValue* Search(TJObject& object, const TJString& name);
    void Prepare(const TJString& name);
    const TJValue* FindInPrototype(TJObject& object, const TJString& name);

    enum class TNameKind : std::uint8_t {
        Unknown,    // not looked at yet
        Plain,      // answered here
        Shared,     // a method every object has: its shared entry may answer first
        Prototype,  // "prototype": the object name's prototype, never a member
    };
    TNameKind kind_ = TNameKind::Unknown;
    std::uint8_t ownHint_ = 0;   // where the name stood in the last object's own table
    std::uint32_t nameHash_ = 0;  // HashKey of the name, for the quick miss of own tables
    // The prototype's member, valid while all of these are unchanged.
    std::uint32_t holderLayout_ = 0;
    std::uint64_t epoch_ = 0;
    TJString objectName_;
    TJObject* holder_ = nullptr;
    const TJValue* slot_ = nullptr;
};

}  // namespace kestrel
