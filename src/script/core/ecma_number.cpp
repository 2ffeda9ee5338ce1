#include "script/core/ecma_number.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace kestrel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::size_t SkipBlanks(std::string_view s, std::size_t i) {
    while (i < s.size() && s[i] == ' ') ++i;
    return i;
}

// Optional blanks, optional sign, then decimal digits or "$"/"0x" hexadecimal digits,
// and nothing after them. Magnitude is the digits' value, Hex tells which form it was.
// False on any other form or when the magnitude exceeds Limit.
bool ScanInteger(std::string_view s, std::uint64_t limit, std::uint64_t& magnitude, bool& negative, bool& hex) {
    std::size_t i = SkipBlanks(s, 0);
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size()) return false;
    std::uint64_t value = 0;
    const unsigned base = hex ? 16 : 10;
    for (; i < s.size(); ++i) {
        int d = hex ? HexDigit(s[i]) : (IsDigit(s[i]) ? s[i] - '0' : -1);
        if (d < 0) return false;
        if (value > (limit - static_cast<unsigned>(d)) / base) return false;
        value = value * base + static_cast<unsigned>(d);
    }
    magnitude = value;
    return true;
}

// Decimal exponent of the leading digit of a syntactically valid number, used only to
// tell overflow from underflow when the conversion reports a range error.
bool IsOverflow(std::string_view digitsAndExponent) {
    bool seenPoint = false, seenNonZero = false;
    long long intDigits = 0, leadingFractionZeros = 0;
    std::size_t i = 0;
    for (; i < digitsAndExponent.size(); ++i) {
        char c = digitsAndExponent[i];
        if (c == '.') {
            seenPoint = true;
        } else if (IsDigit(c)) {
            if (!seenPoint) {
                if (c != '0' || seenNonZero) ++intDigits;
                if (c != '0') seenNonZero = true;
            } else if (!seenNonZero) {
                if (c == '0') ++leadingFractionZeros;
                else seenNonZero = true;
            }
        } else {
            break;
        }
    }
    // Position of the first non-zero digit relative to the decimal point.
    const long long lead = intDigits > 0 ? intDigits : -leadingFractionZeros;
    long long exponent = 0;
    if (i < digitsAndExponent.size()) {  // at 'E' or 'e'
        ++i;
        bool negative = false;
        if (digitsAndExponent[i] == '+' || digitsAndExponent[i] == '-') negative = digitsAndExponent[i++] == '-';
        for (; i < digitsAndExponent.size() && IsDigit(digitsAndExponent[i]); ++i) {
            if (exponent < 100000000) exponent = exponent * 10 + (digitsAndExponent[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    return lead + exponent > 0;
}

}  // namespace

bool TryTextToFloat(std::string_view text, double& value) {
    std::size_t i = SkipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < text.size() && IsDigit(text[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    const std::size_t end = i;
    if (SkipBlanks(text, end) != text.size()) return false;

    // The sign was taken off above: the conversion sees only digits, point and exponent.
    const char* first = text.data() + start;
    const char* last = text.data() + end;
    double result = 0;
    auto [ptr, ec] = std::from_chars(first, last, result, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (IsOverflow(std::string_view(first, static_cast<std::size_t>(last - first)))) return false;
        result = 0;  // too small to represent: the nearest double is zero
    } else if (ec != std::errc() || ptr != last) {
        return false;
    }
    if (std::isinf(result)) return false;
    value = negative ? -result : result;
    return true;
}

bool TryTextToInteger(std::string_view text, std::int32_t& value) {
    std::uint64_t magnitude;
    bool negative, hex;
    // Decimal forms fit the signed range (one more on the negative side); hexadecimal
    // forms are 32-bit patterns.
    if (!ScanInteger(text, 0xFFFFFFFFull, magnitude, negative, hex)) return false;
    if (!hex && magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool TryTextToInt64(std::string_view text, std::int64_t& value) {
    std::uint64_t magnitude;
    bool negative, hex;
    if (!ScanInteger(text, std::numeric_limits<std::uint64_t>::max(), magnitude, negative, hex)) return false;
    if (!hex && magnitude > (negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull)) return false;
    std::uint64_t bits = negative ? 0ull - magnitude : magnitude;
    value = static_cast<std::int64_t>(bits);
    return true;
}

void AppendFloatText(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-infinity" : "infinity";
        return;
    }
    if (value == 0) {  // also -0
        out += '0';
        return;
    }
    // Rounded once to 15 significant digits: "d.ddddddddddddddE±x".
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    (void)ec;
    const char* p = buf;
    if (*p == '-') {
        out += '-';
        ++p;
    }
    char digits[15];
    int count = 0;
    for (; *p != 'e'; ++p) {
        if (*p != '.') digits[count++] = *p;
    }
    int exponent = 0;
    std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, exponent);
    while (count > 1 && digits[count - 1] == '0') --count;

    // Fixed notation for at most 15 integer digits and magnitudes from 0.0001 up.
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out.append(digits, static_cast<std::size_t>(count));
        } else {
            const int intDigits = exponent + 1;
            if (count <= intDigits) {
                out.append(digits, static_cast<std::size_t>(count));
                out.append(static_cast<std::size_t>(intDigits - count), '0');
            } else {
                out.append(digits, static_cast<std::size_t>(intDigits));
                out += '.';
                out.append(digits + intDigits, static_cast<std::size_t>(count - intDigits));
            }
        }
        return;
    }
    out += digits[0];
    if (count > 1) {
        out += '.';
        out.append(digits + 1, static_cast<std::size_t>(count - 1));
    }
    out += 'E';
    if (exponent < 0) out += '-';
    char expText[8];
    auto [expEnd, expEc] = std::to_chars(expText, expText + sizeof expText, exponent < 0 ? -exponent : exponent);
    (void)expEc;
    out.append(expText, expEnd);
}

std::string FloatToText(double value) {
    std::string out;
    AppendFloatText(out, value);
    return out;
}

std::string IntegerToText(std::int32_t value) {
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    return std::string(buf, end);
}

}  // namespace kestrel
