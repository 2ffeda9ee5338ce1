// ParseColorText on text from outside (clipboard, editors): whatever the bytes, the
// answer is a colour, no colour, or the conversion error, and never a crash.
#include "colour/ColorCodes.h"
#include "colour/StrColor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tinctor {
namespace {

const std::string Suffix = "' は整数ではありません";

enum class Outcome { Colour, None, Error };

// Parses Text and checks the shape of every possible answer.
Outcome Check(const std::string& text) {
    const bool name = ColorNameTable().FindColor(text) != NoColor;
    const bool prefixed = !text.empty() && (text[0] == '#' || text[0] == '$' || text[0] == '&' || text[0] == '0');
    try {
        const TColor c = ParseColorText(text);
        if (c == NoColor) return Outcome::None;
        EXPECT_LE(c, 0x00FFFFFFu) << testing::PrintToString(text);
        EXPECT_TRUE(name || prefixed) << testing::PrintToString(text);
        EXPECT_EQ(ParseColorText(text), c);
        return Outcome::Colour;
    } catch (const EConvertError& e) {
        const std::string& m = e.Message();
        EXPECT_EQ(std::string(e.what()), m.substr(0, m.find('\0')));
        EXPECT_TRUE(prefixed && !name) << testing::PrintToString(text);
        EXPECT_EQ(m.size(), 4 + 6 + Suffix.size()) << testing::PrintToString(text);
        EXPECT_EQ(m.substr(0, 4), "'$00");
        EXPECT_EQ(m.substr(10), Suffix);
        return Outcome::Error;
    }
}

TEST(ParseBadInput, EdgeTexts) {
    EXPECT_EQ(Check(""), Outcome::None);
    EXPECT_EQ(Check(std::string(1, '\0')), Outcome::None);
    EXPECT_EQ(Check(std::string("#\0\0\0", 4)), Outcome::Error);
    EXPECT_EQ(Check(std::string("red\0", 4)), Outcome::None);
    EXPECT_EQ(Check("\xFF\xFE\xFD"), Outcome::None);
    EXPECT_EQ(Check("#\xC0\x80\xE3\x81"), Outcome::Error);  // invalid UTF-8 digits
    EXPECT_EQ(Check("$\x82\xA0\x82\xA2"), Outcome::Error);  // Shift-JIS digits
    EXPECT_EQ(Check("#\xE3\x81\xAF"), Outcome::Error);      // one UTF-8 character is three bytes
    EXPECT_EQ(Check(std::string(1 << 20, 'F')), Outcome::None);
    EXPECT_EQ(Check("#" + std::string(1 << 20, 'F')), Outcome::None);
    EXPECT_EQ(Check("#FFF " + std::string(1 << 20, '\x80')), Outcome::Colour);
    EXPECT_EQ(Check(std::string(1 << 20, ' ')), Outcome::None);
    EXPECT_EQ(Check(std::string(1 << 16, '#')), Outcome::None);
}

TEST(ParseBadInput, RandomAndMutatedTexts) {
    std::mt19937 rng(20240617);
    auto below = [&](std::size_t n) { return std::size_t(rng() % n); };
    auto byte = [&] { return char(rng() & 0xFF); };

    const std::vector<std::string> seeds = {
        "#FF8000", "#ff8000", "&h000080FF", "&H80FF", "$000080FF", "0x000080FF", "0X80ff", "#F80", "#FFFF",
        "$12345678", "#&hFF00FF00", "#FF0000 ; red", "red", "clMoneyGreen", "vbCyan", "buttonface",
        "threedlightshadow", "lightgoldenrodyellow", "RGB(255,0,0);", "255", "#", "$", "0x", "&h",
    };
    const char interesting[] = "#$&hHxX0F9afgG -\t\n\x80\xFF";

    int counts[3] = {0, 0, 0};
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        if (i % 4 == 0) {
            // Pure noise of any length, weighted towards short texts.
            const std::size_t len = below(4) == 0 ? below(300) : below(12);
            for (std::size_t k = 0; k < len; ++k) text += below(3) == 0 ? interesting[below(sizeof interesting - 1)] : byte();
        } else {
            text = seeds[below(seeds.size())];
            const int edits = 1 + int(below(4));
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = text.empty() ? 0 : below(text.size() + 1);
                const char c = below(2) ? interesting[below(sizeof interesting - 1)] : byte();
                switch (below(6)) {
                    case 0: text.insert(at, 1, c); break;
                    case 1: if (at < text.size()) text.erase(at, 1); break;
                    case 2: if (at < text.size()) text[at] = c; break;
                    case 3: if (at < text.size()) text[at] ^= 0x20; break;  // flips letter case
                    case 4: text.insert(0, seeds[below(seeds.size())].substr(0, 2)); break;
                    case 5: text += text.substr(at); break;
                }
            }
        }
        ++counts[int(Check(text))];
        if (HasFailure()) {
            ADD_FAILURE() << "stopped at input " << i << ": " << testing::PrintToString(text);
            return;
        }
    }
    // The inputs reach every outcome, so the checks above were exercised.
    EXPECT_GT(counts[int(Outcome::Colour)], 10000);
    EXPECT_GT(counts[int(Outcome::None)], 10000);
    EXPECT_GT(counts[int(Outcome::Error)], 10000);
}

}  // namespace
}  // namespace tinctor
