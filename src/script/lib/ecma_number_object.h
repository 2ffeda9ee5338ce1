// The Number and Boolean objects: the wrappers that give plain numbers and truth
// values their methods, and what `new Number(v)` and `new Boolean(v)` make.
#pragma once

#include "script/core/ecma_type_object.h"

namespace kestrel {

// A number kept with its kind: an integer stays an integer, a double a double, and a
// numeric text given to the constructor stays text (converted where it is used).
class TJNumberObject : public TJObject {
public:
    // The argument when it is number-like, else the integer 0.
    TJNumberObject(TJBaseEngine* engine, const TJValueList* param);

    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
    // Radix 16: eight upper-case hexadecimal digits of the 32-bit integer; radix 2: the
    // same bits without leading zeros; any other radix or none: the value's text.
    TJString ToString(const TJValue* radix = nullptr) override;
    TJValue ValueOf() override { return value_; }
    double ToNumber() override { return value_.AsDouble(); }
    bool ToBool() override { return value_.AsBool(); }
    unsigned char ToChar() override { return value_.AsChar(); }

    const TJValue& Value() const noexcept { return value_; }
    void SetValue(TJValue value) noexcept { value_ = std::move(value); }

private:
    void ToCharMethod(const TJValueList* args, TJValue& result);

    TJValue value_;  // never an object: a Number or String argument gives its value
};

class TJBooleanObject : public TJObject {
public:
    // AsBool of the argument; false without one.
    TJBooleanObject(TJBaseEngine* engine, const TJValueList* param);

    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override { return &BaseMethods(); }
    TJString ToString(const TJValue* = nullptr) override { return TJString(value_ ? "true" : "false"); }
    TJValue ValueOf() override { return BoolValue(value_); }
    double ToNumber() override { return value_ ? 1 : 0; }
    bool ToBool() override { return value_; }
    unsigned char ToChar() override { return value_ ? 1 : 0; }

    bool Value() const noexcept { return value_; }
    void SetValue(bool value) noexcept { value_ = value; }

private:
    bool value_ = false;
};

}  // namespace kestrel
