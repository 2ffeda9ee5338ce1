// The StringBuffer object: a mutable byte string that scripts grow in place, so
// that appending a million pieces costs amortised linear time.
#pragma once

#include <string>

#include "script/core/ecma_engine.h"

namespace kestrel {

class TJStringBufferObject : public TJObject {
public:
    // An integer first argument n gives n copies of AsChar of the second argument
    // (zero bytes without one); any other first argument gives its AsString.
    TJStringBufferObject(TJBaseEngine* engine, const TJValueList* param);

    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    TJString ToString(const TJValue* = nullptr) override { return TJString(text_); }
    TJValue ValueOf() override { return StringValue(ToString()); }

    // Array-like: the bytes as one-character texts.
    bool IsArray() const override { return true; }
    int GetCount() override { return static_cast<int>(text_.size()); }
    void GetItem(int index, TJValue& value) override;
    bool GetElement(std::int32_t index, TJValue& value) override;
    bool SetElement(std::int32_t index, const TJValue& value) override;
    void GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param = nullptr) override;
    void SetValue(std::string_view name, const TJValue& value, const TJValueList* param = nullptr,
                  bool arrayStyle = false) override;

    std::string& Text() noexcept { return text_; }
    // Changes the length: cut, or extended with zero bytes; EStringError for a
    // negative length or one beyond the string limit.
    void SetLength(std::int64_t length);

private:
    // Byte Index (negative counts from the end once); EIndexError with KeyText outside.
    std::size_t CheckedIndex(std::int64_t index, std::string_view keyText) const;

    std::string text_;
};

}  // namespace kestrel
