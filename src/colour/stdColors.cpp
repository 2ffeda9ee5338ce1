#include "colour/stdColors.h"

#include "colour/SysColors.h"

#include <algorithm>

// The real arithmetic is 80-bit extended (long double on x86-64), and the points
// where a value is kept as a double round it to double there. Plain double
// arithmetic would put a channel off by one for a few inputs in ten thousand, so
// the types below matter. Every real-to-integer conversion truncates.
static_assert(sizeof(long double) > sizeof(double) && __LDBL_MANT_DIG__ == 64,
              "the colour conversions need the 80-bit extended format");

namespace tinctor {

namespace {

using Extended = long double;

// Truncation toward zero. A plain cast switches the x87 rounding mode twice per call,
// which costs more than the rest of a conversion; instead round in the current mode
// and step back to the integer on the zero side of x, which is exact in any mode.
int Trunc(Extended x) {
#if defined(__x86_64__) || defined(__i386__)
    long long n;
    asm("fistpll %0" : "=m"(n) : "t"(x) : "st");
    if (x >= 0) {
        if (Extended(n) > x) --n;
    } else if (Extended(n) < x) {
        ++n;
    }
    return static_cast<int>(n);
#else
    return static_cast<int>(x);
#endif
}

// One channel of the HLS-to-RGB conversion; h is the hue shifted for the channel.
int HueComponent(int h, double m1, double m2) {
    if (h >= 360) h -= 360;
    else if (h < 0) h += 360;
    const Extended span = Extended(m2) - Extended(m1);
    if (h < 60) return Trunc(span * h / 60 + m1);
    if (h < 180) return Trunc(m2);
    if (h < 240) return Trunc(span * (240 - h) / 60 + m1);
    return Trunc(m1);
}

}  // namespace

THLS ColorToHLS(TColor c) {
    if (IsSysColorRef(c)) c = GetSysColor(int(c & 0xFF));
    const auto [r, g, b] = SplitColor(c);
    const int max = std::max({b, g, r});
    const int min = std::min({b, g, r});

    const double lf = double(Extended(max + min) / 2);
    double hf = 0, sf = 0;
    if (max != min) {
        const int d = max - min;
        sf = double(lf < 128 ? Extended(d * 255) / (max + min) : Extended(d * 255) / (510 - max - min));
        // Red wins a tie for the largest, then green.
        Extended h;
        if (max == r) h = Extended((g - b) * 60) / d;
        else if (max == g) h = Extended((b - r) * 60) / d + 120;
        else h = Extended((r - g) * 60) / d + 240;
        if (h < 0) h += 360;
        else if (h >= 360) h -= 360;
        hf = double(h);
    }
    return {std::uint16_t(Trunc(hf)), std::uint16_t(Trunc(lf)), std::uint16_t(Trunc(sf))};
}

TColor HLSToColor(THLS v) {
    const int h = v.H, l = v.L, s = v.S;
    if (s == 0) return RGBToColor(std::uint8_t(l), std::uint8_t(l), std::uint8_t(l));

    // The products are integers; 64 bits keep even out-of-range fields defined.
    const std::int64_t ls = std::int64_t(l) * s;
    const double m2 = double(l < 128 ? Extended(ls + std::int64_t(l) * 255) / 255 : (l + s) - Extended(ls) / 255);
    const double m1 = double(2 * l - Extended(m2));
    return RGBToColor(std::uint8_t(HueComponent(h + 120, m1, m2)), std::uint8_t(HueComponent(h, m1, m2)),
                      std::uint8_t(HueComponent(h - 120, m1, m2)));
}

TColor ComplementOf(TColor c) {
    THLS v = ColorToHLS(c);
    // Hue 180 becomes 360, which the way back reads as 0.
    v.H = v.H <= 180 ? std::uint16_t(v.H + 180) : std::uint16_t(v.H - 180);
    return HLSToColor(v);
}

}  // namespace tinctor
