// The formatting languages at fixed regional settings, and the regional-settings reader.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "script/lib/ecma_format.h"
#include "util/CodePage.h"

using namespace kestrel;
using tinctor::CodePage;

// glibc's newlocale keeps the search list it builds from LOCPATH (the real-locale
// tests set it); LeakSanitizer is told so rather than fail the sanitizer run.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }

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

TEST_F(FormatTest, ShiftJisCharactersAreNeverSplit) {
    CodePage::Select(CodePage::ShiftJis);
    const std::string a = "\x82\xA0";  // あ
    EXPECT_EQ(Format("%-3s|%.1s|", {A::OfString(a + a), A::OfString(a + "b")}), a + a + " |" + a + "|");
    // The quoted specifier stops before a character that would cross byte 31.
    const std::string specifier = "%" + std::string(29, '1') + a;
    const std::string msg = Error(specifier, {A::OfInteger(1)});
    EXPECT_EQ(msg, CodePage::Current().FromUtf8("書式文字列 '") + specifier.substr(0, 30) +
                       CodePage::Current().FromUtf8("' は正しくないか引数の型と一致しません"));
    // A trail byte that looks like "m" is part of its character, not a month.
    EXPECT_EQ(FormatDateTime("\x83\x6D-m", TDateTimeFields{2005, 2, 3}, settings_), "\x83\x6D-2");
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

TEST_F(FormatTest, FloatMasks) {
    struct Case {
        const char* mask;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"#,##0.00", 1234.5, "1,234.50"},
        {"#,##0.00", -1234567.125, "-1,234,567.13"},
        {"0.0;(0.0)", -2.25, "(2.3)"},
        {"0.0;(0.0)", 2.25, "2.3"},
        {"0.0;;'zero'", 0, "zero"},
        {"0.0;;'zero'", -1, "-1.0"},
        {"0.00E+00", 12345, "1.23E+04"},
        {"0.00e-00", 0.00012345, "1.23e-04"},
        {"0.00E-0", 12345, "1.23E4"},
        {"", 0.5, "0.5"},
        {"'No.'000", 7, "No.007"},
        {"#.##", 0.5, ".5"},
        {"0.###", 2, "2"},
        {"0.0##", 2.5, "2.5"},
        {"#", 123456, "123456"},
        {"00", 123456, "123456"},
        {"\"a;b\"0", 1, "a;b1"},
        {"0", 1e19, "1E19"},
        {"0", 2.5, "3"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatFloatMask(c.mask, c.value, settings_), c.expected) << c.mask;
}

TEST_F(FormatTest, DateTimeLanguage) {
    // Thursday 3 February 2005, 13:05:07.042
    const TDateTimeFields when{2005, 2, 3, 4, 13, 5, 7, 42};
    const TDateTimeFields midnight{2005, 2, 3, 4, 0, 0, 0, 0};
    settings_.ShortMonthNames[1] = "Feb";
    settings_.LongMonthNames[1] = "February";
    struct Case {
        const char* format;
        const TDateTimeFields& fields;
        const char* expected;
    };
    const Case cases[] = {
        {"yyyy/mm/dd hh:nn:ss.zzz", when, "2005/02/03 13:05:07.042"},
        {"yy-m-d h:n:s.z", when, "05-2-3 13:5:7.42"},
        {"hh:mm", when, "13:05"},
        {"h:nn am/pm", when, "1:05 pm"},
        {"h:nn AM/PM", midnight, "12:00 AM"},
        {"hh a/p", when, "01 p"},
        {"h ampm", when, "1 午後"},
        {"h 'am/pm'", when, "13 am/pm"},
        {"mmm mmmm ddd dddd", when, "Feb February 木 木曜日"},
        {"ddddd|dddddd", when, "2005/02/03|2005年2月3日"},
        {"t|tt", when, "13:05|13:05:07"},
        {"", when, "2005/02/03 13:05:07"},
        {"c", midnight, "2005/02/03"},
        {"\"yyyy\" 'mm'x", when, "yyyy mmx"},
        {"g|gg|e|ee", when, "||2005|2005"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.format, c.fields, settings_), c.expected) << c.format;

    settings_.DateSeparator = "-";
    settings_.TimeSeparator = ".";
    settings_.Eras = ParseEraEntries({"+:1:1989/01/08:2019/04/30:平成:%EC%Ey年", "+:1:2019/05/01:+*:令和:%EC%Ey年"});
    for (TEra& era : settings_.Eras) era.ShortName = era.Name.substr(0, 3);
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", when, settings_), "2005-02-03 13.05");
    EXPECT_EQ(FormatDateTime("ggee|ge", when, settings_), "平成17|平17");
    EXPECT_EQ(FormatDateTime("gge", TDateTimeFields{2019, 5, 1, 3}, settings_), "令和1");
}

TEST(RegionalSettings, PosixLocaleGivesTheHomeMarketValues) {
    CodePage::Select(CodePage::Utf8);
    TFormatSettings s = ReadFormatSettings("C");
    EXPECT_EQ(FormatText("%n", std::vector<A>{A::OfFloat(1234567.891)}, s), "1,234,567.89");
    EXPECT_EQ(FormatFloatMask("#,##0.00", 1234.5, s), "1,234.50");
    EXPECT_EQ(FormatText("%m", std::vector<A>{A::OfFloat(1234)}, s), "¥1234");
    EXPECT_EQ(FormatDateTime("", TDateTimeFields{2005, 1, 2, 0, 10, 20, 30, 0}, s), "2005/01/02 10:20:30");
    CodePage::Select(CodePage::ShiftJis);
    EXPECT_EQ(ReadFormatSettings("POSIX").CurrencyString, "\\");
    CodePage::Select(CodePage::FromEnvironment());
}

TEST(RegionalSettings, PosixFormsTranslate) {
    EXPECT_EQ(TranslateTimeForm("%Y/%m/%d"), "yyyy/mm/dd");
    EXPECT_EQ(TranslateTimeForm("%d.%m.%Y"), "dd.mm.yyyy");
    EXPECT_EQ(TranslateTimeForm("%Y年%m月%d日"), "yyyy'年'mm'月'dd'日'");
    EXPECT_EQ(TranslateTimeForm("%r", "%I:%M:%S %p"), "hh:nn:ss ampm");
    EXPECT_EQ(TranslateTimeForm("%EC%Ey年 %C%%"), "gge'年 ''%'");
    EXPECT_EQ(TranslateTimeForm("%a %b %e %H:%M:%S %Z %Y"), "ddd mmm d hh:nn:ss  yyyy");
    EXPECT_EQ(NegCurrencyPattern(1, 0, 4), 2);
    EXPECT_EQ(NegCurrencyPattern(0, 1, 1), 8);
    EXPECT_EQ(NegCurrencyPattern(1, 1, 0), 14);
    EXPECT_EQ(CurrencyPattern(0, 1), 3);
}

// Real locales, compiled into a private folder when the machine has their sources.
class LocaleSettings : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::filesystem::temp_directory_path() / ("tinctor-locales-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        for (const char* name : {"de_DE", "ja_JP"}) {
            std::string command = "localedef -i " + std::string(name) + " -f UTF-8 '" + folder_.string() + "/" +
                                  name + ".UTF-8' >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0) available_ = false;
        }
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(folder_); }
    void SetUp() override {
        if (!available_) GTEST_SKIP() << "localedef or the locale sources are missing";
        CodePage::Select(CodePage::Utf8);
        setenv("LOCPATH", folder_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("LOCPATH");
        CodePage::Select(CodePage::FromEnvironment());
    }
    static inline std::filesystem::path folder_;
    static inline bool available_ = true;
};

TEST_F(LocaleSettings, GermanSeparatorsCurrencyAndForms) {
    TFormatSettings s = ReadFormatSettings("de_DE.UTF-8");
    EXPECT_EQ(FormatFloat(1234567.891, TFloatForm::Number, 18, 2, s), "1.234.567,89");
    EXPECT_EQ(FormatFloat(-1234.5, TFloatForm::Currency, 18, s.CurrencyDecimals, s), "-1234,50 €");
    const TDateTimeFields when{2005, 2, 3, 4, 13, 5, 7, 42};
    EXPECT_EQ(FormatDateTime("c|t|mmmm|dddd", when, s), "03.02.2005 13:05:07|13:05|Februar|Donnerstag");
}

TEST_F(LocaleSettings, JapaneseErasAndNames) {
    TFormatSettings s = ReadFormatSettings("ja_JP.UTF-8");
    EXPECT_EQ(FormatDateTime("gge|ge|dddd", TDateTimeFields{2005, 2, 3, 4}, s), "平成17|平17|木曜日");
    EXPECT_EQ(FormatDateTime("gge", TDateTimeFields{2019, 5, 1, 3}, s), "令和1");
    EXPECT_EQ(FormatDateTime("ggee", TDateTimeFields{1989, 1, 7, 6}, s), "昭和64");
}

}  // namespace
