// The dialect's operators on values. They differ from ECMAScript on purpose: numeric
// addition always gives a double, NaN and the infinities take no part in arithmetic,
// `>>>` gives a signed result, and text that reads as a number compares as one.
#include <cmath>
#include <limits>
#include <string>

#include "script/core/ecma_type.h"

namespace kestrel {

namespace {

constexpr int opAdd = 2, opSub = 3, opDiv = 4, opMul = 5, opMod = 6;
constexpr int opPlus = 22, opMinus = 23, opNot = 40, opOrBoth = 42, opOrShort = 41, opAndBoth = 44,
              opAndShort = 43;
constexpr int opShl = 45, opShr = 46, opUShr = 47, opLess = 48, opGreater = 49, opLessEq = 50,
              opGreaterEq = 51, opEq = 52, opNotEq = 53, opStrictEq = 54, opStrictNotEq = 55;
constexpr int opAnd = 56, opXor = 57, opOr = 58, opComplement = 59;

[[noreturn]] void KindError(const TJValue& v) { ThrowError(errors::TypeError, ValueTypeName(v.ValueType())); }

bool TakesNoArithmetic(const TJValue& v) { return v.IsFunction() || v.IsInfinity() || v.IsNaN(); }

bool IsPlainNumber(const TJValue& v) { return v.IsInteger() || v.IsDouble(); }
double PlainNumber(const TJValue& v) { return v.IsInteger() ? v.vInteger() : v.vDouble(); }

std::int32_t Wrap(std::uint32_t u) { return static_cast<std::int32_t>(u); }

// The result of a floating-point operation that may have overflowed.
TJValue DoubleOrInfinity(double r, bool negative) {
    return std::isfinite(r) ? DoubleValue(r) : InfinityValue(negative);
}

TJValue Concatenate(const TJValue& left, const TJValue& right) {
    if (left.IsString() && right.IsString()) return StringValue(TJString::Concat(left.vStringView(), right.vStringView()));
    std::string text;
    left.AppendString(text);
    right.AppendString(text);
    return StringValue(TJString(text));
}

int CompareText(const TJValue& left, const TJValue& right) {
    if (left.IsString() && right.IsString()) return left.vStringView().compare(right.vStringView());
    return left.AsString().view().compare(right.AsString().view());
}

bool Relate(int op, int sign) {
    switch (op) {
    case opLess: return sign < 0;
    case opGreater: return sign > 0;
    case opLessEq: return sign <= 0;
    default: return sign >= 0;
    }
}

template <class T>
bool RelateValues(int op, T a, T b) {
    switch (op) {
    case opLess: return a < b;
    case opGreater: return a > b;
    case opLessEq: return a <= b;
    default: return a >= b;
    }
}

bool Relational(int op, const TJValue& left, const TJValue& right) {
    if (left.IsInteger() && right.IsInteger()) return RelateValues(op, left.vInteger(), right.vInteger());
    if (left.IsDouble() && right.IsDouble()) return RelateValues(op, left.vDouble(), right.vDouble());
    bool leftNumeric = left.IsInfinity() || left.IsNumberLike();
    bool rightNumeric = right.IsInfinity() || right.IsNumberLike();
    if (!leftNumeric || !rightNumeric) {
        if (left.IsNaN() && right.IsNaN()) ThrowError(errors::TypeError, "cannot compare \"NaN\"");
        return Relate(op, CompareText(left, right));
    }
    if (left.IsInfinity() && right.IsInfinity()) {
        bool ln = left.vNegative(), rn = right.vNegative();
        switch (op) {
        case opLess: return ln && !rn;
        case opGreater: return !ln && rn;
        case opLessEq: return ln;
        default: return rn;
        }
    }
    if (left.IsInfinity()) return (op == opLess || op == opLessEq) ? left.vNegative() : !left.vNegative();
    if (right.IsInfinity()) return (op == opLess || op == opLessEq) ? !right.vNegative() : right.vNegative();
    return RelateValues(op, left.AsDouble(), right.AsDouble());
}

bool Equals(const TJValue& left, const TJValue& right) {
    if (left.ValueType() == right.ValueType()) return SameValue(left, right);
    if (left.IsStringLike() && right.IsStringLike()) return CompareText(left, right) == 0;
    if (left.IsNumberLike() && right.IsNumberLike()) return left.AsDouble() == right.AsDouble();
    if ((left.IsNull() && right.IsUndefined()) || (left.IsUndefined() && right.IsNull())) return true;
    if (left.IsNaN() || right.IsNaN()) return false;
    return CompareText(left, right) == 0;
}

}  // namespace

bool SameValue(const TJValue& left, const TJValue& right) {
    switch (left.ValueType()) {
    case vtUndefined:
    case vtNull: return true;
    case vtInteger: return left.vInteger() == right.vInteger();
    case vtDouble: return left.vDouble() == right.vDouble();
    case vtString: return left.vStringView() == right.vStringView();
    // Two String or StringBuffer objects too are equal only when they are the same object.
    case vtObject: return left.vObject() == right.vObject();
    case vtBool: return left.vBool() == right.vBool();
    case vtFunction: return left.vFunction() == right.vFunction();
    case vtInfinity: return left.vNegative() == right.vNegative();
    case vtDispatch: return left.vDispatch() == right.vDispatch();
    default: return false;  // NaN, regular-expression literals, events
    }
}

TJValue ApplyUnaryOperator(int op, const TJValue& operand) {
    if (op != opPlus && op != opMinus && op != opComplement) return TJValue();
    if (operand.IsUndefined()) ThrowError(errors::NameError, "");
    if (operand.IsFunction() || operand.IsNaN()) KindError(operand);
    switch (op) {
    case opPlus:
        if (operand.IsDouble() || operand.IsInfinity()) return operand;
        return IntegerValue(operand.AsInteger());
    case opMinus:
        if (operand.IsDouble()) return DoubleValue(-operand.vDouble());
        if (operand.IsInfinity()) return InfinityValue(!operand.vNegative());
        return IntegerValue(Wrap(0u - static_cast<std::uint32_t>(operand.AsInteger())));
    default:
        if (operand.IsInfinity()) KindError(operand);
        return IntegerValue(~operand.AsInteger());
    }
}

TJValue ApplyOperator(int op, const TJValue& left, const TJValue& right) {
    // Integers and doubles meet most often: they need none of the kind checks.
    const bool numbers = IsPlainNumber(left) && IsPlainNumber(right);
    if (!numbers) {
        switch (op) {
        case opAdd: case opSub: case opDiv: case opMul: case opMod:
        case opShl: case opShr: case opUShr: case opAnd: case opXor: case opOr: break;
        default: return TJValue();
        }
        if (left.IsUndefined() || right.IsUndefined()) ThrowError(errors::NameError, "");
        if (TakesNoArithmetic(left) || TakesNoArithmetic(right)) {
            std::string message(ValueTypeName(left.ValueType()));
            message += " - ";
            message += ValueTypeName(right.ValueType());
            ThrowError(errors::TypeError, message);
        }
    }
    auto number = [numbers](const TJValue& v) { return numbers ? PlainNumber(v) : v.AsDouble(); };
    auto integer = [](const TJValue& v) { return v.IsInteger() ? v.vInteger() : v.AsInteger(); };
    switch (op) {
    case opAdd: {
        if (!numbers && (left.IsStringLike() || right.IsStringLike())) return Concatenate(left, right);
        double a = number(left);
        return DoubleOrInfinity(a + number(right), a < 0);
    }
    case opSub: {
        double a = number(left);
        return DoubleOrInfinity(a - number(right), a < 0);
    }
    case opMul: {
        double a = number(left), b = number(right);
        return DoubleOrInfinity(a * b, (a < 0) != (b < 0));
    }
    case opDiv: {
        double a = number(left), b = number(right);
        double q = b != 0 ? a / b : std::numeric_limits<double>::infinity();
        if (std::isfinite(q)) return DoubleValue(q);
        if (a != 0 || b != 0) return InfinityValue((a < 0) != (b < 0));
        return NaNValue();
    }
    case opMod: {
        std::int32_t a = integer(left), b = integer(right);
        if (b == 0) return NaNValue();
        if (b == -1) return IntegerValue(0);  // also for the minimum integer
        return IntegerValue(a % b);
    }
    case opShl: return IntegerValue(Wrap(static_cast<std::uint32_t>(integer(left)) << (integer(right) & 31)));
    case opShr: return IntegerValue(integer(left) >> (integer(right) & 31));
    case opUShr: return IntegerValue(Wrap(static_cast<std::uint32_t>(integer(left)) >> (integer(right) & 31)));
    case opAnd: return IntegerValue(integer(left) & integer(right));
    case opXor: return IntegerValue(integer(left) ^ integer(right));
    case opOr: return IntegerValue(integer(left) | integer(right));
    default: return TJValue();
    }
}

int AssignOperatorCode(int op) noexcept {
    switch (op) {
    case 9: return opMul;
    case 10: return opDiv;
    case 11: return opAdd;
    case 12: return opSub;
    case 13: return opMod;
    case 14: return opShl;
    case 15: return opShr;
    case 16: return opUShr;
    case 17: return opAnd;
    case 18: return opXor;
    case 19: return opOr;
    default: return -1;
    }
}

TJValue ApplyAssignOperator(int op, const TJValue& left, const TJValue& right) {
    int code = AssignOperatorCode(op);
    return code < 0 ? TJValue() : ApplyOperator(code, left, right);
}

bool CompareOperator(int op, const TJValue& left, const TJValue& right) {
    switch (op) {
    case opNot: return !left.AsBool();
    case opOrShort:
    case opOrBoth: {
        bool a = left.AsBool();
        bool b = right.AsBool();
        return a || b;
    }
    case opAndShort:
    case opAndBoth: {
        bool a = left.AsBool();
        bool b = right.AsBool();
        return a && b;
    }
    case opLess:
    case opGreater:
    case opLessEq:
    case opGreaterEq: return Relational(op, left, right);
    case opEq: return Equals(left, right);
    case opNotEq: return !Equals(left, right);
    case opStrictEq: return left.ValueType() == right.ValueType() && SameValue(left, right);
    case opStrictNotEq: return !(left.ValueType() == right.ValueType() && SameValue(left, right));
    default: return false;
    }
}

TJValue ApplyCompareOperator(int op, const TJValue& left, const TJValue& right) {
    return BoolValue(CompareOperator(op, left, right));
}

}  // namespace kestrel
