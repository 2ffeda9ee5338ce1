#include "colour/SysColors.h"
#include "colour/stdColors.h"

#include <gtest/gtest.h>

namespace tinctor {

// Readable failures for the colour types (found by argument-dependent lookup).
std::ostream& operator<<(std::ostream& os, const TRGB& c) {
    return os << '(' << int(c.R) << ", " << int(c.G) << ", " << int(c.B) << ')';
}
std::ostream& operator<<(std::ostream& os, const THLS& v) {
    return os << "HLS(" << v.H << ", " << v.L << ", " << v.S << ')';
}

namespace {

struct Case {
    TRGB rgb;
    THLS hls;
    TRGB back;
};

TColor Color(TRGB c) { return RGBToColor(c.R, c.G, c.B); }

TEST(ColorValue, LayoutIsBlueGreenRed) {
    EXPECT_EQ(RGBToColor(255, 128, 0), 0x000080FFu);
    EXPECT_EQ(RGBToColor(0, 0, 255), 0x00FF0000u);
    EXPECT_EQ(SplitColor(0x00563412), (TRGB{0x12, 0x34, 0x56}));
    // Splitting does not resolve a system colour reference.
    EXPECT_EQ(SplitColor(0x8000000F), (TRGB{15, 0, 0}));
}

TEST(ColorValue, AverageDropsTheRemainder) {
    EXPECT_EQ(ColorAverage(255, 0, 0), 85);
    EXPECT_EQ(ColorAverage(255, 255, 0), 170);
    EXPECT_EQ(ColorAverage(255, 128, 0), 127);
    EXPECT_EQ(ColorAverage(255, 255, 255), 255);
}

TEST(HLSConversion, KnownColoursAndTheirWayBack) {
    const Case cases[] = {
        {{255, 0, 0}, {0, 127, 255}, {254, 0, 0}},
        {{0, 255, 255}, {180, 127, 255}, {0, 254, 254}},
        {{255, 255, 0}, {60, 127, 255}, {254, 254, 0}},  // red wins the tie with green
        {{255, 128, 0}, {30, 127, 255}, {254, 127, 0}},
        {{51, 102, 153}, {210, 102, 127}, {51, 102, 152}},
        {{200, 100, 50}, {20, 125, 153}, {200, 100, 50}},
        {{127, 128, 128}, {180, 127, 1}, {126, 127, 127}},  // max + min = 255: first saturation formula
        {{255, 255, 255}, {0, 255, 0}, {255, 255, 255}},
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {{128, 128, 128}, {0, 128, 0}, {128, 128, 128}},
        {{0, 0, 255}, {240, 127, 255}, {0, 0, 254}},
        {{255, 0, 1}, {359, 127, 255}, {254, 0, 4}},  // negative hue wraps to just below 360
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rgb);
        EXPECT_EQ(ColorToHLS(Color(c.rgb)), c.hls);
        EXPECT_EQ(SplitColor(HLSToColor(c.hls)), c.back);
    }
}

// Plain double arithmetic gives (168, 171, 171), (110, 182, 39) and (111, 58, 69).
TEST(HLSConversion, ExtendedPrecisionCases) {
    EXPECT_EQ(SplitColor(HLSToColor({192, 170, 5})), (TRGB{168, 170, 171}));
    EXPECT_EQ(SplitColor(HLSToColor({90, 111, 164})), (TRGB{111, 182, 39}));
    EXPECT_EQ(SplitColor(HLSToColor({348, 85, 80})), (TRGB{111, 58, 68}));
}

TEST(HLSConversion, HueOf360IsHueZero) {
    for (std::uint16_t l : {30, 127, 128, 200})
        for (std::uint16_t s : {1, 100, 255}) EXPECT_EQ(HLSToColor({360, l, s}), HLSToColor({0, l, s})) << l << ' ' << s;
}

TEST(HLSConversion, ZeroSaturationIsAGreyOfTheLightness) {
    EXPECT_EQ(HLSToColor({123, 77, 0}), RGBToColor(77, 77, 77));
    EXPECT_EQ(HLSToColor({0, 255, 0}), 0x00FFFFFFu);
}

TEST(Complement, TurnsTheHueHalfWay) {
    EXPECT_EQ(SplitColor(ComplementOf(RGBToColor(255, 0, 0))), (TRGB{0, 254, 254}));
    // Hue 180 goes to 360 and comes back as red.
    EXPECT_EQ(SplitColor(ComplementOf(RGBToColor(0, 255, 255))), (TRGB{254, 0, 0}));
    EXPECT_EQ(SplitColor(ComplementOf(RGBToColor(200, 100, 50))), (TRGB{50, 150, 200}));
    for (TColor grey : {0x000000u, 0xFFFFFFu, 0x808080u, 0x3C3C3Cu}) EXPECT_EQ(ComplementOf(grey), grey);
}

class FixedSysColors final : public TSysColorProvider {
public:
    TColor SysColor(int index) const override { return index == COLOR_BTNFACE ? 0xFF0000FF : 0x00102030; }
};

TEST(SysColorReference, ResolvedThroughTheProviderInForce) {
    // The classic scheme: button face (212, 208, 200).
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGBToColor(212, 208, 200));
    EXPECT_EQ(ColorToHLS(0x80000000 | COLOR_BTNFACE), ColorToHLS(RGBToColor(212, 208, 200)));
    EXPECT_EQ(GetSysColor(99), 0u);

    const FixedSysColors fixed;
    SetSysColorProvider(&fixed);
    // The provider's top byte is dropped: pure red.
    EXPECT_EQ(ColorToHLS(0x8000000F), (THLS{0, 127, 255}));
    EXPECT_EQ(ComplementOf(0x8000000F), RGBToColor(0, 254, 254));
    // Only a top byte of exactly 0x80 is a reference.
    EXPECT_EQ(ColorToHLS(0x4000000F), ColorToHLS(0x0000000F));
    SetSysColorProvider(nullptr);
    EXPECT_EQ(&CurrentSysColors(), &ClassicSysColors());
}

}  // namespace
}  // namespace tinctor
