// The containers that count and link the objects they hold: the ordered value list
// (argument lists, array elements) and the member table.
#include <algorithm>
#include <iterator>
#include <numeric>
#include <string>
#include <utility>

#include "script/core/ecma_type_object.h"

namespace kestrel {

EListError::EListError(long long index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}

// ---------------------------------------------------------------------------
// TJValueList

TJValueList::~TJValueList() { Clear(); }

void TJValueList::Acquire(const TJValue& value, bool takeReference) {
    if (TJObject* o = value.vObject()) {
        Hold(o);
        if (takeReference) o->IncRef();
    }
}

void TJValueList::Release(const TJValue& value) noexcept {
    if (TJObject* o = value.vObject()) {
        Unhold(o);
        o->DecRef();
    }
}

void TJValueList::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) throw EListError(index);
}

int TJValueList::Add(const TJValue& value, bool takeReference) {
    items_.push_back(value);
    try {
        Acquire(items_.back(), takeReference);
    } catch (...) {
        items_.pop_back();
        throw;
    }
    ++version_;
    return Count() - 1;
}

void TJValueList::Insert(int index, const TJValue& value) {
    CheckIndex(index, Count() + 1);
    TJValue copy(value);
    Acquire(copy, true);
    try {
        items_.insert(items_.begin() + index, copy);
    } catch (...) {
        Release(copy);
        throw;
    }
    ++version_;
}

TJValue TJValueList::GetItem(int index) const {
    CheckIndex(index, Count());
    return items_[static_cast<std::size_t>(index)];
}

void TJValueList::SetItem(int index, const TJValue& value) {
    CheckIndex(index, Count());
    TJValue fresh(value);
    Acquire(fresh, true);  // before the old one goes, in case both are the same object
    TJValue old = std::exchange(items_[static_cast<std::size_t>(index)], std::move(fresh));
    ++version_;
    Release(old);
}

void TJValueList::Delete(int index) {
    CheckIndex(index, Count());
    TJValue old = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    ++version_;
    Release(old);
}

void TJValueList::DeleteRange(int index, int count) {
    if (count <= 0) return;
    CheckIndex(index, Count());
    CheckIndex(index + count - 1, Count());
    const auto first = items_.begin() + index;
    std::vector<TJValue> old(std::make_move_iterator(first), std::make_move_iterator(first + count));
    items_.erase(first, first + count);
    ++version_;
    for (const TJValue& v : old) Release(v);
}

namespace {
// Whether dropping the value can only free memory: no object whose holders are told,
// no function or interface whose end may run more.
bool IsInert(const TJValue& v) noexcept {
    switch (v.ValueType()) {
    case vtObject:
    case vtFunction:
    case vtDispatch: return false;
    default: return true;
    }
}
}  // namespace

void TJValueList::Clear() noexcept {
    if (items_.empty()) return;
    if (std::all_of(items_.begin(), items_.end(), IsInert)) {
        items_.clear();
        ++version_;
        return;
    }
    std::vector<TJValue> old = std::move(items_);
    items_.clear();
    ++version_;
    for (const TJValue& v : old) Release(v);
    // The room stays for the next items, unless some arrived meanwhile.
    old.clear();
    if (items_.empty()) items_.swap(old);
}

void TJValueList::SetCount(int count) {
    if (count < 0) count = 0;
    if (count >= Count()) {
        items_.resize(static_cast<std::size_t>(count));
        ++version_;
        return;
    }
    while (Count() > count) Delete(Count() - 1);
}

void TJValueList::Assign(const TJValueList& other) {
    // Take the new values before the old ones go: they may share objects.
    std::vector<TJValue> fresh(other.items_);
    std::size_t taken = 0;
    try {
        for (; taken < fresh.size(); ++taken) Acquire(fresh[taken], true);
    } catch (...) {
        for (std::size_t i = 0; i < taken; ++i) Release(fresh[i]);
        throw;
    }
    std::vector<TJValue> old = std::exchange(items_, std::move(fresh));
    ++version_;
    for (const TJValue& v : old) Release(v);
}

void TJValueList::Notification(TJNotify* other) {
    TJNotify::Notification(other);
    for (TJValue& v : items_) {
        if (v.vObject() && static_cast<TJNotify*>(v.vObject()) == other) v.SetUndefined();
    }
    ++version_;
}

namespace {

struct SortAbandoned {};

// The stable top-down merge sort of Array sort over Order, a permutation of the
// elements' indexes: sort(lo, hi) splits at hi / 2 + lo / 2, and the merge takes from
// the right run only when Greater(left, right). Only indexes move.
template <class Greater>
void MergeSortOrder(std::vector<int>& order, Greater&& greater) {
    std::vector<int> scratch(order.size());
    auto sort = [&](auto& self, int lo, int hi) -> void {
        if (hi <= lo) return;
        const int mid = hi / 2 + lo / 2;
        self(self, lo, mid);
        self(self, mid + 1, hi);
        int i = lo, j = mid + 1, k = lo;
        while (i <= mid && j <= hi) scratch[k++] = greater(order[i], order[j]) ? order[j++] : order[i++];
        while (i <= mid) scratch[k++] = order[i++];
        while (j <= hi) scratch[k++] = order[j++];
        std::copy(scratch.begin() + lo, scratch.begin() + hi + 1, order.begin() + lo);
    };
    sort(sort, 0, static_cast<int>(order.size()) - 1);
}

std::vector<int> Identity(int n) {
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

}  // namespace

void TJValueList::ApplyOrder(const std::vector<int>& order) {
    std::vector<TJValue> sorted;
    sorted.reserve(order.size());
    for (int i : order) sorted.push_back(std::move(items_[static_cast<std::size_t>(i)]));
    items_ = std::move(sorted);
    ++version_;
}

void TJValueList::Sort(const std::function<int(const TJValue&, const TJValue&)>& compare) {
    const int n = Count();
    if (n < 2) return;
    // Sort a permutation and apply it at the end: Compare is script code and may
    // raise or change this list, and neither may lose or duplicate an element.
    std::vector<int> order = Identity(n);
    const std::uint64_t version = version_;
    try {
        MergeSortOrder(order, [&](int a, int b) {
            // The elements themselves: Compare takes what it needs before it runs script.
            const bool result = compare(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]) > 0;
            if (version_ != version) throw SortAbandoned{};
            return result;
        });
    } catch (const SortAbandoned&) {
        return;
    }
    ApplyOrder(order);
}

void TJValueList::SortByInteger() {
    const int n = Count();
    if (n < 2) return;
    // Each element's number once, not once per comparison (a text is parsed each time).
    std::vector<std::int32_t> keys;
    keys.reserve(items_.size());
    for (const TJValue& v : items_) keys.push_back(v.AsInteger());
    std::vector<int> order = Identity(n);
    MergeSortOrder(order, [&keys](int a, int b) {
        return keys[static_cast<std::size_t>(a)] > keys[static_cast<std::size_t>(b)];
    });
    ApplyOrder(order);
}

// ---------------------------------------------------------------------------
// TJMemberTable

TJMemberTable::TJMemberTable(TJNotify& holder, std::size_t buckets, bool ignoreCase)
    : holder_(&holder),
      buckets_(static_cast<std::uint16_t>(std::min<std::size_t>(buckets, UINT16_MAX))),
      ignoreCase_(ignoreCase),
      bindsMethods_(false) {}

TJMemberTable::TJMemberTable(TJObject& owner) : TJMemberTable(owner, kObjectBuckets, false) { bindsMethods_ = true; }

TJMemberTable::~TJMemberTable() { Clear(); }

TJMemberTable::TTable& TJMemberTable::Storage() {
    if (!table_) table_ = std::make_unique<TTable>(buckets_, ignoreCase_);
    return *table_;
}

const std::vector<std::string>& TJMemberTable::Keys() const {
    static const std::vector<std::string> none;
    return table_ ? table_->Keys() : none;
}

void TJMemberTable::Acquire(const TJValue& value) {
    if (value.IsUnboundMethod()) ++unbound_;
    if (TJObject* o = value.vObject()) {
        holder_->Hold(o);
        o->IncRef();
    }
}

void TJMemberTable::Release(const TJValue& value) noexcept {
    if (value.IsUnboundMethod()) --unbound_;
    if (TJObject* o = value.vObject()) {
        holder_->Unhold(o);
        o->DecRef();
    }
}

void TJMemberTable::BindMethod(std::string_view name, TJValue& slot) const {
    TJObject* owner = bindsMethods_ ? static_cast<TJObject*>(holder_) : nullptr;
    TJFunctionInfo info;
    info.FuncName = name;
    info.FuncType = fkMethod;
    info.Method = TJNativeMethod{slot.UnboundProc(), owner};
    auto* function = new TJFunctionImpl(std::move(info));
    slot.BuildFunction(function);  // functions are not objects: no count or link changes
    function->SetOwner(owner);
    --unbound_;
}

void TJMemberTable::BindAllMethods() const {
    if (unbound_ == 0) return;
    table_->ForEach([this](const std::string& key, TJValue& v) {
        if (v.IsUnboundMethod()) BindMethod(key, v);
    });
}

bool TJMemberTable::GetValue(std::string_view name, TJValue& value) const {
    if (const TJValue* v = Find(name)) {
        value = *v;
        return true;
    }
    value.SetUndefined();
    return false;
}

void TJMemberTable::SetValue(std::string_view name, const TJValue& value) {
    TJValue fresh(value);
    Acquire(fresh);
    TJValue old;
    try {
        auto [slot, added] = Storage().Slot(name);
        old = std::exchange(*slot, std::move(fresh));
    } catch (...) {
        Release(fresh);
        throw;
    }
    Release(old);
}

bool TJMemberTable::ReplaceValue(std::string_view name, const TJValue& value, std::uint8_t* hint) {
    if (!table_) return false;
    TJValue* slot = hint ? table_->FindHinted(name, *hint) : table_->Find(name);
    if (!slot) return false;
    if (!slot->vObject() && !value.vObject() && !slot->IsUnboundMethod() && !value.IsUnboundMethod()) {
        *slot = value;  // no object on either side: nothing to count or link
        return true;
    }
    TJValue fresh(value);
    Acquire(fresh);
    TJValue old = std::exchange(*slot, std::move(fresh));
    Release(old);
    return true;
}

bool TJMemberTable::CopyAllFrom(const TJMemberTable& other) {
    if (&other == this || other.unbound_ != 0) return false;
    if (!other.table_ || other.table_->Count() == 0) return Count() == 0;
    if (!Storage().CopySmallFrom(*other.table_)) return false;
    table_->ForEach([this](const std::string&, TJValue& v) { Acquire(v); });
    return true;
}

bool TJMemberTable::Remove(std::string_view name) {
    TJValue old;
    if (!table_ || !table_->Take(name, old)) return false;
    Release(old);
    return true;
}

namespace {
bool Selected(TJValueType t, TJValueTypeSet include, TJValueTypeSet exclude) {
    return include.Empty() ? !exclude.Contains(t) : include.Contains(t);
}
}  // namespace

void TJMemberTable::ClearValues(TJValueTypeSet include, TJValueTypeSet exclude) {
    if (!table_ || table_->Count() == 0) return;
    if (include.Empty() && exclude.Empty()) {
        bool inert = true;
        table_->ForEach([&inert](const std::string&, const TJValue& v) { inert = inert && IsInert(v); });
        if (inert && table_->ClearSmall()) return;
        auto items = table_->TakeAll();
        for (auto& item : items) Release(item.Value);
        table_->GiveBackRoom(std::move(items));
        return;
    }
    std::vector<TJValue> dropped;
    {
        std::vector<std::string> keys;
        GetKeyList(keys, include, exclude);
        dropped.resize(keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) table_->Take(keys[i], dropped[i]);
    }
    for (const TJValue& v : dropped) Release(v);
}

void TJMemberTable::GetKeyList(std::vector<std::string>& list, TJValueTypeSet include, TJValueTypeSet exclude) const {
    list.clear();
    if (!table_) return;
    std::as_const(*table_).ForEach([&](const std::string& key, const TJValue& v) {
        if (Selected(v.ValueType(), include, exclude)) list.push_back(key);
    });
}

void TJMemberTable::Forget(const TJNotify* other) noexcept {
    if (!table_) return;
    table_->ForEach([other](const std::string&, TJValue& v) {
        if (v.vObject() && static_cast<const TJNotify*>(v.vObject()) == other) v.SetUndefined();
    });
}

// ---------------------------------------------------------------------------
// TJHash

void TJHash::Notification(TJNotify* other) {
    TJNotify::Notification(other);
    Forget(other);
}

}  // namespace kestrel
