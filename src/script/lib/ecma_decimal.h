// The exact decimal value of a double, rounded where the formatters ask.
//
// A finite double is a dyadic fraction, so its decimal expansion ends; the formatters
// round that expansion half away from zero themselves instead of trusting the C
// library, whose ties go to even ("%.0f" of 2.5 gives "2").
#pragma once

#include <string>

namespace kestrel {

// Value = 0.Digits × 10^Exponent; Digits has no leading or trailing zeros, and is
// empty for zero (Exponent 0 then).
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;

    bool IsZero() const noexcept { return Digits.empty(); }
    // Keeps Count significant digits, rounding half away from zero; Count <= 0 keeps
    // none (the value becomes zero, or 10^Exponent when the first digit is 5 or more
    // and Count is 0).
    void RoundSignificant(int count);
    // Keeps Count digits after the decimal point (rounding as above).
    void RoundDecimals(int count) { RoundSignificant(Exponent + count); }
};

// The exact expansion of a finite value (the sign of -0 is kept in Negative).
TDecimal ExactDecimal(double value);

}  // namespace kestrel
