#include "app/Gradient.h"

#include <chrono>
#include <cmath>

namespace tinctor {

namespace {

// The channels are blended in ten-thousandths, kept as integers between the
// horizontal and the vertical step.
constexpr long double kScale = 10000.0L;

struct TChannels {
    long double R, G, B;
};

TChannels ChannelsOf(TColor c) {
    const TRGB rgb = SplitColor(c);
    return {static_cast<long double>(rgb.R), static_cast<long double>(rgb.G), static_cast<long double>(rgb.B)};
}

// Round to nearest, halves to the even one: the default rounding mode, which the
// program never changes.
std::int64_t Scaled(long double from, long double to, long double f) {
    return std::llrintl(((1.0L - f) * from + f * to) * kScale);
}

std::uint8_t Blend(std::int64_t top, std::int64_t bottom, long double g) {
    const long double value = ((1.0L - g) * static_cast<long double>(top) + g * static_cast<long double>(bottom)) / kScale;
    return static_cast<std::uint8_t>(static_cast<std::int64_t>(value));  // truncated, taken as a byte
}

}  // namespace

std::int64_t DrawGradient(const TRect& rect, TPixelCanvas& canvas, TColor c1, TColor c2, TColor c3, TColor c4) {
    const auto started = std::chrono::steady_clock::now();
    const int width = rect.Width();
    const int height = rect.Height();
    const TChannels topLeft = ChannelsOf(c1), bottomRight = ChannelsOf(c2);
    const TChannels bottomLeft = ChannelsOf(c3), topRight = ChannelsOf(c4);

    for (int x = 0; x < width; ++x) {
        const long double f = static_cast<long double>(x) / width;
        const std::int64_t topR = Scaled(topLeft.R, topRight.R, f);
        const std::int64_t topG = Scaled(topLeft.G, topRight.G, f);
        const std::int64_t topB = Scaled(topLeft.B, topRight.B, f);
        const std::int64_t bottomR = Scaled(bottomLeft.R, bottomRight.R, f);
        const std::int64_t bottomG = Scaled(bottomLeft.G, bottomRight.G, f);
        const std::int64_t bottomB = Scaled(bottomLeft.B, bottomRight.B, f);
        for (int y = 0; y < height; ++y) {
            const long double g = static_cast<long double>(y) / height;
            canvas.SetPixel(x, y, RGBToColor(Blend(topR, bottomR, g), Blend(topG, bottomG, g), Blend(topB, bottomB, g)));
        }
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
}

}  // namespace tinctor
