#include "colour/StrColor.h"
#include "util/CodePage.h"

#include <gtest/gtest.h>

namespace tinctor {
namespace {

constexpr TColorCodeOptions Plain{};
constexpr TColorCodeOptions Names{.ColorCode = true};
constexpr TColorCodeOptions Extended{.ColorCode = true, .ExtendColor = true};
constexpr TColorCodeOptions Lower{.LowerCase = true};
constexpr TColorCodeOptions NamesLower{.ColorCode = true, .LowerCase = true};

const TColor Orange = RGBToColor(255, 128, 0);
const TColor White = RGBToColor(255, 255, 255);

TEST(FormatColorCode, SixNotations) {
    const char* orange[] = {"#FF8000", "&h000080FF", "$000080FF", "0x000080FF", "RGB(255,128,0);", "33023"};
    const char* black[] = {"#000000", "&h00000000", "$00000000", "0x00000000", "RGB(0,0,0);", "0"};
    for (int n = 0; n < 6; ++n) {
        EXPECT_EQ(FormatColorCode(Orange, n), orange[n]);
        EXPECT_EQ(FormatColorCode(0, n), black[n]);
    }
    EXPECT_EQ(FormatColorCode(RGBToColor(255, 0, 0), DoubleWordNotation), "255");
    EXPECT_EQ(FormatColorCode(RGBToColor(0, 0, 255), DoubleWordNotation), "16711680");
    EXPECT_EQ(FormatColorCode(White, DoubleWordNotation), "16777215");
    EXPECT_EQ(FormatColorCode(RGBToColor(10, 171, 205), HtmlNotation), "#0AABCD");
    // The top byte never shows: the codes are written from the three components.
    EXPECT_EQ(FormatColorCode(0x8000000F, CNotation), "0x0000000F");
    EXPECT_EQ(FormatColorCode(0x8000000F, DoubleWordNotation), "15");
}

TEST(FormatColorCode, NamesFromTheNotationsTable) {
    EXPECT_EQ(FormatColorCode(White, HtmlNotation, Names), "White");
    EXPECT_EQ(FormatColorCode(White, HtmlNotation, Extended), "white");
    EXPECT_EQ(FormatColorCode(White, VBNotation, Names), "vbWhite");
    EXPECT_EQ(FormatColorCode(White, DelphiNotation, Names), "clWhite");
    const TColor blue = RGBToColor(0, 0, 255);
    EXPECT_EQ(FormatColorCode(blue, DelphiNotation, Names), "clBlue");
    EXPECT_EQ(FormatColorCode(blue, VBNotation, Names), "vbBlue");
    EXPECT_EQ(FormatColorCode(RGBToColor(0, 0, 128), DelphiNotation, Names), "clNavy");
    EXPECT_EQ(FormatColorCode(RGBToColor(0xA6, 0xCA, 0xF0), DelphiNotation, Names), "clSkyBlue");
    // Navy has a Delphi name but no Visual Basic one.
    EXPECT_EQ(FormatColorCode(RGBToColor(0, 0, 128), VBNotation, Names), "&h00800000");
    for (int n = 0; n < 3; ++n) EXPECT_EQ(FormatColorCode(Orange, n, Extended), FormatColorCode(Orange, n)) << n;
    // The other notations never take names.
    EXPECT_EQ(FormatColorCode(White, CNotation, Extended), "0x00FFFFFF");
    EXPECT_EQ(FormatColorCode(White, RGBNotation, Extended), "RGB(255,255,255);");
    EXPECT_EQ(FormatColorCode(White, DoubleWordNotation, Extended), "16777215");
}

TEST(FormatColorCode, DoubleCodesTakeTheLaterName) {
    EXPECT_EQ(FormatColorCode(RGBToColor(0, 255, 255), HtmlNotation, Extended), "cyan");
    EXPECT_EQ(FormatColorCode(RGBToColor(255, 0, 255), HtmlNotation, Extended), "magenta");
    EXPECT_EQ(FormatColorCode(RGBToColor(0, 255, 255), HtmlNotation, Names), "Aqua");
    EXPECT_EQ(FormatColorCode(RGBToColor(255, 0, 255), HtmlNotation, Names), "Fuchsia");
    EXPECT_EQ(FormatColorCode(RGBToColor(211, 211, 211), HtmlNotation, Extended), "lightgrey");
    EXPECT_EQ(FormatColorCode(RGBToColor(128, 128, 128), HtmlNotation, Extended), "gray");
    EXPECT_EQ(FormatColorCode(RGBToColor(211, 211, 211), HtmlNotation, Names), "#D3D3D3");
}

TEST(FormatColorCode, LowerCaseOnlyForHtmlCodes) {
    EXPECT_EQ(FormatColorCode(Orange, HtmlNotation, Lower), "#ff8000");
    EXPECT_EQ(FormatColorCode(Orange, HtmlNotation, NamesLower), "#ff8000");
    EXPECT_EQ(FormatColorCode(RGBToColor(255, 0, 0), HtmlNotation, NamesLower), "Red");
    EXPECT_EQ(FormatColorCode(Orange, VBNotation, Lower), "&h000080FF");
    EXPECT_EQ(FormatColorCode(Orange, DelphiNotation, Lower), "$000080FF");
    EXPECT_EQ(FormatColorCode(Orange, CNotation, Lower), "0x000080FF");
}

TEST(FormatColorCode, UnknownNotationWritesHtml) {
    EXPECT_EQ(FormatColorCode(Orange, 6), "#FF8000");
    EXPECT_EQ(FormatColorCode(Orange, -1), "#FF8000");
}

TEST(FormatColorCode, EveryCodeReadsBack) {
    for (TColor c = 0; c < 0x1000000; c += 0x0F0E0D) {
        for (int n = 0; n < 4; ++n) {
            EXPECT_EQ(ParseColorText(FormatColorCode(c, n)), c) << n << ' ' << std::hex << c;
            EXPECT_EQ(ParseColorText(FormatColorCode(c, n, Extended)), c) << n << ' ' << std::hex << c;
        }
    }
}

TEST(ParseColorText, CodesInEveryPrefix) {
    for (const char* text : {"#FF8000", "#ff8000", "&h000080FF", "&H80FF", "$000080FF", "$80FF", "0x000080FF", "0X80ff"})
        EXPECT_EQ(ParseColorText(text), Orange) << text;
    EXPECT_EQ(ParseColorText("#F80"), RGBToColor(255, 136, 0));
    EXPECT_EQ(ParseColorText("#FFFF"), RGBToColor(0, 255, 255));
    EXPECT_EQ(ParseColorText("#F"), RGBToColor(0, 0, 15));
    EXPECT_EQ(ParseColorText("#12345"), RGBToColor(0x01, 0x23, 0x45));
    EXPECT_EQ(ParseColorText("$12345678"), 0x00345678u);
    EXPECT_EQ(ParseColorText("$1234567"), 0x00234567u);
    EXPECT_EQ(ParseColorText("$123456789"), NoColor);
    EXPECT_EQ(ParseColorText("#"), NoColor);
    EXPECT_EQ(ParseColorText("$"), NoColor);
    EXPECT_EQ(ParseColorText("0x"), NoColor);
    EXPECT_EQ(ParseColorText("#1234567"), NoColor);
}

TEST(ParseColorText, Names) {
    const TColor red = RGBToColor(255, 0, 0);
    for (const char* text : {"red", "Red", "RED", "vbRed", "clRed"}) EXPECT_EQ(ParseColorText(text), red) << text;
    EXPECT_EQ(ParseColorText("clBlue"), RGBToColor(0, 0, 255));
    EXPECT_EQ(ParseColorText("aqua"), ParseColorText("cyan"));
    EXPECT_EQ(ParseColorText("lightgrey"), RGBToColor(211, 211, 211));
    EXPECT_EQ(ParseColorText("clMedGray"), RGBToColor(0xA0, 0xA0, 0xA4));
    EXPECT_EQ(ParseColorText("buttonface"), RGBToColor(212, 208, 200));
    EXPECT_EQ(ParseColorText("threedlightshadow"), RGBToColor(128, 128, 128));
    // The whole text is the name, blanks included.
    EXPECT_EQ(ParseColorText("red "), NoColor);
    EXPECT_EQ(ParseColorText("lightgray"), NoColor);
}

TEST(ParseColorText, BlanksAndOtherNotations) {
    EXPECT_EQ(ParseColorText("#FF0000 ; red"), RGBToColor(255, 0, 0));
    EXPECT_EQ(ParseColorText(" #FF0000"), NoColor);
    EXPECT_EQ(ParseColorText("#FF0000;"), NoColor);
    EXPECT_EQ(ParseColorText("RGB(255,0,0);"), NoColor);
    EXPECT_EQ(ParseColorText("255"), NoColor);
    EXPECT_EQ(ParseColorText(""), NoColor);
    // Only a space cuts: a tab or line break stays and fails the length test.
    EXPECT_EQ(ParseColorText("#FF0000\n"), NoColor);
}

TEST(ParseColorText, AMatchedPrefixStaysRemoved) {
    EXPECT_EQ(ParseColorText("#&hFF00FF00"), RGBToColor(0, 255, 0));
    EXPECT_EQ(ParseColorText("#$00FF0000"), RGBToColor(0, 0, 255));
    EXPECT_EQ(ParseColorText("&h0x123456789"), NoColor);
    // "$0x12" has a length that fits after "&h", so no later prefix is tried.
    EXPECT_THROW(ParseColorText("&h$0x12"), EConvertError);
}

std::string ErrorOf(std::string_view text) {
    try {
        ParseColorText(text);
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()), e.Message());
        return e.Message();
    }
    return "(no error)";
}

TEST(ParseColorText, NonHexDigitsRaiseTheConversionError) {
    EXPECT_EQ(ErrorOf("#GG0000"), "'$000000GG' は整数ではありません");
    EXPECT_EQ(ErrorOf("$12-4"), "'$000012-4' は整数ではありません");
    EXPECT_EQ(ErrorOf("&hFFZZ11"), "'$00FFZZ11' は整数ではありません");
    EXPECT_EQ(ErrorOf("#xyz"), "'$00zzyyxx' は整数ではありません");
    EXPECT_EQ(ErrorOf("0x+1"), "'$000000+1' は整数ではありません");
    EXPECT_EQ(ErrorOf("&h$0x12"), "'$000$0x12' は整数ではありません");
    // Dropped leading digits are never looked at.
    EXPECT_EQ(ErrorOf("$ZZ123456"), "(no error)");
}

TEST(ParseColorText, ConversionMessageInTheProcessCodePage) {
    const int saved = CodePage::Current().Id();
    CodePage::Select(CodePage::ShiftJis);
    const std::string message = ErrorOf("#GG0000");
    CodePage::Select(saved);
    EXPECT_EQ(message, "'$000000GG' " + encoding::Utf16ToCp932(u"は整数ではありません"));
}

}  // namespace
}  // namespace tinctor
