// TJStringBufferObject: construction, the editing methods, `length` and `text`,
// and element access by byte index.
#include "script/ext/ecma_stringbuffer.h"

#include <algorithm>

#include "script/core/ecma_number.h"
#include "script/ext/ext_common.h"

namespace kestrel {

using ext::Arg;
using ext::ArgCount;

namespace {

TJStringBufferObject& Buffer(TJObject& self) { return static_cast<TJStringBufferObject&>(self); }

// A position argument pulled into 0..Size.
std::size_t Position(const TJValue& arg, std::size_t size) {
    return static_cast<std::size_t>(std::clamp<std::int64_t>(arg.AsInteger(), 0, static_cast<std::int64_t>(size)));
}

void CheckGrowth(std::size_t size, std::size_t more) { TJString::CheckLength(size + more); }

void Append(TJObject& self, const TJValueList* args, TJValue& result) {
    std::string& text = Buffer(self).Text();
    for (int i = 0; i < ArgCount(args); ++i) {
        TJString piece = (*args)[i].AsString();
        CheckGrowth(text.size(), piece.size());
        text.append(piece.view());
    }
    result.BuildObject(&self);
}

void Insert(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) < 2) ThrowError(errors::StringError, "insert error");
    std::string& text = Buffer(self).Text();
    const std::size_t at = Position((*args)[0], text.size());
    TJString piece = (*args)[1].AsString();
    CheckGrowth(text.size(), piece.size());
    text.insert(at, piece.view());
    result.BuildObject(&self);
}

// Removes Start..End (to the end without End); nothing when End <= Start.
void Erase(std::string& text, const TJValueList* args) {
    const std::size_t start = Position((*args)[0], text.size());
    const std::size_t end = ArgCount(args) >= 2 ? Position((*args)[1], text.size()) : text.size();
    if (end > start) text.erase(start, end - start);
}

void Delete(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) < 1) ThrowError(errors::StringError, "delete error");
    Erase(Buffer(self).Text(), args);
    result.BuildObject(&self);
}

void Replace(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) < 3) ThrowError(errors::StringError, "replace error");
    std::string& text = Buffer(self).Text();
    const std::size_t start = Position((*args)[0], text.size());
    TJString piece = (*args)[2].AsString();
    Erase(text, args);
    CheckGrowth(text.size(), piece.size());
    text.insert(std::min(start, text.size()), piece.view());
    result.BuildObject(&self);
}

void Substring(TJObject& self, const TJValueList* args, TJValue& result) {
    const std::string& text = Buffer(self).Text();
    if (ArgCount(args) == 0) return void(result.BuildString(TJString()));
    const std::size_t start = Position((*args)[0], text.size());
    const std::size_t end = ArgCount(args) >= 2 ? Position((*args)[1], text.size()) : text.size();
    result.BuildString(TJString(end > start ? std::string_view(text).substr(start, end - start) : std::string_view()));
}

void CharCodeAt(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    if (!arg) return void(result.SetUndefined());
    const std::string& text = Buffer(self).Text();
    const std::int64_t index = arg->AsInteger();
    if (index < 0 || index >= static_cast<std::int64_t>(text.size()))
        ThrowError(errors::IndexError, std::to_string(index + 1));
    result.BuildInteger(static_cast<unsigned char>(text[static_cast<std::size_t>(index)]));
}

void ToText(TJObject& self, const TJValueList*, TJValue& result) { result.BuildString(TJString(Buffer(self).Text())); }

TJValue ReadLength(TJObject& self, int) { return ext::SizeValue(static_cast<std::int64_t>(Buffer(self).Text().size())); }
void WriteLength(TJObject& self, int, const TJValue& length) {
    const double d = length.AsDouble();
    // Beyond the 64-bit range is beyond the string limit as well.
    Buffer(self).SetLength(d < -9e18 ? INT64_MIN : d > 9e18 ? INT64_MAX : static_cast<std::int64_t>(d));
}
std::string ReadText(TJObject& self, int) { return Buffer(self).Text(); }
void WriteText(TJObject& self, int, std::string_view text) { Buffer(self).Text().assign(text); }

}  // namespace

TJStringBufferObject::TJStringBufferObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("StringBuffer");
    SetKind(TJObjectKind::StringBuffer);
    const TJValue* first = Arg(param, 0);
    if (!first) return;
    if (first->IsInteger()) {
        const std::int32_t count = first->vInteger();
        if (count < 0) return;
        TJString::CheckLength(static_cast<std::size_t>(count));
        const TJValue* fill = Arg(param, 1);
        text_.assign(static_cast<std::size_t>(count), fill ? static_cast<char>(fill->AsChar()) : '\0');
    } else {
        text_ = first->AsString().str();
    }
}

const TJMethodTable* TJStringBufferObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("append", &Append),
                                         M::Method("insert", &Insert),
                                         M::Method("delete", &Delete),
                                         M::Method("replace", &Replace),
                                         M::Method("substring", &Substring),
                                         M::Method("charCodeAt", &CharCodeAt),
                                         M::Method("toString", &ToText),
                                     },
                                     &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJStringBufferObject::PublishedProperties() const {
    static const TJPropertyTable table{VariantProperty("length", &ReadLength, &WriteLength),
                                       StringProperty("text", &ReadText, &WriteText)};
    return &table;
}

void TJStringBufferObject::SetLength(std::int64_t length) {
    if (length < 0) ThrowError(errors::StringError, "length error " + std::to_string(length));
    if (!ext::FitsStringLimit(static_cast<std::uint64_t>(length))) ThrowError(errors::StringError, "string too long");
    // Added bytes are zero bytes.
    text_.resize(static_cast<std::size_t>(length), '\0');
}

std::size_t TJStringBufferObject::CheckedIndex(std::int64_t index, std::string_view keyText) const {
    const std::int64_t size = static_cast<std::int64_t>(text_.size());
    const std::int64_t i = index < 0 ? index + size : index;
    if (i < 0 || i >= size) ThrowError(errors::IndexError, keyText);
    return static_cast<std::size_t>(i);
}

void TJStringBufferObject::GetItem(int index, TJValue& value) {
    if (index >= 0 && index < GetCount()) value.BuildString(TJString(std::string_view(&text_[index], 1)));
    else value.SetUndefined();
}

bool TJStringBufferObject::GetElement(std::int32_t index, TJValue& value) {
    const std::size_t i = CheckedIndex(index, IntegerToText(index));
    value.BuildString(TJString(std::string_view(&text_[i], 1)));
    return true;
}

bool TJStringBufferObject::SetElement(std::int32_t index, const TJValue& value) {
    const std::size_t i = CheckedIndex(index, IntegerToText(index));
    TJString piece = value.AsString();
    if (!piece.empty()) text_[i] = piece.data()[0];
    return true;
}

void TJStringBufferObject::GetValue(std::string_view name, bool arrayStyle, TJValue& value,
                                   const TJValueList* param) {
    std::int32_t index;
    if (arrayStyle && TryTextToInteger(name, index)) return void(GetElement(index, value));
    TJObject::GetValue(name, arrayStyle, value, param);
}

void TJStringBufferObject::SetValue(std::string_view name, const TJValue& value, const TJValueList* param,
                                   bool arrayStyle) {
    std::int32_t index;
    if (arrayStyle && TryTextToInteger(name, index)) return void(SetElement(index, value));
    TJObject::SetValue(name, value, param, arrayStyle);
}

}  // namespace kestrel
