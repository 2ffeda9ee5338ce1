// Values: conversions, operators and their errors, including where the dialect
// departs from ECMAScript on purpose.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "script/core/ecma_type.h"
#include "script/core/ecma_type_object.h"

using namespace kestrel;

namespace {

constexpr int kAdd = 2, kSub = 3, kDiv = 4, kMul = 5, kMod = 6, kPlus = 22, kMinus = 23, kNot = 40, kOr = 42,
              kAnd = 44, kShl = 45, kShr = 46, kUShr = 47, kLess = 48, kGreater = 49, kLessEq = 50,
              kGreaterEq = 51, kEq = 52, kNotEq = 53, kStrictEq = 54, kStrictNotEq = 55, kBitAnd = 56, kBitXor = 57,
              kBitOr = 58, kComplement = 59;

TJValue I(std::int32_t v) { return IntegerValue(v); }
TJValue D(double v) { return DoubleValue(v); }
TJValue S(const char* v) { return StringValue(v); }
TJValue Undefined() { return TJValue(); }

std::string Text(const TJValue& v) { return v.AsString().str(); }

// The error name and message an operation raises, or "none".
template <class F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const EJThrow& e) {
        return e.ErrorName() + ":" + e.Message();
    }
    return "none";
}

bool Cmp(int op, const TJValue& a, const TJValue& b) {
    TJValue r = ApplyCompareOperator(op, a, b);
    EXPECT_TRUE(r.IsBool());
    return r.vBool();
}

}  // namespace

TEST(Value, KindsKeepTheirOrdinalsAndNames) {
    EXPECT_EQ(vtUndefined, 0);
    EXPECT_EQ(vtString, 4);
    EXPECT_EQ(vtFunction, 7);
    EXPECT_EQ(vtEvent, 12);
    EXPECT_EQ(ValueTypeName(vtInteger), "vtInteger");
    EXPECT_EQ(ValueTypeName(vtNaN), "vtNaN");
    EXPECT_EQ(ValueTypeName(vtRegExp), "vtRegExp");
    EXPECT_EQ(ValueTypeName(static_cast<TJValueType>(13)), "");
    static_assert(sizeof(TJValue) <= 24, "values stay small");
}

TEST(Value, ConstructorsResetThePayload) {
    TJValue v = S("text");
    v.BuildInteger(5);
    EXPECT_TRUE(v.IsInteger());
    EXPECT_EQ(v.vStringView(), "");
    v.BuildObject(nullptr);
    EXPECT_TRUE(v.IsNull()) << "an object value from a null reference is null";
    v.BuildRegExp("a+b", "gim");
    EXPECT_TRUE(v.IsRegExpValue());
    EXPECT_EQ(v.vStringView(), "a+b");
    EXPECT_EQ(v.vRegExpFlags(), "gim");
    EXPECT_THROW(v.BuildRegExp("x", "gimgimgi"), std::invalid_argument);
    v.BuildEvent(reinterpret_cast<void*>(1), reinterpret_cast<void*>(2));
    EXPECT_EQ(v.vEvent().Data, reinterpret_cast<void*>(2));
}

TEST(Value, TextCopiesShareTheirBytes) {
    TJValue a = S("a fairly long text that is not copied");
    TJValue b = a;
    EXPECT_EQ(a.vStringView().data(), b.vStringView().data());
    b.BuildInteger(1);
    EXPECT_EQ(Text(a), "a fairly long text that is not copied");
    TJString joined = TJString::Concat("ab", "cd");
    EXPECT_EQ(joined.view(), "abcd");
    EXPECT_EQ(joined.c_str()[4], '\0');
}

// Appending changes only the string appended to: its buffer grows in place while it
// is the one holder, and a holder of the same bytes never sees them change.
TEST(Value, AppendingGrowsOnlyAnUnsharedBuffer) {
    TJString s = "ab";
    s.Append("cd");
    const char* grown = s.data();
    ASSERT_GE(s.capacity(), 8u);
    s.Append("ef");
    EXPECT_EQ(s.data(), grown) << "room to spare is used in place";
    TJString copy = s;
    EXPECT_FALSE(s.Unshared());
    s.Append("gh");
    EXPECT_EQ(copy.view(), "abcdef");
    EXPECT_EQ(s.view(), "abcdefgh");
    EXPECT_NE(s.data(), copy.data());
    // A part of the string itself, also when the buffer has to move.
    TJString self = "xyz";
    for (int i = 0; i < 6; ++i) self.Append(self.view().substr(0, 3));
    EXPECT_EQ(self.size(), 21u);
    EXPECT_EQ(self.view().substr(18), "xyz");
    EXPECT_EQ(self.c_str()[self.size()], '\0');
    // Past the longest text: the error, and the string as it was.
    TJValue v = S("abc");
    const std::unique_ptr<char[]> huge(new char[TJString::kMaxLength]);  // never read: the length is refused first
    EXPECT_EQ(ErrorOf([&] { v.AppendText({huge.get(), TJString::kMaxLength - 2}); }), "EStringError:string too long");
    EXPECT_EQ(Text(v), "abc");
}

TEST(Value, TextToNumberUsesBothSyntaxes) {
    EXPECT_EQ(S("0x1F").AsInteger(), 31);
    EXPECT_EQ(S("0x1F").AsDouble(), 31);
    EXPECT_EQ(S("1e3").AsDouble(), 1000);
    EXPECT_EQ(S("1e3").AsInteger(), 0);
    EXPECT_EQ(S("3.5").AsInteger(), 0);
    EXPECT_EQ(S("3.5").AsDouble(), 3.5);
    EXPECT_EQ(S("0xFFFFFFFF").AsInteger(), -1);
    EXPECT_EQ(S("$10").AsInteger(), 16);
    EXPECT_EQ(S("").AsDouble(), 0);
    EXPECT_FALSE(S("").IsNumberLike());
    EXPECT_FALSE(S("abc").IsNumberLike());
    EXPECT_TRUE(S(" 12 ").IsNumberLike());
    EXPECT_FALSE(NaNValue().IsNumberLike());
    EXPECT_FALSE(InfinityValue(false).IsNumberLike());
    EXPECT_TRUE(BoolValue(false).IsNumberLike());
}

TEST(Value, DoublesBecomeIntegersByRoundingHalfToEvenAndWrapping) {
    EXPECT_EQ(D(2.5).AsInteger(), 2);
    EXPECT_EQ(D(3.5).AsInteger(), 4);
    EXPECT_EQ(D(-2.5).AsInteger(), -2);
    EXPECT_EQ(D(-3.5).AsInteger(), -4);
    EXPECT_EQ(D(-0.4).AsInteger(), 0);
    EXPECT_EQ(D(1e10).AsInteger(), 1410065408);
    EXPECT_EQ(D(2147483647.5).AsInteger(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(D(4294967296.5).AsInteger(), 0);
    EXPECT_EQ(D(-2147483648.5).AsInteger(), std::numeric_limits<std::int32_t>::min());
    // Whole numbers at and just beyond the 32-bit bounds.
    EXPECT_EQ(D(2147483647.0).AsInteger(), 2147483647);
    EXPECT_EQ(D(-2147483648.0).AsInteger(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(D(-2147483649.0).AsInteger(), 2147483647);
    EXPECT_EQ(TruncToInteger(2147483648.0), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(D(std::nan("")).AsInteger(), 0);
    EXPECT_EQ(D(std::numeric_limits<double>::infinity()).AsInteger(), 0);
    EXPECT_EQ(D(1e300).AsInteger(), 0) << "a multiple of 2^32";
    EXPECT_EQ(TruncToInteger(-1.9), -1);
    EXPECT_EQ(D(-1.5).AsChar(), 0xFF) << "low byte of the truncated value";
    EXPECT_EQ(D(1e300).AsSingle(), std::numeric_limits<float>::infinity());
}

TEST(Value, ConversionsByKind) {
    EXPECT_FALSE(D(0.5).AsBool());
    EXPECT_TRUE(D(-1.0).AsBool());
    EXPECT_TRUE(S("0").AsBool());
    EXPECT_FALSE(S("").AsBool());
    EXPECT_TRUE(NaNValue().AsBool());
    EXPECT_TRUE(InfinityValue(true).AsBool());
    EXPECT_FALSE(NullValue().AsBool());
    EXPECT_EQ(I(0x141).AsChar(), 0x41);
    EXPECT_EQ(S("").AsChar(), 0);
    EXPECT_EQ(S("AB").AsChar(), 'A');
    EXPECT_EQ(BoolValue(true).AsInteger(), 1);

    EXPECT_EQ(Text(Undefined()), "undefined");
    EXPECT_EQ(Text(NullValue()), "null");
    EXPECT_EQ(Text(I(-42)), "-42");
    EXPECT_EQ(Text(D(3)), "3");
    EXPECT_EQ(Text(D(0.00001)), "1E-5");
    EXPECT_EQ(Text(D(-0.0)), "0");
    EXPECT_EQ(Text(BoolValue(false)), "false");
    EXPECT_EQ(Text(InfinityValue(false)), "infinity");
    EXPECT_EQ(Text(InfinityValue(true)), "-infinity");
    EXPECT_EQ(Text(NaNValue()), "NaN");
    TJValue re;
    re.BuildRegExp("x", "g");
    EXPECT_EQ(Text(re), "");
    auto* f = new TJFunctionImpl();
    f->SetFuncName("sum");
    EXPECT_EQ(Text(FunctionValue(f)), "function sum");

    // A missing value is undefined, except for its text.
    EXPECT_EQ(AsString(nullptr).str(), "");
    EXPECT_EQ(AsInteger(nullptr), 0);
    EXPECT_FALSE(AsBool(nullptr));
    TJValue one = I(1), two = I(2);
    EXPECT_TRUE(EqualKind(&one, &two));
    EXPECT_FALSE(EqualKind(&one, nullptr));
}

TEST(Value, TypeOf) {
    EXPECT_EQ(NullValue().TypeOfValue(), "null");
    EXPECT_EQ(NaNValue().TypeOfValue(), "number");
    EXPECT_EQ(D(1).TypeOfValue(), "number");
    EXPECT_EQ(InfinityValue(false).TypeOfValue(), "");
    EXPECT_EQ(S("").TypeOfValue(), "string");
    EXPECT_EQ(BoolValue(true).TypeOfValue(), "boolean");
    EXPECT_EQ(Undefined().TypeOfValue(), "undefined");
    EXPECT_EQ(FunctionValue(new TJFunctionImpl()).TypeOfValue(), "function");
}

TEST(Value, FunctionReferencesAreCounted) {
    auto* f = new TJFunctionImpl();
    {
        TJValue a = FunctionValue(f);
        TJValue b = a;
        EXPECT_EQ(f->RefCount(), 2u);
        EXPECT_TRUE(SameFunction(&a, &b));
        b.SetUndefined();
        EXPECT_EQ(f->RefCount(), 1u);
    }
    // The last value released it (ASan reports a leak otherwise).
    TJValue g = FunctionValue(new TJFunctionImpl()), h = FunctionValue(new TJFunctionImpl());
    EXPECT_FALSE(SameFunction(&g, &h));
}

TEST(Operators, AdditionGivesDoublesOrText) {
    TJValue sum = ApplyOperator(kAdd, I(1), I(2));
    EXPECT_TRUE(sum.IsDouble());
    EXPECT_EQ(Text(sum), "3");
    EXPECT_EQ(Text(ApplyOperator(kAdd, S("1"), I(2))), "12");
    EXPECT_EQ(Text(ApplyOperator(kAdd, I(1), S("2"))), "12");
    EXPECT_TRUE(ApplyOperator(kAdd, NullValue(), I(1)).IsDouble());
    EXPECT_EQ(ApplyOperator(kAdd, NullValue(), I(1)).vDouble(), 1);
    EXPECT_EQ(Text(ApplyOperator(kAdd, NullValue(), S("a"))), "nulla");
    EXPECT_EQ(Text(ApplyOperator(kAdd, BoolValue(true), S("!"))), "true!");
    EXPECT_EQ(Text(ApplyAssignOperator(11, S("a"), D(1.5))), "a1.5");
    EXPECT_TRUE(ApplyAssignOperator(20, I(1), I(1)).IsUndefined());
}

TEST(Operators, DivisionAndRemainderNeverFail) {
    EXPECT_TRUE(ApplyOperator(kMod, I(7), I(0)).IsNaN());
    TJValue inf = ApplyOperator(kDiv, I(1), I(0));
    EXPECT_TRUE(inf.IsInfinity());
    EXPECT_FALSE(inf.vNegative());
    EXPECT_EQ(Text(inf), "infinity");
    EXPECT_TRUE(ApplyOperator(kDiv, I(-1), I(0)).vNegative());
    EXPECT_TRUE(ApplyOperator(kDiv, I(0), I(0)).IsNaN());
    EXPECT_FALSE(ApplyOperator(kDiv, I(1), D(-0.0)).vNegative()) << "zero counts as not below zero";
    EXPECT_EQ(ApplyOperator(kDiv, I(1), I(4)).vDouble(), 0.25);
    EXPECT_EQ(ApplyOperator(kMod, I(-7), I(2)).vInteger(), -1) << "the sign of the left operand";
    EXPECT_EQ(ApplyOperator(kMod, S("7.9"), I(4)).vInteger(), 0) << "AsInteger of the text 7.9 is 0";
    EXPECT_EQ(ApplyOperator(kMod, I(std::numeric_limits<std::int32_t>::min()), I(-1)).vInteger(), 0);
}

TEST(Operators, OverflowGivesSignedInfinities) {
    EXPECT_FALSE(ApplyOperator(kAdd, D(1e308), D(1e308)).vNegative());
    EXPECT_TRUE(ApplyOperator(kAdd, D(1e308), D(1e308)).IsInfinity());
    EXPECT_TRUE(ApplyOperator(kSub, D(-1e308), D(1e308)).vNegative());
    EXPECT_TRUE(ApplyOperator(kMul, D(1e308), D(-10)).vNegative());
    EXPECT_FALSE(ApplyOperator(kMul, D(-1e308), D(-10)).vNegative());
    TJValue q = ApplyOperator(kDiv, D(-1e308), D(1e-10));
    EXPECT_TRUE(q.IsInfinity());
    EXPECT_TRUE(q.vNegative());
}

TEST(Operators, ArithmeticRefusesUndefinedNaNAndInfinities) {
    EXPECT_EQ(ErrorOf([] { ApplyOperator(kAdd, NaNValue(), I(1)); }), "ETypeError:vtNaN - vtInteger");
    EXPECT_EQ(ErrorOf([] { ApplyOperator(kSub, I(1), InfinityValue(false)); }), "ETypeError:vtInteger - vtInfinity");
    EXPECT_EQ(ErrorOf([] { ApplyOperator(kAdd, S("a"), NaNValue()); }), "ETypeError:vtString - vtNaN");
    EXPECT_EQ(ErrorOf([] { ApplyOperator(kAdd, Undefined(), I(1)); }), "ENameError:");
    EXPECT_EQ(ErrorOf([] { ApplyOperator(kBitOr, I(1), Undefined()); }), "ENameError:");
    EXPECT_EQ(ErrorOf([] { ApplyOperator(kShl, FunctionValue(new TJFunctionImpl()), I(1)); }),
              "ETypeError:vtFunction - vtInteger");
}

TEST(Operators, ShiftsAndBitwiseWorkOn32Bits) {
    EXPECT_EQ(ApplyOperator(kShr, I(-8), I(1)).vInteger(), -4);
    EXPECT_EQ(ApplyOperator(kUShr, I(-8), I(1)).vInteger(), 2147483644);
    EXPECT_EQ(ApplyOperator(kUShr, I(-1), I(0)).vInteger(), -1);
    EXPECT_EQ(ApplyOperator(kShl, I(1), I(33)).vInteger(), 2);
    EXPECT_EQ(ApplyOperator(kShl, I(1), I(31)).vInteger(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ApplyOperator(kShl, I(3), I(-1)).vInteger(), std::numeric_limits<std::int32_t>::min())
        << "the low five bits of -1 are 31";
    EXPECT_EQ(ApplyOperator(kBitAnd, I(12), S("10")).vInteger(), 8);
    EXPECT_EQ(ApplyOperator(kBitXor, D(5.5), I(1)).vInteger(), 7) << "5.5 rounds to 6";
    EXPECT_EQ(ApplyOperator(kBitOr, BoolValue(true), I(2)).vInteger(), 3);
    EXPECT_EQ(ApplyAssignOperator(16, I(-8), I(1)).vInteger(), 2147483644);
}

TEST(Operators, Unary) {
    TJValue plus = ApplyUnaryOperator(kPlus, S("12"));
    EXPECT_TRUE(plus.IsInteger());
    EXPECT_EQ(plus.vInteger(), 12);
    EXPECT_EQ(ApplyUnaryOperator(kPlus, S("1.5")).vInteger(), 0);
    EXPECT_TRUE(ApplyUnaryOperator(kPlus, D(1.5)).IsDouble());
    EXPECT_TRUE(ApplyUnaryOperator(kPlus, InfinityValue(true)).vNegative());
    EXPECT_EQ(ApplyUnaryOperator(kMinus, D(1.5)).vDouble(), -1.5);
    EXPECT_EQ(ApplyUnaryOperator(kMinus, S("7")).vInteger(), -7);
    EXPECT_TRUE(ApplyUnaryOperator(kMinus, InfinityValue(false)).vNegative());
    EXPECT_EQ(ApplyUnaryOperator(kMinus, I(std::numeric_limits<std::int32_t>::min())).vInteger(),
              std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ApplyUnaryOperator(kComplement, I(0)).vInteger(), -1);
    EXPECT_EQ(ApplyUnaryOperator(kComplement, D(2.5)).vInteger(), -3);
    EXPECT_EQ(ErrorOf([] { ApplyUnaryOperator(kComplement, InfinityValue(false)); }), "ETypeError:vtInfinity");
    EXPECT_EQ(ErrorOf([] { ApplyUnaryOperator(kMinus, NaNValue()); }), "ETypeError:vtNaN");
    EXPECT_EQ(ErrorOf([] { ApplyUnaryOperator(kPlus, Undefined()); }), "ENameError:");
    EXPECT_TRUE(Cmp(kNot, S(""), Undefined()));
    EXPECT_FALSE(Cmp(kNot, NaNValue(), Undefined()));
}

TEST(Operators, RelationalComparison) {
    EXPECT_TRUE(Cmp(kLess, S("abc"), S("abd")));
    EXPECT_TRUE(Cmp(kLess, S("ab"), S("abc"))) << "a proper prefix is smaller";
    EXPECT_TRUE(Cmp(kLess, S("B"), S("a"))) << "ordinal, case-sensitive";
    EXPECT_TRUE(Cmp(kLess, S("a"), S("\xE3\x81\x82"))) << "bytes compare as 0..255";
    EXPECT_FALSE(Cmp(kLess, S("10"), S("9"))) << "numeric texts compare as numbers";
    EXPECT_FALSE(Cmp(kLess, S("a"), I(1))) << "compared as the texts a and 1";
    EXPECT_TRUE(Cmp(kGreater, S("a"), I(1)));
    EXPECT_TRUE(Cmp(kLessEq, I(2), D(2.0)));
    EXPECT_TRUE(Cmp(kGreaterEq, BoolValue(true), I(1)));
    EXPECT_TRUE(Cmp(kLess, NullValue(), S("undefined"))) << "null is not number-like: text order";
    EXPECT_EQ(ErrorOf([] { ApplyCompareOperator(kLess, NaNValue(), NaNValue()); }), "ETypeError:cannot compare \"NaN\"");
    EXPECT_FALSE(Cmp(kLess, NaNValue(), I(1))) << "the texts NaN and 1";

    TJValue inf = InfinityValue(false), ninf = InfinityValue(true);
    EXPECT_TRUE(Cmp(kLess, ninf, I(5)));
    EXPECT_TRUE(Cmp(kGreaterEq, inf, D(1e308)));
    EXPECT_TRUE(Cmp(kLess, I(5), inf));
    EXPECT_FALSE(Cmp(kLessEq, I(5), ninf));
    EXPECT_TRUE(Cmp(kLess, ninf, inf));
    EXPECT_FALSE(Cmp(kLessEq, inf, inf)) << "<= of two infinities: the left one is negative";
    EXPECT_FALSE(Cmp(kGreaterEq, inf, inf)) << ">= of two infinities: the right one is negative";
    EXPECT_TRUE(Cmp(kGreaterEq, ninf, ninf));
}

TEST(Operators, Equality) {
    EXPECT_TRUE(Cmp(kEq, I(1), S("1")));
    EXPECT_FALSE(Cmp(kStrictEq, I(1), S("1")));
    EXPECT_TRUE(Cmp(kStrictNotEq, I(1), S("1")));
    EXPECT_TRUE(Cmp(kEq, BoolValue(true), I(1)));
    EXPECT_TRUE(Cmp(kEq, I(3), D(3)));
    EXPECT_FALSE(Cmp(kStrictEq, I(3), D(3)));
    EXPECT_TRUE(Cmp(kEq, NullValue(), Undefined()));
    EXPECT_FALSE(Cmp(kStrictEq, NullValue(), Undefined()));
    EXPECT_FALSE(Cmp(kEq, NaNValue(), NaNValue()));
    EXPECT_TRUE(Cmp(kNotEq, NaNValue(), NaNValue()));
    EXPECT_FALSE(Cmp(kEq, NullValue(), I(0)));
    EXPECT_TRUE(Cmp(kEq, Undefined(), S("undefined")));
    EXPECT_FALSE(Cmp(kEq, S("abc"), S("ABC")));
    EXPECT_TRUE(Cmp(kEq, InfinityValue(true), InfinityValue(true)));
    EXPECT_FALSE(Cmp(kEq, InfinityValue(true), InfinityValue(false)));
    TJValue re1, re2;
    re1.BuildRegExp("a", "");
    re2 = re1;
    EXPECT_FALSE(Cmp(kStrictEq, re1, re2));
}

TEST(Operators, LogicalOperatorsOnBothValuesGiveBooleans) {
    EXPECT_TRUE(Cmp(kOr, S("0"), I(0)));
    EXPECT_FALSE(Cmp(kOr, D(0.9), NullValue()));
    EXPECT_FALSE(Cmp(kAnd, I(1), S("")));
    EXPECT_TRUE(Cmp(43, I(1), S("x")));
    EXPECT_TRUE(Cmp(41, I(0), NaNValue()));
}

TEST(Errors, FamilyCarriesNamesMessagesAndValues) {
    try {
        ThrowError(errors::KeyError, "k");
    } catch (const EJRuntimeError& e) {
        EXPECT_EQ(e.ErrorName(), "EKeyError");
        EXPECT_STREQ(e.what(), "k");
        EXPECT_TRUE(e.Value().IsNull());
    }
    EJSyntaxError syntax("bad token", 3);
    EXPECT_EQ(syntax.ErrorName(), "ESyntaxError");
    EXPECT_EQ(syntax.Line(), 3);
    const EJException& base = syntax;
    EXPECT_EQ(base.Message(), "bad token");
    EXPECT_EQ(EJAbort().Message(), "script abort");
    EXPECT_EQ(EJExit(3).ExitCode(), 3);
    EJThrow thrown("EThrow", "", S("boom"));
    EXPECT_EQ(Text(thrown.Value()), "boom");
}
