// The colour table's gradient, pixel by pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/ColorTable.h"
#include "app/Gradient.h"

namespace tinctor::testing {
namespace {

// Records every pixel set, and how often.
class TRecordingCanvas final : public TPixelCanvas {
public:
    TRecordingCanvas(int width, int height)
        : Width(width), Pixels(static_cast<std::size_t>(width * height), NoColor),
          Writes(static_cast<std::size_t>(width * height), 0) {}
    void SetPixel(int x, int y, TColor c) override {
        ASSERT_TRUE(x >= 0 && x < Width && y >= 0 && y * Width + x < static_cast<int>(Pixels.size()))
            << x << "," << y;
        Pixels[static_cast<std::size_t>(y * Width + x)] = c;
        ++Writes[static_cast<std::size_t>(y * Width + x)];
    }
    TColor At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Width + x)]; }

    int Width;
    std::vector<TColor> Pixels;
    std::vector<int> Writes;
};

constexpr int kWidth = 107, kHeight = 115;

TRecordingCanvas StandardTable() {
    TRecordingCanvas canvas(kWidth, kHeight);
    DrawGradient(TRect{0, 0, kWidth, kHeight}, canvas, GradientTopLeft, GradientBottomRight, GradientBottomLeft,
                 GradientTopRight);
    return canvas;
}

TEST(Gradient, StandardTableHoldsTheKnownPixels) {
    const TRecordingCanvas table = StandardTable();
    EXPECT_EQ(table.At(0, 0), RGBToColor(0, 0, 255));
    EXPECT_EQ(table.At(1, 0), RGBToColor(0, 1, 252));
    EXPECT_EQ(table.At(106, 0), RGBToColor(0, 126, 2));
    EXPECT_EQ(table.At(0, 57), RGBToColor(126, 0, 128));
    EXPECT_EQ(table.At(0, 114), RGBToColor(252, 0, 2));
    EXPECT_EQ(table.At(53, 57), RGBToColor(126, 94, 127));
    EXPECT_EQ(table.At(106, 114), RGBToColor(252, 251, 250));
    // Rows 69 and 92 blend at g = 0.6 and 0.8, which the extended format cannot hold:
    // the blue channel lands just below 102 and 51 and is truncated (double
    // arithmetic gives 102 at row 69).
    EXPECT_EQ(table.At(0, 69), RGBToColor(153, 0, 101));
    EXPECT_EQ(table.At(0, 92), RGBToColor(204, 0, 50));
}

// Exact rational arithmetic: the truth up to the extended format's rounding.
std::int64_t RoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t q = numerator / denominator;
    const std::int64_t twice = 2 * (numerator % denominator);
    if (twice > denominator || (twice == denominator && q % 2 != 0)) ++q;
    return q;
}

TEST(Gradient, EveryPixelIsTheExactBlendOrJustBelowAWholeOne) {
    const TRecordingCanvas table = StandardTable();
    const TRGB c1 = SplitColor(GradientTopLeft), c2 = SplitColor(GradientBottomRight);
    const TRGB c3 = SplitColor(GradientBottomLeft), c4 = SplitColor(GradientTopRight);
    const auto channel = [](const TRGB& c, int k) { return k == 0 ? c.R : k == 1 ? c.G : c.B; };
    int shortOfWhole = 0;
    for (int x = 0; x < kWidth; ++x) {
        for (int y = 0; y < kHeight; ++y) {
            ASSERT_EQ(table.Writes[static_cast<std::size_t>(y * kWidth + x)], 1);
            const TRGB drawn = SplitColor(table.At(x, y));
            for (int k = 0; k < 3; ++k) {
                const std::int64_t top =
                    RoundHalfEven((std::int64_t(kWidth - x) * channel(c1, k) + std::int64_t(x) * channel(c4, k)) * 10000, kWidth);
                const std::int64_t bottom =
                    RoundHalfEven((std::int64_t(kWidth - x) * channel(c3, k) + std::int64_t(x) * channel(c2, k)) * 10000, kWidth);
                const std::int64_t blend = (kHeight - y) * top + y * bottom;  // over 10000 * height
                const std::int64_t exact = blend / (10000 * kHeight);
                const int got = channel(drawn, k);
                if (got == exact) continue;
                // Only a whole result may come out one below, as the extended format falls short of it.
                EXPECT_TRUE(blend % (10000 * kHeight) == 0 && got == exact - 1) << x << "," << y << " channel " << k;
                ++shortOfWhole;
            }
        }
    }
    EXPECT_EQ(shortOfWhole, 2);  // rows 69 and 92 above
    // The far corner approaches white without reaching it; the edges run between their corners.
    EXPECT_NE(table.At(kWidth - 1, kHeight - 1), RGBToColor(255, 255, 255));
    for (int y = 1; y < kHeight; ++y) EXPECT_GE(SplitColor(table.At(0, y)).R, SplitColor(table.At(0, y - 1)).R);
    for (int x = 1; x < kWidth; ++x) EXPECT_GE(SplitColor(table.At(x, 0)).G, SplitColor(table.At(x - 1, 0)).G);
}

TEST(Gradient, ScaledCornersRoundHalvesToEven) {
    // At x = 1 of 64 columns the scaled blends are exact halves: the top red 312.5 and
    // green 937.5, the bottom red 39062.5 and green 37187.5. Halves to even give 312,
    // 938, 39062 and 37188, so row 1 of 4 blends red to 9999.5 (0) and green to 10000.5 (1);
    // halves away from zero would make red 1, truncation would make green 0.
    TRecordingCanvas canvas(64, 4);
    DrawGradient(TRect{0, 0, 64, 4}, canvas, RGBToColor(0, 0, 0), RGBToColor(61, 49, 0), RGBToColor(3, 3, 0),
                 RGBToColor(2, 6, 0));
    EXPECT_EQ(canvas.At(1, 1), RGBToColor(0, 1, 0));
}

}  // namespace
}  // namespace tinctor::testing
