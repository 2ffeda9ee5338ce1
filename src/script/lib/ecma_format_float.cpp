// The float forms General, Exponent, Fixed, Number and Currency.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "script/lib/ecma_decimal.h"
#include "script/lib/ecma_format.h"

namespace kestrel {

namespace {

constexpr int kMinPrecision = 2;
constexpr int kMaxPrecision = 18;
constexpr int kMaxDecimals = 18;
constexpr int kMaxExponentDigits = 4;
// General's fixed notation reaches down to 0.0001 (0.1 × 10^-3).
constexpr int kGeneralLowestExponent = -3;

// Currency placement: '$' stands for the currency text, '1' for the amount.
constexpr std::array<std::string_view, 4> kPositiveCurrency = {"$1", "1$", "$ 1", "1 $"};
constexpr std::array<std::string_view, 16> kNegativeCurrency = {
    "($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
    "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};

void AppendExponent(std::string& out, int exponent, int minDigits, bool alwaysSign) {
    if (exponent < 0) out += '-';
    else if (alwaysSign) out += '+';
    std::string digits = std::to_string(std::abs(exponent));
    if (static_cast<int>(digits.size()) < minDigits) out.append(minDigits - digits.size(), '0');
    out += digits;
}

// Integer digits of D (at least "0"), with the thousands separator when given.
void AppendIntegerPart(std::string& out, const TDecimal& d, std::string_view thousands) {
    int count = std::max(d.Exponent, 0);
    if (count == 0) {
        out += '0';
        return;
    }
    for (int i = 0; i < count; ++i) {
        out += i < static_cast<int>(d.Digits.size()) ? d.Digits[i] : '0';
        int left = count - 1 - i;
        if (!thousands.empty() && left > 0 && left % 3 == 0) out += thousands;
    }
}

// Exactly Count digits after the point of D.
void AppendFraction(std::string& out, const TDecimal& d, int count) {
    for (int i = 0; i < count; ++i) {
        int index = d.Exponent + i;
        out += index >= 0 && index < static_cast<int>(d.Digits.size()) ? d.Digits[index] : '0';
    }
}

void AppendGeneral(std::string& out, TDecimal d, int precision, int expDigits, const TFormatSettings& s) {
    d.RoundSignificant(precision);
    if (d.IsZero()) {
        out += '0';
        return;
    }
    if (d.Negative) out += '-';
    int size = static_cast<int>(d.Digits.size());
    if (d.Exponent <= precision && d.Exponent >= kGeneralLowestExponent) {
        AppendIntegerPart(out, d, {});
        if (size > d.Exponent) {
            out += s.DecimalSeparator;
            AppendFraction(out, d, size - d.Exponent);
        }
        return;
    }
    out += d.Digits[0];
    if (size > 1) {
        out += s.DecimalSeparator;
        out.append(d.Digits, 1);
    }
    out += 'E';
    AppendExponent(out, d.Exponent - 1, expDigits, false);
}

void AppendExponentForm(std::string& out, TDecimal d, int precision, int expDigits, const TFormatSettings& s) {
    d.RoundSignificant(precision);
    if (d.Negative && !d.IsZero()) out += '-';
    out += d.IsZero() ? '0' : d.Digits[0];
    out += s.DecimalSeparator;
    for (int i = 1; i < precision; ++i) out += i < static_cast<int>(d.Digits.size()) ? d.Digits[i] : '0';
    out += 'E';
    AppendExponent(out, d.IsZero() ? 0 : d.Exponent - 1, expDigits, true);
}

// Fixed, Number and Currency: the value rounded once, at the nearer of the P-th
// significant digit and the D-th decimal. False when the integer part is too long.
bool AppendFixedAmount(std::string& out, TDecimal& d, int precision, int decimals, std::string_view thousands,
                       const TFormatSettings& s) {
    d.RoundSignificant(std::min(precision, d.Exponent + decimals));
    if (d.Exponent > precision) return false;
    AppendIntegerPart(out, d, thousands);
    if (decimals > 0) {
        out += s.DecimalSeparator;
        AppendFraction(out, d, decimals);
    }
    return true;
}

void AppendCurrency(std::string& out, const std::string& amount, bool negative, const TFormatSettings& s) {
    std::string_view pattern = negative ? kNegativeCurrency[std::clamp(s.NegCurrFormat, 0, 15)]
                                        : kPositiveCurrency[std::clamp(s.CurrencyFormat, 0, 3)];
    for (char c : pattern) {
        if (c == '$') out += s.CurrencyString;
        else if (c == '1') out += amount;
        else out += c;
    }
}

}  // namespace

void AppendFloat(std::string& out, double value, TFloatForm form, int precision, int digits,
                 const TFormatSettings& s) {
    if (std::isnan(value)) {
        out += "NAN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-INF" : "INF";
        return;
    }
    precision = std::clamp(precision, kMinPrecision, kMaxPrecision);
    digits = std::clamp(digits, 0, form == TFloatForm::Exponent ? kMaxExponentDigits : kMaxDecimals);
    const TDecimal exact = ExactDecimal(value);
    switch (form) {
    case TFloatForm::General:
        AppendGeneral(out, exact, precision, digits, s);
        return;
    case TFloatForm::Exponent:
        AppendExponentForm(out, exact, precision, digits, s);
        return;
    case TFloatForm::Fixed:
    case TFloatForm::Number:
    case TFloatForm::Currency: {
        TDecimal d = exact;
        std::string amount;
        std::string_view thousands = form == TFloatForm::Number ? std::string_view(s.ThousandSeparator) : "";
        if (!AppendFixedAmount(amount, d, precision, digits, thousands, s)) {
            AppendGeneral(out, exact, precision, 0, s);
            return;
        }
        bool negative = d.Negative && !d.IsZero();
        if (form == TFloatForm::Currency) {
            AppendCurrency(out, amount, negative, s);
            return;
        }
        if (negative) out += '-';
        out += amount;
        return;
    }
    }
}

std::string FormatFloat(double value, TFloatForm form, int precision, int digits, const TFormatSettings& s) {
    std::string out;
    AppendFloat(out, value, form, precision, digits, s);
    return out;
}

}  // namespace kestrel
