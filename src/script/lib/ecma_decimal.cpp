// Exact decimal expansion of doubles and rounding half away from zero.
#include "script/lib/ecma_decimal.h"

#include <charconv>
#include <cmath>

namespace kestrel {

namespace {

// A double's mantissa has 53 bits; 2^-n has exactly n decimal places, so a value with
// binary exponent e (frexp) has at most 53 - e of them. The smallest denormal needs
// 1074 places; the largest value has 309 integer digits.
constexpr int kMantissaBits = 53;
constexpr int kMaxExpansion = 309 + 1 + 1074 + 64;

}  // namespace

TDecimal ExactDecimal(double value) {
    TDecimal d;
    d.Negative = std::signbit(value);
    double magnitude = std::fabs(value);
    if (magnitude == 0 || !std::isfinite(magnitude)) return d;
    int binaryExponent = 0;
    std::frexp(magnitude, &binaryExponent);
    int places = binaryExponent >= kMantissaBits ? 0 : kMantissaBits - binaryExponent;
    char buffer[kMaxExpansion];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, places);
    if (ec != std::errc()) return d;

    // Collect the digits without the point, noting where the point was.
    d.Digits.reserve(end - buffer);
    int integerDigits = 0;
    bool seenPoint = false;
    for (const char* p = buffer; p != end; ++p) {
        if (*p == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenPoint) ++integerDigits;
        d.Digits += *p;
    }
    std::size_t first = d.Digits.find_first_not_of('0');
    std::size_t last = d.Digits.find_last_not_of('0');
    d.Exponent = integerDigits - static_cast<int>(first);
    d.Digits = d.Digits.substr(first, last - first + 1);
    return d;
}

void TDecimal::RoundSignificant(int count) {
    if (IsZero() || count >= static_cast<int>(Digits.size())) return;
    if (count < 0) {
        Digits.clear();
        Exponent = 0;
        return;
    }
    bool up = Digits[count] >= '5';
    Digits.resize(count);
    if (up) {
        int i = count - 1;
        while (i >= 0 && Digits[i] == '9') --i;
        if (i < 0) {  // 9.99 becomes 10: one digit more in front
            Digits.assign(1, '1');
            ++Exponent;
        } else {
            ++Digits[i];
            Digits.resize(i + 1);
        }
    }
    std::size_t last = Digits.find_last_not_of('0');
    Digits.resize(last == std::string::npos ? 0 : last + 1);
    if (Digits.empty()) Exponent = 0;
}

}  // namespace kestrel
