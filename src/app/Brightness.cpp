#include "app/Brightness.h"

#include "colour/stdColors.h"
#include "util/stdInt.h"

namespace tinctor {

TBrightnessMove MoveBrightness(std::uint8_t r, std::uint8_t g, std::uint8_t b, bool followR, bool followG,
                               bool followB, int position) {
    const int average = ColorAverage(r, g, b);
    if (position == average) return {false, r, g, b, position};

    const int diff = position - average;
    const auto shift = [diff](std::uint8_t v, bool follows) {
        return follows ? static_cast<std::uint8_t>(Clamp(v + diff, 0, 255)) : v;
    };
    // The limits: every following channel at 255 (or at 0), the held ones where they are.
    const int upper = ((followR ? 255 : r) + (followG ? 255 : g) + (followB ? 255 : b)) / 3;
    const int lower = ((followR ? 0 : r) + (followG ? 0 : g) + (followB ? 0 : b)) / 3;
    return {true, shift(r, followR), shift(g, followG), shift(b, followB), Clamp(position, lower, upper)};
}

}  // namespace tinctor
