#include "script/core/ecma_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kestrel;

namespace {

// The double the text converts to, or NaN when it does not convert.
double Float(std::string_view text) {
    double v;
    return TryTextToFloat(text, v) ? v : std::numeric_limits<double>::quiet_NaN();
}

bool IntegerFails(std::string_view text) {
    std::int32_t v = 12345;
    bool ok = TryTextToInteger(text, v);
    return !ok && v == 12345;
}

std::int32_t Integer(std::string_view text) {
    std::int32_t v = 0;
    EXPECT_TRUE(TryTextToInteger(text, v)) << text;
    return v;
}

}  // namespace

TEST(TextToFloat, AcceptsTheWholeSyntax) {
    EXPECT_EQ(Float("3.5"), 3.5);
    EXPECT_EQ(Float("  -3.5  "), -3.5);
    EXPECT_EQ(Float("+7"), 7);
    EXPECT_EQ(Float(".5"), 0.5);
    EXPECT_EQ(Float("5."), 5);
    EXPECT_EQ(Float("1e3"), 1000);
    EXPECT_EQ(Float("1E+3"), 1000);
    EXPECT_EQ(Float("2.5e-3"), 0.0025);
    EXPECT_EQ(Float("-.5E1"), -5);
    EXPECT_EQ(Float("0010"), 10);
    EXPECT_TRUE(std::signbit(Float("-0")));
}

TEST(TextToFloat, RejectsOtherForms) {
    for (std::string_view bad : {"", " ", ".", "+", "-", "e3", "1e", "1e+", "1.2.3", "1 2", "0x10", "$10",
                                 "inf", "-inf", "nan", "NaN", "Infinity", "1f", "\t1", "1\n", "1,5", "++1",
                                 "1e3.5", "1 e3"}) {
        double v = 42;
        EXPECT_FALSE(TryTextToFloat(bad, v)) << '"' << bad << '"';
        EXPECT_EQ(v, 42) << "a failed conversion leaves the value alone";
    }
}

TEST(TextToFloat, RoundsCorrectlyAndHandlesRangeLimits) {
    EXPECT_EQ(Float("0.1"), 0.1);
    EXPECT_EQ(Float("9007199254740993"), 9007199254740992.0);  // ties to even
    EXPECT_EQ(Float("1.7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_TRUE(std::isnan(Float("1e400"))) << "too large for a double: not a number";
    EXPECT_TRUE(std::isnan(Float("-1e400")));
    EXPECT_TRUE(std::isnan(Float("0.0001e99999999999999999999")));
    EXPECT_EQ(Float("1e-400"), 0);
    EXPECT_EQ(Float("100000e-99999999999999999999"), 0);
    EXPECT_EQ(Float("4.9e-324"), std::numeric_limits<double>::denorm_min());
    std::string longDigits = "0." + std::string(5000, '0') + "1e5000";
    EXPECT_EQ(Float(longDigits), 0.1);
}

TEST(TextToInteger, DecimalAndHexadecimal) {
    EXPECT_EQ(Integer("0"), 0);
    EXPECT_EQ(Integer("  -12"), -12);
    EXPECT_EQ(Integer("+12"), 12);
    EXPECT_EQ(Integer("010"), 10) << "no octal";
    EXPECT_EQ(Integer("0x1F"), 31);
    EXPECT_EQ(Integer("0X1f"), 31);
    EXPECT_EQ(Integer("$ff"), 255);
    EXPECT_EQ(Integer("-0x10"), -16);
    EXPECT_EQ(Integer("2147483647"), 2147483647);
    EXPECT_EQ(Integer("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(Integer("0xFFFFFFFF"), -1) << "hexadecimal is a 32-bit pattern";
    EXPECT_EQ(Integer("0x80000000"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(Integer("-0x80000000"), std::numeric_limits<std::int32_t>::min()) << "negation wraps";
    EXPECT_EQ(Integer("0x00000000000000FF"), 255) << "leading zeros do not count against the range";
}

TEST(TextToInteger, RejectsOtherForms) {
    for (std::string_view bad : {"", " ", "-", "0x", "$", "3.5", "1e3", "12 ", "1 2", "0x1G", "2147483648",
                                 "-2147483649", "0x100000000", "99999999999999999999999", "x10", "\t1", "--1",
                                 "0x-1"}) {
        EXPECT_TRUE(IntegerFails(bad)) << '"' << bad << '"';
    }
}

TEST(TextToInt64, WiderRange) {
    std::int64_t v = 0;
    ASSERT_TRUE(TryTextToInt64("2147483648", v));
    EXPECT_EQ(v, 2147483648LL);
    ASSERT_TRUE(TryTextToInt64("-9223372036854775808", v));
    EXPECT_EQ(v, std::numeric_limits<std::int64_t>::min());
    ASSERT_TRUE(TryTextToInt64("0x1FFFFFFFF", v));
    EXPECT_EQ(v, 0x1FFFFFFFFLL);
    ASSERT_TRUE(TryTextToInt64("0xFFFFFFFFFFFFFFFF", v));
    EXPECT_EQ(v, -1);
    EXPECT_FALSE(TryTextToInt64("9223372036854775808", v));
    EXPECT_FALSE(TryTextToInt64("0x10000000000000000", v));
    EXPECT_FALSE(TryTextToInt64("1.5", v));
}

TEST(FloatToText, FixedNotation) {
    EXPECT_EQ(FloatToText(3), "3");
    EXPECT_EQ(FloatToText(-3), "-3");
    EXPECT_EQ(FloatToText(0), "0");
    EXPECT_EQ(FloatToText(-0.0), "0");
    EXPECT_EQ(FloatToText(3.5), "3.5");
    EXPECT_EQ(FloatToText(0.1), "0.1");
    EXPECT_EQ(FloatToText(0.1 + 0.2), "0.3") << "rounded to 15 significant digits";
    EXPECT_EQ(FloatToText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FloatToText(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(FloatToText(-2.0 / 3), "-0.666666666666667");
    EXPECT_EQ(FloatToText(0.0001), "0.0001");
    EXPECT_EQ(FloatToText(0.00012345), "0.00012345");
    EXPECT_EQ(FloatToText(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToText(100000000000000.0), "100000000000000");
    EXPECT_EQ(FloatToText(1234567.125), "1234567.125");
    EXPECT_EQ(FloatToText(2147483648.0), "2147483648");
}

TEST(FloatToText, ScientificNotation) {
    EXPECT_EQ(FloatToText(0.00001), "1E-5");
    EXPECT_EQ(FloatToText(1.5e-7), "1.5E-7");
    EXPECT_EQ(FloatToText(1e20), "1E20");
    EXPECT_EQ(FloatToText(-1e20), "-1E20");
    EXPECT_EQ(FloatToText(1e15), "1E15") << "sixteen integer digits";
    EXPECT_EQ(FloatToText(1234567890123456.0), "1.23456789012346E15");
    EXPECT_EQ(FloatToText(999999999999999.9), "1E15") << "rounding to 15 digits carries into a new digit";
    EXPECT_EQ(FloatToText(0.000099999999999999999), "0.0001");
    EXPECT_EQ(FloatToText(1e100), "1E100");
    EXPECT_EQ(FloatToText(1.7976931348623157e308), "1.79769313486232E308");
    EXPECT_EQ(FloatToText(4.9e-324), "4.94065645841247E-324");
    EXPECT_EQ(FloatToText(-2.5e-10), "-2.5E-10");
}

TEST(FloatToText, NotANumberAndInfinitiesPrintLikeTheirValues) {
    EXPECT_EQ(FloatToText(std::numeric_limits<double>::quiet_NaN()), "NaN");
    EXPECT_EQ(FloatToText(std::numeric_limits<double>::infinity()), "infinity");
    EXPECT_EQ(FloatToText(-std::numeric_limits<double>::infinity()), "-infinity");
}

TEST(FloatToText, AppendsWithoutReplacing) {
    std::string out = "x=";
    AppendFloatText(out, 0.25);
    AppendFloatText(out, -1e-9);
    EXPECT_EQ(out, "x=0.25-1E-9");
}

TEST(IntegerToText, Decimal) {
    EXPECT_EQ(IntegerToText(0), "0");
    EXPECT_EQ(IntegerToText(-42), "-42");
    EXPECT_EQ(IntegerToText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
    EXPECT_EQ(IntegerToText(std::numeric_limits<std::int32_t>::max()), "2147483647");
}
