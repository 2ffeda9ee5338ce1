// Text to number and number to text, as scripts see them.
//
// These never depend on the process locale: the decimal separator is always ".".
// Blanks are spaces (character 32) only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// Floating-point syntax on the whole text: optional blanks, optional sign, digits
// with an optional decimal point and fraction (".5" and "5." are numbers), optional
// exponent (E or e, optional sign, digits), optional blanks. Words such as inf or
// nan are not numbers. False when the text does not have that form or its magnitude
// is too large for a double; a magnitude too small for one gives 0.
bool TryTextToFloat(std::string_view text, double& value);

// Integer syntax on the whole text: optional blanks, optional sign, then decimal
// digits, or hexadecimal digits after "$" or "0x"/"0X", and nothing after the digits
// (no trailing blanks). The value must fit in 32 bits; hexadecimal forms are 32-bit
// patterns ("0xFFFFFFFF" is -1).
bool TryTextToInteger(std::string_view text, std::int32_t& value);

// The same integer syntax with a 64-bit range (the lexer's fallback for long literals).
bool TryTextToInt64(std::string_view text, std::int64_t& value);

// A double in the general format with 15 significant digits: fixed notation without
// trailing zeros when the integer part has at most 15 digits and the magnitude is at
// least 0.0001 (or zero), else scientific ("1E20", "1.5E-7"). -0 is written as "0".
// NaN and the infinities are written as the NaN and infinity values print: "NaN",
// "infinity" and "-infinity".
std::string FloatToText(double value);
// Appends the same text to Out without a temporary string.
void AppendFloatText(std::string& out, double value);

std::string IntegerToText(std::int32_t value);

}  // namespace kestrel
