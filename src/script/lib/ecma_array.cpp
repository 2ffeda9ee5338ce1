// TJArrayObject: element storage, `length` and indexing.
#include <string>

#include "script/core/ecma_number.h"
#include "script/lib/ecma_object.h"

namespace kestrel {

namespace {

std::int64_t GetLength(TJObject& self, int) { return static_cast<TJArrayObject&>(self).GetCount(); }

void SetLength(TJObject& self, int, std::int64_t count) {
    static_cast<TJArrayObject&>(self).SetLength(static_cast<std::int32_t>(count));
}

const TJPropertyTable& ArrayProperties() {
    static const TJPropertyTable table{IntegerProperty("length", TJOrdinalType::S32, &GetLength, &SetLength)};
    return table;
}

}  // namespace

TJArrayObject::TJArrayObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Array");
    if (!param) return;
    if (param->Count() == 1 && (*param)[0].IsInteger()) {
        const std::int32_t count = (*param)[0].vInteger();
        if (count > kMaxLength) ThrowError(errors::IndexError, IntegerToText(count));
        items_.SetCount(count);
    } else {
        items_.Assign(*param);
    }
}

const TJPropertyTable* TJArrayObject::PublishedProperties() const { return &ArrayProperties(); }

void TJArrayObject::GetItem(int index, TJValue& value) {
    if (const TJValue* item = items_.Get(index)) value = *item;
    else value.SetUndefined();
}

void TJArrayObject::Reach(std::int32_t index, std::string_view keyText) {
    if (index < 0 || index >= kMaxLength) {
        if (keyText.empty()) ThrowError(errors::IndexError, IntegerToText(index));
        ThrowError(errors::IndexError, keyText);
    }
    if (index >= items_.Count()) items_.SetCount(index + 1);
}

bool TJArrayObject::GetElement(std::int32_t index, TJValue& value) {
    Reach(index, {});
    value = items_[index];
    return true;
}

bool TJArrayObject::SetElement(std::int32_t index, const TJValue& value) {
    Reach(index, {});
    items_.SetItem(index, value);
    return true;
}

void TJArrayObject::GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param) {
    std::int32_t index;
    if (arrayStyle && TryTextToInteger(name, index)) {
        Reach(index, name);
        value = items_[index];
        return;
    }
    TJObject::GetValue(name, arrayStyle, value, param);
}

void TJArrayObject::SetValue(std::string_view name, const TJValue& value, const TJValueList* param,
                             bool arrayStyle) {
    std::int32_t index;
    if (arrayStyle && TryTextToInteger(name, index)) {
        Reach(index, name);
        items_.SetItem(index, value);
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
    for (int i = 0; i < items_.Count(); ++i) {
        if (i > 0) text += separator;
        const TJValue& item = items_[i];
        if (!item.IsNull() && !item.IsUndefined()) {
            // A copy: the text of an object may run code that changes this array.
            const TJValue copy = item;
            copy.AppendString(text);
        }
    }
    return TJString(text);
}

TJString TJArrayObject::ToString(const TJValue*) { return Join(","); }

}  // namespace kestrel
