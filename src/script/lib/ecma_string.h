// The String object: script text with its methods. Plain string values reach them
// through the engine's temporary wrapper, so `"abc".length` works.
//
// Positions count characters of the system code page (the code page service decides
// where a character ends), except `search`, `sizeOf` and the RegExp positions, which
// count bytes. The pattern methods always go through a RegExp object, so a string
// pattern is a regular expression.
#pragma once

#include <cstdint>

#include "script/lib/ecma_object.h"

namespace kestrel {

class TJStringObject : public TJObject {
public:
    // `new String(v)`: the text of v; empty without an argument.
    TJStringObject(TJBaseEngine* engine, const TJValueList* param);
    static constexpr bool MakesGlobalInstance() { return false; }

    const TJString& Text() const noexcept { return text_; }
    void SetText(TJString text) { text_ = std::move(text); }

    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
    TJString ToString(const TJValue* = nullptr) override { return text_; }
    TJValue ValueOf() override { return StringValue(text_); }
    double ToNumber() override { return StringValue(text_).AsDouble(); }
    bool ToBool() override { return !text_.empty(); }
    unsigned char ToChar() override { return text_.empty() ? 0 : text_[0]; }
    bool IsArray() const override { return true; }
    int GetCount() override;
    void GetItem(int index, TJValue& value) override;
    // s[i] (one character), s[a, b] (a slice); the dot form is an ordinary member.
    void GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param = nullptr) override;
    void SetValue(std::string_view name, const TJValue& value, const TJValueList* param = nullptr,
                  bool arrayStyle = false) override;
    // s[i] with an integer key, without making its text first.
    bool GetElement(std::int32_t index, TJValue& value) override;

private:
    // Character I (0-based, a negative one counted from the end once); EIndexError
    // with KeyText when it is no integer text or outside the text.
    std::int64_t CheckedIndex(std::string_view keyText) const;

    TJString text_;
};

}  // namespace kestrel
