// The "%" language and the float forms at fixed regional settings.
#include <gtest/gtest.h>

#include <vector>

#include "script/lib/ecma_format.h"
#include "util/CodePage.h"

using namespace kestrel;
using tinctor::CodePage;

namespace {

using A = TFormatArg;

class FormatTest : public ::testing::Test {
protected:
    void SetUp() override { CodePage::Select(CodePage::Utf8); }
    void TearDown() override { CodePage::Select(CodePage::FromEnvironment()); }
    std::string Format(std::string_view format, std::vector<A> args) { return FormatText(format, args, settings_); }
    // The message of the conversion error, or "" when the call succeeds.
    std::string Error(std::string_view format, std::vector<A> args) {
        try {
            FormatText(format, args, settings_);
        } catch (const EFormatError& e) {
            return e.Message();
        }
        return "";
    }
    TFormatSettings settings_ = DefaultFormatSettings();
};

TEST_F(FormatTest, SpecifiersWriteTheirArguments) {
    struct Case {
        const char* format;
        std::vector<A> args;
        const char* expected;
    };
    const Case cases[] = {
        {"%5.1f|%-4d|", {A::OfFloat(3.14159), A::OfInteger(7)}, "  3.1|7   |"},
        {"%.3d", {A::OfInteger(7)}, "007"},
        {"%.3d", {A::OfInteger(-7)}, "-007"},
        {"%x", {A::OfInteger(255)}, "FF"},
        {"%.4X", {A::OfInteger(-1)}, "FFFFFFFF"},
        {"%u", {A::OfInteger(-1)}, "4294967295"},
        {"%d", {A::OfInteger(INT32_MIN)}, "-2147483648"},
        {"%.2s", {A::OfString("abc")}, "ab"},
        {"%*d", {A::OfInteger(5), A::OfInteger(42)}, "   42"},
        {"%d %d %0:d %1:d", {A::OfInteger(10), A::OfInteger(20)}, "10 20 10 20"},
        {"100%% %s", {A::OfString("x")}, "100% x"},
        {"%e", {A::OfFloat(1234.5)}, "1.23450000000000E+003"},
        {"%.3e", {A::OfFloat(1234.5)}, "1.23E+003"},
        {"%g", {A::OfFloat(0.0000123)}, "1.23E-005"},
        {"%g", {A::OfFloat(1.5E20)}, "1.5E020"},
        {"%g", {A::OfFloat(100)}, "100"},
        {"%n", {A::OfFloat(1234567.891)}, "1,234,567.89"},
        {"%m", {A::OfFloat(-1234.5)}, "-¥1235"},
        {"%.1m", {A::OfFloat(12.25)}, "¥12.3"},
        {"%f", {A::OfFloat(2.5)}, "2.50"},
        {"%.0f", {A::OfFloat(2.5)}, "3"},
        {"%.0f", {A::OfFloat(-0.4)}, "0"},
        // Width and precision count characters, not bytes.
        {"%4s|%.1s", {A::OfString("あい"), A::OfString("あい")}, "  あい|あ"},
    };
    for (const Case& c : cases) EXPECT_EQ(Format(c.format, c.args), c.expected) << c.format;
}

TEST_F(FormatTest, ConversionErrorsNameTheSpecifier) {
    const std::string invalid = "書式文字列 '%d' は正しくないか引数の型と一致しません";
    EXPECT_EQ(Error("%d", {A::OfFloat(3)}), invalid);
    EXPECT_EQ(Error("%f", {A::OfInteger(3)}), "書式文字列 '%f' は正しくないか引数の型と一致しません");
    EXPECT_EQ(Error("%s", {A::OfInteger(3)}), "書式文字列 '%s' は正しくないか引数の型と一致しません");
    EXPECT_EQ(Error("%p", {A::OfInteger(3)}), "書式文字列 '%p' は正しくないか引数の型と一致しません");
    EXPECT_EQ(Error("%k", {A::OfInteger(3)}), "書式文字列 '%k' は正しくないか引数の型と一致しません");
    EXPECT_EQ(Error("%d %d", {A::OfInteger(1)}), "書式文字列 '%d' の引数が見つかりません");
    EXPECT_EQ(Error("%*d", {A::OfFloat(1), A::OfInteger(1)}), "書式文字列 '%*d' は正しくないか引数の型と一致しません");
    // The specifier is data: a "%s" inside it is not formatted again.
    EXPECT_EQ(Error("%-10s", {}), "書式文字列 '%-10s' の引数が見つかりません");
    // Cut to 31 bytes without splitting a character (three-byte characters here).
    std::string longSpec = "%" + std::string(28, '1') + "あ";
    std::string msg = Error(longSpec, {A::OfInteger(1)});
    EXPECT_NE(msg.find("'%" + std::string(28, '1') + "'"), std::string::npos) << msg;
}

TEST_F(FormatTest, HugeWidthsAreRefusedNotAllocated) {
    const std::string invalid = "は正しくないか引数の型と一致しません";
    EXPECT_NE(Error("%2000000000d", {A::OfInteger(1)}).find(invalid), std::string::npos);
    EXPECT_NE(Error("%.2000000000d", {A::OfInteger(1)}).find(invalid), std::string::npos);
    EXPECT_NE(Error("%*d", {A::OfInteger(2147483647), A::OfInteger(1)}).find(invalid), std::string::npos);
    // The precision of the float forms and of "%s" needs no limit.
    EXPECT_EQ(Format("%.2000000000f", {A::OfFloat(0.5)}), "0.500000000000000000");
    EXPECT_EQ(Format("%.2000000000s", {A::OfString("ab")}), "ab");
}

TEST_F(FormatTest, FloatFormsRoundHalfAwayFromZeroOnTheExactValue) {
    struct Case {
        double value;
        TFloatForm form;
        int precision, digits;
        const char* expected;
    };
    const Case cases[] = {
        {12345.678, TFloatForm::Exponent, 2, 1, "1.2E+4"},
        {2.5, TFloatForm::Fixed, 15, 0, "3"},
        {-2.5, TFloatForm::Fixed, 15, 0, "-3"},
        {1.005, TFloatForm::Fixed, 15, 2, "1.00"},
        {0.125, TFloatForm::Fixed, 15, 2, "0.13"},
        {1234567890123456789.0, TFloatForm::Fixed, 15, 2, "1.23456789012346E18"},
        {999.9996, TFloatForm::Fixed, 15, 3, "1000.000"},
        {0.0001, TFloatForm::General, 15, 0, "0.0001"},
        {0.00001, TFloatForm::General, 15, 0, "1E-5"},
        {123456789012345678.0, TFloatForm::General, 15, 0, "1.23456789012346E17"},
        {0.1 + 0.2, TFloatForm::General, 15, 0, "0.3"},
        {0.1 + 0.2, TFloatForm::General, 18, 0, "0.300000000000000044"},
        {0, TFloatForm::Exponent, 3, 2, "0.00E+00"},
        {1e300, TFloatForm::Number, 15, 0, "1E300"},
        {-1234567.5, TFloatForm::Number, 15, 0, "-1,234,568"},
        {5e-324, TFloatForm::General, 15, 0, "4.94065645841247E-324"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFloat(c.value, c.form, c.precision, c.digits, settings_), c.expected) << c.value;
}

TEST_F(FormatTest, CurrencyPatternsPlaceTheSymbol) {
    settings_.CurrencyString = "$";
    settings_.CurrencyDecimals = 2;
    const std::pair<int, const char*> negatives[] = {{0, "($1.50)"}, {3, "$1.50-"}, {8, "-1.50 $"}, {15, "(1.50 $)"}};
    for (auto [pattern, expected] : negatives) {
        settings_.NegCurrFormat = pattern;
        EXPECT_EQ(FormatFloat(-1.5, TFloatForm::Currency, 18, 2, settings_), expected) << pattern;
    }
    settings_.CurrencyFormat = 3;
    EXPECT_EQ(FormatFloat(1.5, TFloatForm::Currency, 18, 2, settings_), "1.50 $");
}

}  // namespace
