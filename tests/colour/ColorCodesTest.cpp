#include "colour/ColorCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace tinctor {
namespace {

std::uint32_t CodeOf(std::span<const TColorCodeRow> rows, std::string_view name) {
    for (const auto& r : rows)
        if (r.Name == name) return r.Code;
    ADD_FAILURE() << "no row " << name;
    return 0xFFFFFFFF;
}

TEST(ExtendedTable, HasTheKeywordsWithoutTheAlternativeSpellings) {
    const auto rows = HtmlExtendedColorRows();
    ASSERT_EQ(rows.size(), 140u);
    std::set<std::string_view> names;
    for (const auto& r : rows) names.insert(r.Name);
    EXPECT_EQ(names.size(), 140u);
    for (std::string_view alt : {"darkgrey", "darkslategrey", "dimgrey", "grey", "lightgray", "lightslategrey", "slategrey"})
        EXPECT_EQ(names.count(alt), 0u) << alt;
    for (std::string_view kept : {"darkgray", "dimgray", "gray", "lightslategray", "slategray", "darkslategray", "lightgrey"})
        EXPECT_EQ(names.count(kept), 1u) << kept;
    for (const auto& r : rows) {
        EXPECT_LE(r.Code, 0xFFFFFFu) << r.Name;
        EXPECT_TRUE(std::all_of(r.Name.begin(), r.Name.end(), [](char c) { return c >= 'a' && c <= 'z'; })) << r.Name;
    }
}

TEST(ExtendedTable, StandardValues) {
    const auto rows = HtmlExtendedColorRows();
    const std::pair<std::string_view, std::uint32_t> sample[] = {
        {"aliceblue", 0xF0F8FF}, {"antiquewhite", 0xFAEBD7}, {"blanchedalmond", 0xFFEBCD},
        {"cadetblue", 0x5F9EA0}, {"cornflowerblue", 0x6495ED}, {"crimson", 0xDC143C},
        {"darkgoldenrod", 0xB8860B}, {"darkgray", 0xA9A9A9}, {"darkolivegreen", 0x556B2F},
        {"darksalmon", 0xE9967A}, {"darkseagreen", 0x8FBC8F}, {"darkslateblue", 0x483D8B},
        {"darkslategray", 0x2F4F4F}, {"darkturquoise", 0x00CED1}, {"dimgray", 0x696969}, {"gray", 0x808080},
        {"green", 0x008000}, {"indianred", 0xCD5C5C}, {"lightgoldenrodyellow", 0xFAFAD2},
        {"lightgrey", 0xD3D3D3}, {"lightseagreen", 0x20B2AA}, {"lightskyblue", 0x87CEFA},
        {"lightslategray", 0x778899}, {"lightsteelblue", 0xB0C4DE}, {"maroon", 0x800000},
        {"mediumpurple", 0x9370DB}, {"mediumslateblue", 0x7B68EE}, {"mediumvioletred", 0xC71585},
        {"navajowhite", 0xFFDEAD}, {"palevioletred", 0xDB7093}, {"purple", 0x800080}, {"rosybrown", 0xBC8F8F},
        {"saddlebrown", 0x8B4513}, {"slategray", 0x708090}, {"tan", 0xD2B48C}, {"wheat", 0xF5DEB3},
        {"yellowgreen", 0x9ACD32},
    };
    for (const auto& [name, code] : sample) EXPECT_EQ(CodeOf(rows, name), code) << name;
}

TEST(ExtendedTable, SortedByCodeWithTheTwoDoubleNamesInOrder) {
    const auto rows = HtmlExtendedColorRows();
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_LE(rows[i - 1].Code, rows[i].Code) << rows[i].Name;
    EXPECT_EQ(rows.front().Name, "black");
    EXPECT_EQ(rows.back().Name, "white");
    int doubles = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i - 1].Code != rows[i].Code) continue;
        ++doubles;
        const std::string pair = std::string(rows[i - 1].Name) + "," + std::string(rows[i].Name);
        EXPECT_TRUE(pair == "aqua,cyan" || pair == "fuchsia,magenta") << pair;
    }
    EXPECT_EQ(doubles, 2);
    // The later name of a double code wins.
    EXPECT_EQ(FindCodeName(rows, 0x00FFFF), "cyan");
    EXPECT_EQ(FindCodeName(rows, 0xFF00FF), "magenta");
    EXPECT_EQ(FindCodeName(rows, 0xFF8000), "");
}

TEST(CodeTables, SizesAndOrder) {
    ASSERT_EQ(HtmlBasicColorRows().size(), 16u);
    EXPECT_EQ(HtmlBasicColorRows()[0].Name, "Black");
    EXPECT_EQ(HtmlBasicColorRows()[15].Name, "Purple");
    EXPECT_EQ(CodeOf(HtmlBasicColorRows(), "Fuchsia"), 0xFF00FFu);
    ASSERT_EQ(VBColorRows().size(), 8u);
    EXPECT_EQ(CodeOf(VBColorRows(), "vbCyan"), 0x00FFFF00u);
    ASSERT_EQ(DelphiColorRows().size(), 20u);
    EXPECT_EQ(DelphiColorRows()[19].Name, "clMedGray");
    EXPECT_EQ(CodeOf(DelphiColorRows(), "clMoneyGreen"), 0x00C0DCC0u);
    EXPECT_EQ(CodeOf(DelphiColorRows(), "clSkyBlue"), 0x00F0CAA6u);
    EXPECT_EQ(CodeOf(DelphiColorRows(), "clCream"), 0x00F0F6FFu);
    ASSERT_EQ(SysColorNameRows().size(), 28u);
}

// Index i reads as a colour that spells i, so each name shows which index it read.
class IndexSysColors final : public TSysColorProvider {
public:
    TColor SysColor(int index) const override { return 0xAB000000 | TColor(index) << 16 | 0x4400 | TColor(index); }
};

TEST(ColorNameTable, SystemNamesReadTheirIndexOnce) {
    const IndexSysColors provider;
    const TColorNameTable table(provider);
    const std::pair<std::string_view, int> expected[] = {
        {"activeborder", 10},   {"activecaption", 2},        {"appworkspace", 12},     {"background", 1},
        {"buttonface", 15},     {"buttonhighlight", 20},     {"buttonshadow", 16},     {"buttontext", 18},
        {"captiontext", 9},     {"graytext", 17},            {"highlight", 13},        {"highlighttext", 14},
        {"inactiveborder", 11}, {"inactivecaption", 3},      {"inactivecaptiontext", 19}, {"infobackground", 24},
        {"infotext", 23},       {"menu", 4},                 {"menutext", 7},          {"scrollbar", 0},
        {"threeddarkshadow", 21}, {"threedface", 15},        {"threedhighlight", 20},  {"threedlightshadow", 16},
        {"threedshadow", 16},   {"window", 5},               {"windowframe", 6},       {"windowtext", 8},
    };
    for (const auto& [name, index] : expected) {
        const TColor value = TColor(index) << 16 | 0x4400 | TColor(index);
        EXPECT_EQ(table.FindColor(name), value) << name;
        char code[16];
        std::snprintf(code, sizeof code, "$00%06X", value);
        EXPECT_EQ(table.LookupColorName(name), code) << name;
    }
}

TEST(ColorNameTable, LookupIgnoresCaseAndGivesTheCodeText) {
    const TColorNameTable table(ClassicSysColors());
    EXPECT_EQ(table.LookupColorName("lightgrey"), "#D3D3D3");
    EXPECT_EQ(table.LookupColorName("LightGrey"), "#D3D3D3");
    EXPECT_EQ(table.LookupColorName("Red"), "#FF0000");
    EXPECT_EQ(table.LookupColorName("vbred"), "&H000000FF");
    EXPECT_EQ(table.LookupColorName("CLMONEYGREEN"), "$00C0DCC0");
    EXPECT_EQ(table.LookupColorName("ButtonFace"), "$00C8D0D4");
    EXPECT_EQ(table.LookupColorName("windowtext"), "$00000000");
    // Not a name: the text itself, untouched.
    EXPECT_EQ(table.LookupColorName(" red"), " red");
    EXPECT_EQ(table.LookupColorName("lightgray"), "lightgray");
    EXPECT_EQ(table.LookupColorName(""), "");
    EXPECT_EQ(table.LookupColorName("grey"), "grey");
    EXPECT_EQ(table.LookupColorName(std::string("red\0", 4)), std::string("red\0", 4));
}

TEST(ColorNameTable, EveryNameFindsItsOwnColour) {
    const TColorNameTable table(ClassicSysColors());
    for (const auto& r : HtmlExtendedColorRows())
        EXPECT_EQ(table.FindColor(r.Name), RGBToColor(r.Code >> 16, (r.Code >> 8) & 0xFF, r.Code & 0xFF)) << r.Name;
    for (const auto& r : VBColorRows()) EXPECT_EQ(table.FindColor(r.Name), r.Code) << r.Name;
    for (const auto& r : DelphiColorRows()) EXPECT_EQ(table.FindColor(r.Name), r.Code) << r.Name;
    for (const auto& r : HtmlBasicColorRows())
        EXPECT_EQ(table.FindColor(r.Name), RGBToColor(r.Code >> 16, (r.Code >> 8) & 0xFF, r.Code & 0xFF)) << r.Name;
    EXPECT_EQ(table.FindColor("nosuchcolour"), NoColor);
}

TEST(ColorNameTable, ProgramWideTableUsesTheClassicScheme) {
    EXPECT_EQ(LookupColorName("buttonface"), "$00C8D0D4");
    EXPECT_EQ(LookupColorName("infobackground"), "$00E1FFFF");
    EXPECT_EQ(LookupColorName("background"), "$00A56E3A");
}

}  // namespace
}  // namespace tinctor
