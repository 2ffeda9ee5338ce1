// Per-site member caches: the quick answers of ecma_member_cache.h, and the search
// that fills them, which follows the member read of TJObject::GetValueImpl step by
// step for the objects it accepts.
#include "script/core/ecma_member_cache.h"

namespace kestrel {

namespace {

// A prototype whose table alone answers: a prototype object (no shared methods, no
// published properties), or a plain object set as a replacement, whose own members
// come before its shared entries.
bool AnswersFromTable(const TJObject& prototype) noexcept {
    return typeid(prototype) == typeid(TJObject) || typeid(prototype) == typeid(TJPrototypeObject);
}

}  // namespace

void TJMemberCache::Prepare(const TJString& name) {
    const std::string_view text = name.view();
    nameHash_ = HashKey(text, false);
    if (text == "prototype") kind_ = TNameKind::Prototype;
    else if (TJObject::BaseMethods().IndexOf(text) >= 0) kind_ = TNameKind::Shared;
    else kind_ = TNameKind::Plain;
}

const TJValue* TJMemberCache::Search(TJObject& object, const TJString& name) {
    if (kind_ == TNameKind::Unknown) Prepare(name);
    if (kind_ == TNameKind::Prototype || !IsPlain(object)) return nullptr;
    // Own members come first, for every name: the hash rules most misses out at once.
    const TJMemberTable& own = object.Members();
    if (own.MayHoldHash(nameHash_))
        if (const TJValue* v = own.FindHinted(name.view(), ownHint_)) return v;
    if (kind_ != TNameKind::Plain) return nullptr;
    if (holder_ && epoch_ == TJPrototypeObject::Epoch() && holder_ != &object &&
        holder_->Engine() == object.Engine() && holder_->Members().Layout() == holderLayout_ &&
        objectName_.view() == object.ObjectName() && !TJMemberTable::IsUnboundMethod(*slot_))
        return slot_;
    return FindInPrototype(object, name);
}

const TJValue* TJMemberCache::FindInPrototype(TJObject& object, const TJString& name) {
    if (object.Kind() == TJObjectKind::Prototype || !object.Engine()) return nullptr;
    TJObject* prototype = object.Engine()->Factory().GetPrototype(object.ObjectName());
    if (!prototype || prototype == &object || !AnswersFromTable(*prototype)) return nullptr;
    const TJValue* slot = prototype->Members().Find(name.view());
    if (!slot) return nullptr;
    holder_ = prototype;
    holderLayout_ = prototype->Members().Layout();
    epoch_ = TJPrototypeObject::Epoch();
    if (objectName_.view() != object.ObjectName()) objectName_ = TJString(object.ObjectName());
    slot_ = slot;
    return slot;
}

bool TJMemberCache::Store(TJObject& object, const TJString& name, const TJValue& value) {
    if (kind_ == TNameKind::Unknown) Prepare(name);
    if (kind_ == TNameKind::Prototype || !IsPlain(object)) return false;
    TJMemberTable& own = object.Members();
    if (!own.MayHoldHash(nameHash_) || !own.ReplaceValue(name.view(), value, &ownHint_))
        own.SetValue(name.view(), value);
    return true;
}

}  // namespace kestrel
