// Colour values and the conversions between RGB, HLS, the complement and brightness.
//
// A colour is one 32-bit value 0x00BBGGRR (red in the low byte). A value whose top
// byte is 0x80 refers to a system colour (low byte = COLOR_* index); the HLS
// conversion resolves it through the system-colour provider (SysColors.h).
// Nothing here allocates or uses a table.
#pragma once

#include <cstdint>

namespace tinctor {

using TColor = std::uint32_t;

// "No colour": a failed parse, a pixel outside a picture. Never stored as a colour.
inline constexpr TColor NoColor = 0xFFFFFFFF;

struct TRGB {
    std::uint8_t R, G, B;
    friend constexpr bool operator==(const TRGB&, const TRGB&) = default;
};

// Hue 0..359 (360 is accepted on the way back and means 0), lightness and saturation 0..255.
struct THLS {
    std::uint16_t H, L, S;
    friend constexpr bool operator==(const THLS&, const THLS&) = default;
};

constexpr TColor RGBToColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TColor(r) | TColor(g) << 8 | TColor(b) << 16;
}

// Splits the bytes as they stand: a system colour reference is not resolved.
constexpr TRGB SplitColor(TColor c) {
    return {std::uint8_t(c & 0xFF), std::uint8_t((c >> 8) & 0xFF), std::uint8_t((c >> 16) & 0xFF)};
}

// Brightness as the average slider shows it: the sum divided by three, remainder dropped.
constexpr std::uint8_t ColorAverage(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return std::uint8_t((r + g + b) / 3);
}

constexpr bool IsSysColorRef(TColor c) { return (c >> 24) == 0x80; }

THLS ColorToHLS(TColor c);
TColor HLSToColor(THLS v);
// The colour with the hue turned by 180 degrees; lightness and saturation stay.
TColor ComplementOf(TColor c);

}  // namespace tinctor
