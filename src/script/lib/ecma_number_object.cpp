// TJNumberObject and TJBooleanObject.
#include "script/lib/ecma_number_object.h"

#include <bit>
#include <cstdint>
#include <algorithm>
#include <limits>

#include "script/lib/ecma_format.h"

namespace kestrel {

namespace {

// The dialect's largest number is 1.7E308, not the largest double.
constexpr double kMaxValue = 1.7E308;
constexpr int kHexDigits = 8;
// toFixed and toPrecision: 15 significant digits; the decimals are the argument's.
constexpr int kFixedPrecision = 15;
constexpr int kExponentDigits = 1;
constexpr int kMaxDigits = 18;

TJNumberObject& Self(TJObject& o) { return static_cast<TJNumberObject&>(o); }

double GetNumber(TJObject& self, int) { return Self(self).Value().AsDouble(); }
void SetNumber(TJObject& self, int, double value) { Self(self).SetValue(DoubleValue(value)); }
std::int64_t GetInt(TJObject& self, int) { return Self(self).Value().AsInteger(); }
void SetInt(TJObject& self, int, std::int64_t value) {
    Self(self).SetValue(IntegerValue(static_cast<std::int32_t>(value)));
}

std::int64_t GetBool(TJObject& self, int) { return static_cast<TJBooleanObject&>(self).Value() ? 1 : 0; }
void SetBool(TJObject& self, int, std::int64_t value) { static_cast<TJBooleanObject&>(self).SetValue(value != 0); }

const TJValue* Arg(const TJValueList* args, int index) { return args ? args->Get(index) : nullptr; }

// The digit count argument: 0 when absent or negative, at most what the forms use.
int DigitCount(const TJValueList* args) { return std::clamp(AsInteger(Arg(args, 0)), 0, kMaxDigits); }

void Format(TJObject& self, TJValue& result, TFloatForm form, int precision, int digits) {
    result.BuildString(
        TJString(FormatFloat(Self(self).Value().AsDouble(), form, precision, digits, RegionalSettings())));
}

void ToExponential(TJObject& self, const TJValueList* args, TJValue& result) {
    Format(self, result, TFloatForm::Exponent, DigitCount(args) + 1, kExponentDigits);
}

// toPrecision is the same operation: its argument counts decimals too.
void ToFixed(TJObject& self, const TJValueList* args, TJValue& result) {
    Format(self, result, TFloatForm::Fixed, kFixedPrecision, DigitCount(args));
}

std::string HexText(std::uint32_t bits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(kHexDigits, '0');
    for (int i = kHexDigits - 1; i >= 0; --i, bits >>= 4) text[static_cast<std::size_t>(i)] = kDigits[bits & 0xF];
    return text;
}

std::string BinaryText(std::uint32_t bits) {
    if (bits == 0) return "0";
    std::string text;
    for (int i = 31 - std::countl_zero(bits); i >= 0; --i) text += ((bits >> i) & 1u) ? '1' : '0';
    return text;
}

}  // namespace

TJNumberObject::TJNumberObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Number");
    SetKind(TJObjectKind::Number);
    const TJValue* v = Arg(param, 0);
    if (!v || !v->IsNumberLike()) {
        value_.BuildInteger(0);
    } else if (TJObject* o = v->vObject()) {
        // Objects are counted by containers, never by a bare value: keep what they hold.
        value_ = o->Kind() == TJObjectKind::Number ? static_cast<TJNumberObject*>(o)->Value() : StringValue(o->ToString());
    } else {
        value_ = *v;
    }
}

const TJPropertyTable* TJNumberObject::PublishedProperties() const {
    static const TJPropertyTable table{
        FloatProperty("number", &GetNumber, &SetNumber),
        IntegerProperty("int", TJOrdinalType::S32, &GetInt, &SetInt),
    };
    return &table;
}

const TJMethodTable* TJNumberObject::SharedMethods() const {
    static const TJMethodTable table(
        {
            TJMethodTable::Constant("NaN", NaNValue()),
            TJMethodTable::Constant("MAX_VALUE", DoubleValue(kMaxValue)),
            TJMethodTable::Constant("MIN_VALUE", DoubleValue(std::numeric_limits<double>::denorm_min())),
            TJMethodTable::Constant("POSITIVE_INFINITY", InfinityValue(false)),
            TJMethodTable::Constant("NEGATIVE_INFINITY", InfinityValue(true)),
            TJMethodTable::Method("toExponential", &ToExponential),
            TJMethodTable::Method("toFixed", &ToFixed),
            TJMethodTable::Method("toPrecision", &ToFixed),
            TJMethodTable::Method<&TJNumberObject::ToCharMethod>("toChar"),
        },
        &BaseMethods());
    return &table;
}

TJString TJNumberObject::ToString(const TJValue* radix) {
    const std::int32_t base = radix ? radix->AsInteger() : 10;
    const auto bits = static_cast<std::uint32_t>(value_.AsInteger());
    if (base == 16) return TJString(HexText(bits));
    if (base == 2) return TJString(BinaryText(bits));
    return value_.AsString();
}

void TJNumberObject::ToCharMethod(const TJValueList*, TJValue& result) {
    const char c = static_cast<char>(value_.AsChar());
    result.BuildString(TJString(std::string_view(&c, 1)));
}

TJBooleanObject::TJBooleanObject(TJBaseEngine* engine, const TJValueList* param)
    : TJObject(engine, param), value_(AsBool(Arg(param, 0))) {
    SetObjectName("Boolean");
    SetKind(TJObjectKind::Boolean);
}

const TJPropertyTable* TJBooleanObject::PublishedProperties() const {
    static const TJPropertyTable table{BooleanProperty("bool", &GetBool, &SetBool)};
    return &table;
}

}  // namespace kestrel
