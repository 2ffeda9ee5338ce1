// The brightness slider's rule: moving it shifts every following channel by the same
// amount and leaves held channels still; the slider itself stops where the channels
// can still follow.
#pragma once

#include <cstdint>

namespace tinctor {

struct TBrightnessMove {
    bool Moved;            // false when the slider was asked for the brightness it already shows
    std::uint8_t R, G, B;  // the channels afterwards
    int Position;          // where the brightness slider stays
};

// The channels R, G, B and their follow flags, the slider asked for Position.
TBrightnessMove MoveBrightness(std::uint8_t r, std::uint8_t g, std::uint8_t b, bool followR, bool followG,
                               bool followB, int position);

}  // namespace tinctor
