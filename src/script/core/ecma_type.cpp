#include "script/core/ecma_type.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "script/core/ecma_number.h"
#include "script/core/ecma_type_object.h"
#include "util/HugePages.h"

namespace kestrel {

// ---------------------------------------------------------------------------
// TJString

void TJString::CheckLength(std::size_t size) {
    if (size > kMaxLength) ThrowError(errors::StringError, "string too long");
}

namespace {

// The room a buffer that has to grow for Needed bytes (at most the longest text) gets:
// a multiple, so that repeated appends copy every byte a bounded number of times,
// but never more than the longest text.
std::size_t GrownCapacity(std::size_t needed) noexcept {
    constexpr std::size_t kGrowthFactor = 2;
    constexpr std::size_t kFirstRoom = 16;
    return std::min(std::max(needed * kGrowthFactor, kFirstRoom), TJString::kMaxLength);
}

}  // namespace

TJString::Rep* TJString::Allocate(std::size_t size, std::size_t capacity) {
    CheckLength(size);
    capacity = std::max(size, capacity);
    Rep* r = static_cast<Rep*>(std::malloc(sizeof(Rep) + capacity + 1));
    if (!r) throw std::bad_alloc();
    tinctor::AdviseHugePages(r, sizeof(Rep) + capacity + 1);
    r->refs = 1;
    r->size = static_cast<std::uint32_t>(size);
    r->capacity = static_cast<std::uint32_t>(capacity);
    Bytes(r)[size] = '\0';
    return r;
}

TJString::Rep* TJString::AppendTo(Rep* r, std::string_view more) {
    if (more.empty()) return r;
    const std::size_t size = r ? r->size : 0;
    const std::size_t needed = size + more.size();
    CheckLength(needed);
    if (r && r->refs == 1 && needed <= r->capacity) {
        // Room at the end: More, even a part of this text, lies before it.
        std::memcpy(Bytes(r) + size, more.data(), more.size());
    } else if (r && r->refs == 1) {
        const char* from = more.data();
        const bool inside = from >= Bytes(r) && from < Bytes(r) + size;
        const std::size_t offset = inside ? static_cast<std::size_t>(from - Bytes(r)) : 0;
        const std::size_t capacity = GrownCapacity(needed);
        Rep* grown = static_cast<Rep*>(std::realloc(r, sizeof(Rep) + capacity + 1));
        if (!grown) throw std::bad_alloc();
        r = grown;
        r->capacity = static_cast<std::uint32_t>(capacity);
        std::memcpy(Bytes(r) + size, inside ? Bytes(r) + offset : from, more.size());
    } else {
        Rep* fresh = Allocate(needed, GrownCapacity(needed));
        if (size) std::memcpy(Bytes(fresh), Bytes(r), size);
        std::memcpy(Bytes(fresh) + size, more.data(), more.size());
        Release(r);
        r = fresh;
    }
    r->size = static_cast<std::uint32_t>(needed);
    Bytes(r)[needed] = '\0';
    return r;
}

TJString::TJString(std::string_view text) {
    if (text.empty()) return;
    rep_ = Allocate(text.size());
    std::memcpy(Bytes(rep_), text.data(), text.size());
}

TJString TJString::Concat(std::string_view a, std::string_view b) {
    TJString s;
    if (a.size() + b.size() == 0) return s;
    s.rep_ = Allocate(a.size() + b.size());
    if (!a.empty()) std::memcpy(Bytes(s.rep_), a.data(), a.size());
    if (!b.empty()) std::memcpy(Bytes(s.rep_) + a.size(), b.data(), b.size());
    return s;
}

// ---------------------------------------------------------------------------
// Kind names

std::string_view ValueTypeName(TJValueType type) noexcept {
    static constexpr std::string_view names[] = {
        "vtUndefined", "vtNull", "vtInteger", "vtDouble", "vtString", "vtObject", "vtBool",
        "vtFunction", "vtInfinity", "vtNaN", "vtDispatch", "vtRegExp", "vtEvent"};
    return type <= vtEvent ? names[type] : std::string_view();
}

// ---------------------------------------------------------------------------
// Payload counting

void TJValue::RetainPayload() const noexcept {
    switch (type_) {
    case vtString:
    case vtRegExp: TJString::Retain(u_.text.rep); break;
    case vtFunction:
        if (u_.fn.function) u_.fn.function->AddRef();
        break;
    case vtDispatch:
        if (u_.dispatch) u_.dispatch->AddRef();
        break;
    default: break;
    }
}

void TJValue::DropPayload() noexcept {
    switch (type_) {
    case vtString:
    case vtRegExp: TJString::Release(u_.text.rep); break;
    case vtFunction:
        if (u_.fn.function) u_.fn.function->Release();
        break;
    case vtDispatch:
        if (u_.dispatch) u_.dispatch->Release();
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// Constructors

TJValue& TJValue::BuildString(TJString text) noexcept {
    Reset(vtString);
    u_.text.rep = std::exchange(text.rep_, nullptr);
    return *this;
}

TJValue& TJValue::BuildDispatch(IJDispatch* dispatch) noexcept {
    if (dispatch) dispatch->AddRef();
    Reset(vtDispatch);
    u_.dispatch = dispatch;
    return *this;
}

TJValue& TJValue::BuildFunction(IJFunction* function) noexcept {
    if (function) function->AddRef();
    Reset(vtFunction);
    u_.fn.function = function;
    return *this;
}

TJValue& TJValue::BuildEvent(TJEvent event) noexcept {
    Reset(vtEvent);
    u_.event.code = event.Code;
    u_.event.data = event.Data;
    return *this;
}

TJValue& TJValue::BuildRegExp(TJString pattern, std::string_view flags) {
    if (flags.size() > 7) throw std::invalid_argument("a regular expression takes at most seven flags");
    Reset(vtRegExp);
    u_.text.rep = std::exchange(pattern.rep_, nullptr);
    u_.text.flags[0] = static_cast<char>(flags.size());
    std::memcpy(u_.text.flags + 1, flags.data(), flags.size());
    return *this;
}

// ---------------------------------------------------------------------------
// Payload access

TJString TJValue::vString() const noexcept {
    TJString s;
    if (type_ == vtString || type_ == vtRegExp) {
        s.rep_ = u_.text.rep;
        TJString::Retain(s.rep_);
    }
    return s;
}

std::string_view TJValue::vStringView() const noexcept {
    if ((type_ != vtString && type_ != vtRegExp) || !u_.text.rep) return {};
    return {TJString::Bytes(u_.text.rep), u_.text.rep->size};
}

std::string_view TJValue::vRegExpFlags() const noexcept {
    if (type_ != vtRegExp) return {};
    return {u_.text.flags + 1, static_cast<std::size_t>(u_.text.flags[0])};
}

// ---------------------------------------------------------------------------
// Class tests

bool TJValue::HasObjectKind(TJObjectKind kind) const noexcept { return IsObject() && u_.object->Kind() == kind; }

bool TJValue::ObjectIsStringLike() const noexcept {
    TJObjectKind k = u_.object->Kind();
    return k == TJObjectKind::String || k == TJObjectKind::StringBuffer;
}

bool TJValue::IsArrayObject() const { return IsObject() && u_.object->IsArray(); }

namespace {

bool TextIsNumber(std::string_view text) {
    double d;
    std::int32_t i;
    return TryTextToFloat(text, d) || TryTextToInteger(text, i);
}

double TextToDouble(std::string_view text) {
    double d;
    if (TryTextToFloat(text, d)) return d;
    std::int32_t i;
    if (TryTextToInteger(text, i)) return i;
    return 0;
}

std::int32_t TextToInteger(std::string_view text) {
    std::int32_t i;
    return TryTextToInteger(text, i) ? i : 0;
}

// Finite integral D modulo 2^32 as a signed 32-bit integer.
std::int32_t WrapIntegral(double d) noexcept {
    double m = std::fmod(d, 4294967296.0);  // exact
    if (m < 0) m += 4294967296.0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(m));
}

// Whether D is a whole number within the 32-bit range (most doubles converted are:
// the sum or difference of two integers is a double), set in Result.
bool IsWholeInt32(double d, std::int32_t& result) noexcept {
    if (!(d >= std::numeric_limits<std::int32_t>::min() && d <= std::numeric_limits<std::int32_t>::max())) return false;
    result = static_cast<std::int32_t>(d);
    return result == d;
}

}  // namespace

bool TJValue::IsNumberLike() const {
    switch (type_) {
    case vtInteger:
    case vtDouble:
    case vtBool: return true;
    case vtString: return TextIsNumber(vStringView());
    case vtObject:
        if (!u_.object) return false;
        if (u_.object->Kind() == TJObjectKind::Number) return true;
        return ObjectIsStringLike() && TextIsNumber(u_.object->ToString(nullptr).view());
    default: return false;
    }
}

// ---------------------------------------------------------------------------
// Conversions

std::int32_t RoundToInteger(double d) noexcept {
    if (std::int32_t whole; IsWholeInt32(d, whole)) return whole;
    if (!std::isfinite(d)) return 0;
    double f = std::floor(d);
    double rest = d - f;  // exact
    if (rest > 0.5 || (rest == 0.5 && std::fmod(f, 2.0) != 0)) f += 1;
    return WrapIntegral(f);
}

std::int32_t TruncToInteger(double d) noexcept {
    if (std::int32_t whole; IsWholeInt32(d, whole)) return whole;
    if (!std::isfinite(d)) return 0;
    return WrapIntegral(std::trunc(d));
}

std::int32_t TJValue::AsInteger() const {
    switch (type_) {
    case vtInteger: return u_.integer;
    case vtDouble: return RoundToInteger(u_.dbl);
    case vtString: return TextToInteger(vStringView());
    case vtObject: return u_.object ? RoundToInteger(u_.object->ToNumber()) : 0;
    case vtBool: return u_.boolean ? 1 : 0;
    default: return 0;
    }
}

double TJValue::AsDouble() const {
    switch (type_) {
    case vtInteger: return u_.integer;
    case vtDouble: return u_.dbl;
    case vtString: return TextToDouble(vStringView());
    case vtObject: return u_.object ? u_.object->ToNumber() : 0;
    case vtBool: return u_.boolean ? 1 : 0;
    default: return 0;
    }
}

float TJValue::AsSingle() const {
    double d = AsDouble();
    // Out-of-range conversions to float are undefined; overflow gives the infinity.
    constexpr double kMax = std::numeric_limits<float>::max();
    if (d > kMax) return std::numeric_limits<float>::infinity();
    if (d < -kMax) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(d);
}

unsigned char TJValue::AsChar() const {
    switch (type_) {
    case vtInteger: return static_cast<unsigned char>(u_.integer);
    case vtDouble: return static_cast<unsigned char>(TruncToInteger(u_.dbl));
    case vtString: return static_cast<unsigned char>(vStringView().empty() ? 0 : vStringView()[0]);
    case vtObject: return u_.object ? u_.object->ToChar() : 0;
    case vtBool: return u_.boolean ? 1 : 0;
    default: return 0;
    }
}

bool TJValue::AsBool() const {
    switch (type_) {
    case vtInteger: return u_.integer != 0;
    case vtDouble: return std::trunc(u_.dbl) != 0;
    case vtString: return !vStringView().empty();
    case vtObject: return u_.object ? u_.object->ToBool() : false;
    case vtBool: return u_.boolean;
    case vtFunction:
    case vtInfinity:
    case vtNaN: return true;
    case vtDispatch: return u_.dispatch != nullptr;
    default: return false;
    }
}

void TJValue::AppendString(std::string& out) const {
    switch (type_) {
    case vtUndefined: out += "undefined"; break;
    case vtNull: out += "null"; break;
    case vtInteger: out += IntegerToText(u_.integer); break;
    case vtDouble: AppendFloatText(out, u_.dbl); break;
    case vtString: out += vStringView(); break;
    case vtObject:
        if (u_.object) out += u_.object->ToString(nullptr).view();
        break;
    case vtBool: out += u_.boolean ? "true" : "false"; break;
    case vtFunction:
        out += "function ";
        if (u_.fn.function) out += u_.fn.function->GetFuncName();
        break;
    case vtInfinity: out += u_.boolean ? "-infinity" : "infinity"; break;
    case vtNaN: out += "NaN"; break;
    case vtDispatch:
        out += "dispatch";
        out += std::to_string(reinterpret_cast<std::intptr_t>(u_.dispatch));
        break;
    default: break;
    }
}

TJString TJValue::AsString() const {
    switch (type_) {
    case vtString: return vString();
    case vtObject: return u_.object ? u_.object->ToString(nullptr) : TJString();
    case vtRegExp:
    case vtEvent: return TJString();
    default: {
        std::string text;
        AppendString(text);
        return TJString(text);
    }
    }
}

std::string_view TJValue::TypeOfValue() const noexcept {
    switch (type_) {
    case vtInteger:
    case vtDouble:
    case vtNaN: return "number";
    case vtObject: return "object";
    case vtString: return "string";
    case vtBool: return "boolean";
    case vtFunction: return "function";
    case vtUndefined: return "undefined";
    case vtNull: return "null";
    case vtDispatch: return "dispatch";
    default: return "";
    }
}

// ---------------------------------------------------------------------------
// Missing values

std::int32_t AsInteger(const TJValue* v) { return v ? v->AsInteger() : 0; }
double AsDouble(const TJValue* v) { return v ? v->AsDouble() : 0; }
bool AsBool(const TJValue* v) { return v ? v->AsBool() : false; }
TJString AsString(const TJValue* v) { return v ? v->AsString() : TJString(); }

bool EqualKind(const TJValue* a, const TJValue* b) noexcept {
    return a && b && a->ValueType() == b->ValueType();
}

bool SameFunction(const TJValue* a, const TJValue* b) noexcept {
    return a && b && a->IsFunction() && b->IsFunction() && a->vFunction() == b->vFunction();
}

// ---------------------------------------------------------------------------
// Errors

void ThrowError(std::string_view errorName, std::string_view message) {
    throw EJThrow(std::string(errorName), std::string(message));
}

}  // namespace kestrel
