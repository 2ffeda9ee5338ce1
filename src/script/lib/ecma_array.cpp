// TJArrayObject: element storage, `length`, indexing and the Array methods.
#include <algorithm>
#include <memory>
#include <string>

#include "script/core/ecma_number.h"
#include "script/lib/ecma_object.h"

namespace kestrel {

namespace {

// slice's end when none is given.
constexpr std::int64_t kDefaultSliceEnd = 2147483647;
// shift leaves its gap until it is at least this long and half the storage.
constexpr int kMinGapToClose = 64;

const TJValue* Arg(const TJValueList* args, int index) { return args ? args->Get(index) : nullptr; }
int ArgCount(const TJValueList* args) { return args ? args->Count() : 0; }

std::int64_t GetLength(TJObject& self, int) { return static_cast<TJArrayObject&>(self).GetCount(); }

constexpr std::string_view kLengthName = "length";

const TJPropertyTable& ArrayProperties() {
    // Written by SetValueImpl, which sees the whole value (4294967297 is no 1).
    static const TJPropertyTable table{IntegerProperty(kLengthName, TJOrdinalType::S32, &GetLength, nullptr)};
    return table;
}

bool IsLengthName(std::string_view name) {
    if (name.size() != kLengthName.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if ((name[i] | 0x20) != kLengthName[i]) return false;  // any case, as property names match
    return true;
}

[[noreturn]] void LengthError(std::string count) {
    count += " beyond the array limit ";
    count += std::to_string(TJArrayObject::kMaxLength);
    ThrowError(errors::IndexError, count);
}

[[noreturn]] void PositionError() { ThrowError(errors::IndexError, ""); }

}  // namespace

// The compare function of the last sort that had one, held until the next such sort.
struct TJArrayObject::TSortState {
    TJValue compare;
};

TJArrayObject::TJArrayObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Array");
    if (!param) return;
    if (param->Count() == 1 && (*param)[0].IsInteger()) {
        SetLength((*param)[0].vInteger());
    } else {
        items_.Assign(*param);
    }
}

TJArrayObject::~TJArrayObject() = default;

const TJPropertyTable* TJArrayObject::PublishedProperties() const { return &ArrayProperties(); }

const TJMethodTable* TJArrayObject::SharedMethods() const {
    static const TJMethodTable table(
        {
            TJMethodTable::Method<&TJArrayObject::Add>("add"),
            TJMethodTable::Method<&TJArrayObject::Push>("push"),
            TJMethodTable::Method<&TJArrayObject::Pop>("pop"),
            TJMethodTable::Method<&TJArrayObject::Shift>("shift"),
            TJMethodTable::Method<&TJArrayObject::Unshift>("unshift"),
            TJMethodTable::Method<&TJArrayObject::Delete>("delete"),
            TJMethodTable::Method<&TJArrayObject::Clear>("clear"),
            TJMethodTable::Method<&TJArrayObject::Assign>("assign"),
            TJMethodTable::Method<&TJArrayObject::Concat>("concat"),
            TJMethodTable::Method<&TJArrayObject::JoinMethod>("join"),
            TJMethodTable::Method<&TJArrayObject::Reverse>("reverse"),
            TJMethodTable::Method<&TJArrayObject::Slice>("slice"),
            TJMethodTable::Method<&TJArrayObject::Splice>("splice"),
            TJMethodTable::Method<&TJArrayObject::Sort>("sort"),
        },
        &TJObject::BaseMethods());
    return &table;
}

// ---------------------------------------------------------------------------
// Storage

void TJArrayObject::CheckGrowth(std::int64_t newCount) {
    if (newCount > kMaxLength) LengthError(std::to_string(newCount));
}

bool TJArrayObject::SetValueImpl(std::string_view name, const TJValue& value, const TJValueList* param) {
    if (!IsLengthName(name)) return TJObject::SetValueImpl(name, value, param);
    if (value.IsInteger()) {
        SetLength(value.vInteger());
        return true;
    }
    const double count = value.AsDouble();
    if (count > kMaxLength) {
        std::string text;
        AppendFloatText(text, count);
        LengthError(text);
    }
    SetLength(count < 0 ? 0 : RoundToInteger(count));  // a negative count empties the array
    return true;
}

void TJArrayObject::SetLength(std::int32_t count) {
    CheckGrowth(count);
    if (count <= 0) {
        items_.Clear();
        head_ = 0;
        return;
    }
    items_.SetCount(head_ + count);
}

void TJArrayObject::Compact() {
    if (head_ == 0) return;
    items_.DeleteRange(0, head_);
    head_ = 0;
}

void TJArrayObject::RemoveAt(int index) {
    if (index != 0) {
        items_.Delete(head_ + index);
        return;
    }
    items_.SetItem(head_++, TJValue());
    if (head_ == items_.Count()) {
        items_.Clear();
        head_ = 0;
    } else if (head_ >= kMinGapToClose && head_ * 2 >= items_.Count()) {
        Compact();
    }
}

void TJArrayObject::TakeOut(int index, TJValue& removed) {
    removed = At(index);
    // The object must outlive its slot: its count goes to the caller's temporaries.
    TJObject* object = removed.vObject();
    if (object) object->IncRef();
    RemoveAt(index);
    if (object) object->ReleaseToCaller();
}

TJArrayObject* TJArrayObject::NewArray(const TJValueList* items) const {
    auto* array = TJObject::New<TJArrayObject>(Engine(), true);
    if (items) array->items_.Assign(*items);
    return array;
}

void TJArrayObject::GetItem(int index, TJValue& value) {
    if (index >= 0 && index < Count()) value = At(index);
    else value.SetUndefined();
}

void TJArrayObject::Reach(std::int32_t index, std::string_view keyText) {
    if (index < 0 || index >= kMaxLength) {
        if (keyText.empty()) ThrowError(errors::IndexError, IntegerToText(index));
        ThrowError(errors::IndexError, keyText);
    }
    if (index >= Count()) items_.SetCount(head_ + index + 1);
}

bool TJArrayObject::GetElement(std::int32_t index, TJValue& value) {
    Reach(index, {});
    value = At(index);
    return true;
}

bool TJArrayObject::SetElement(std::int32_t index, const TJValue& value) {
    Reach(index, {});
    items_.SetItem(head_ + index, value);
    return true;
}

void TJArrayObject::GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param) {
    std::int32_t index;
    if (arrayStyle && TryTextToInteger(name, index)) {
        Reach(index, name);
        value = At(index);
        return;
    }
    TJObject::GetValue(name, arrayStyle, value, param);
}

void TJArrayObject::SetValue(std::string_view name, const TJValue& value, const TJValueList* param,
                             bool arrayStyle) {
    std::int32_t index;
    if (arrayStyle && TryTextToInteger(name, index)) {
        Reach(index, name);
        items_.SetItem(head_ + index, value);
        return;
    }
    TJObject::SetValue(name, value, param, arrayStyle);
}

TJString TJArrayObject::Join(std::string_view separator) {
    if (joining_) return TJString();
    CheckStack();  // arrays nested a million deep
    joining_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{joining_};
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) text += separator;
        const TJValue& item = At(i);
        if (!item.IsNull() && !item.IsUndefined()) {
            // A copy: the text of an object may run code that changes this array.
            const TJValue copy = item;
            copy.AppendString(text);
        }
        TJString::CheckLength(text.size());
    }
    return TJString(text);
}

TJString TJArrayObject::ToString(const TJValue*) { return Join(","); }

// ---------------------------------------------------------------------------
// Methods

void TJArrayObject::Add(const TJValueList* args, TJValue& result) {
    const int n = ArgCount(args);
    if (n == 0) return;
    CheckGrowth(std::int64_t(Count()) + n);
    for (int i = 0; i < n; ++i) items_.Add((*args)[i]);
    result = IntegerValue(Count() - 1);
}

void TJArrayObject::Push(const TJValueList* args, TJValue& result) {
    const int n = ArgCount(args);
    CheckGrowth(std::int64_t(Count()) + n);
    for (int i = 0; i < n; ++i) items_.Add((*args)[i]);
    result = IntegerValue(Count());
}

void TJArrayObject::Pop(const TJValueList*, TJValue& result) {
    if (Count() > 0) TakeOut(Count() - 1, result);
}

void TJArrayObject::Shift(const TJValueList*, TJValue& result) {
    if (Count() > 0) TakeOut(0, result);
}

void TJArrayObject::Unshift(const TJValueList* args, TJValue& result) {
    const int n = ArgCount(args);
    CheckGrowth(std::int64_t(Count()) + n);
    if (head_ >= n) {  // the gap that shift left takes them
        head_ -= n;
        for (int i = 0; i < n; ++i) items_.SetItem(head_ + i, (*args)[i]);
    } else {
        Compact();
        for (int i = n - 1; i >= 0; --i) items_.Insert(0, (*args)[i]);
    }
    result = ObjectValue(this);
}

void TJArrayObject::Delete(const TJValueList* args, TJValue& result) {
    if (const TJValue* arg = Arg(args, 0)) {
        const std::int32_t index = arg->AsInteger();
        if (index < 0 || index >= Count()) PositionError();
        RemoveAt(index);
    }
    result = ObjectValue(this);
}

void TJArrayObject::Clear(const TJValueList*, TJValue& result) {
    items_.Clear();
    head_ = 0;
    result = ObjectValue(this);
}

void TJArrayObject::Assign(const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    TJObject* source = arg ? arg->vObject() : nullptr;
    if (!source || !source->IsArray()) ThrowError(errors::TypeError, "array assign error");
    // The items are taken before anything is dropped, so a.assign(a) keeps a as it is.
    const int count = source->GetCount();
    CheckGrowth(count);
    TJValueList fresh;
    TJValue item;
    for (int i = 0; i < count; ++i) {
        source->GetItem(i, item);
        fresh.Add(item);
    }
    items_.Assign(fresh);
    head_ = 0;
    result = ObjectValue(this);
}

void TJArrayObject::Concat(const TJValueList* args, TJValue& result) {
    const int n = ArgCount(args);
    if (n == 0) return;
    std::int64_t total = Count();
    for (int i = 0; i < n; ++i) {
        TJObject* o = (*args)[i].vObject();
        total += (o && o->IsArray()) ? o->GetCount() : 1;
    }
    CheckGrowth(total);
    TJArrayObject* out = NewArray();
    result = ObjectValue(out);
    for (int i = 0; i < Count(); ++i) out->items_.Add(At(i));
    TJValue item;
    for (int i = 0; i < n; ++i) {
        TJObject* o = (*args)[i].vObject();
        if (!o || !o->IsArray()) {
            out->items_.Add((*args)[i]);
            continue;
        }
        const int count = o->GetCount();
        CheckGrowth(std::int64_t(out->Count()) + count);
        for (int k = 0; k < count; ++k) {
            o->GetItem(k, item);
            out->items_.Add(item);
        }
    }
}

void TJArrayObject::JoinMethod(const TJValueList* args, TJValue& result) {
    const TJValue* separator = Arg(args, 0);
    result = StringValue(Join(separator ? separator->AsString().view() : std::string_view(",")));
}

void TJArrayObject::Reverse(const TJValueList*, TJValue& result) {
    TJValueList reversed;
    for (int i = Count() - 1; i >= 0; --i) reversed.Add(At(i));
    items_.Assign(reversed);
    head_ = 0;
    result = ObjectValue(this);
}

void TJArrayObject::Slice(const TJValueList* args, TJValue& result) {
    const std::int64_t length = Count();
    const TJValue* startArg = Arg(args, 0);
    const TJValue* endArg = Arg(args, 1);
    std::int64_t start = startArg ? startArg->AsInteger() : 0;
    std::int64_t end = endArg ? endArg->AsInteger() : kDefaultSliceEnd;
    if (start < 0) start += length;
    if (end < 0) end += length;
    TJArrayObject* out = NewArray();
    result = ObjectValue(out);
    if (start < 0) return;  // the first index is outside the array
    for (std::int64_t i = start; i < end && i < length; ++i) out->items_.Add(At(static_cast<int>(i)));
}

void TJArrayObject::Splice(const TJValueList* args, TJValue& result) {
    const int n = ArgCount(args);
    if (n < 2) return;
    std::int64_t start = (*args)[0].AsInteger();
    if (start < 0) start += Count();
    const std::int64_t count = (*args)[1].AsInteger();
    TJArrayObject* removed = NewArray();
    result = ObjectValue(removed);
    // Removal runs from the top index down: a top outside the array fails before
    // anything moves; a start outside fails after the elements above it went.
    if (count > 0) {
        const std::int64_t top = start + count - 1;
        if (top < 0 || top >= Count()) PositionError();
        const int low = static_cast<int>(std::max<std::int64_t>(start, 0));
        const int taken = static_cast<int>(top) - low + 1;
        for (int i = low; i <= top; ++i) removed->items_.Add(At(i));
        items_.DeleteRange(head_ + low, taken);
        if (start < 0) PositionError();
    }
    const int inserted = n - 2;
    if (inserted > 0) {
        if (start < 0 || start > Count()) PositionError();
        CheckGrowth(std::int64_t(Count()) + inserted);
        for (int i = n - 1; i >= 2; --i) items_.Insert(head_ + static_cast<int>(start), (*args)[i]);
    }
}

void TJArrayObject::Sort(const TJValueList* args, TJValue& result) {
    result = ObjectValue(this);
    const TJValue* compare = Arg(args, 0);
    if (!compare) {
        // The default order: integer values compared as integers (never a difference
        // that wraps), so texts that are not integers compare equal.
        Compact();
        items_.SortByInteger();
        return;
    }
    const IJFunction* function = compare->vFunction();
    if (!function || function->GetFuncType() != fkScript || !Engine())
        ThrowError(errors::TypeError, "sort compare function error");
    if (!sort_) sort_ = std::make_unique<TSortState>();
    sort_->compare = *compare;
    // This sort's function, even if the compare function sorts this array again.
    const TJValue held = *compare;
    TJBaseEngine* engine = Engine();
    Compact();
    // The list sorts an order of its own and installs it only when the compare
    // function left the list unchanged; an error leaves the old order and goes on to
    // the caller, also in an event handler.
    items_.Sort([&](const TJValue& a, const TJValue& b) {
        const TJValue pair[] = {a, b};
        TJValue answer;
        engine->CallBack(held, pair, answer, this);
        return static_cast<int>(answer.AsInteger());
    });
}

}  // namespace kestrel
