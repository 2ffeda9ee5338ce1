// The float-mask language of formatFloat: digit places "0" and "#", the decimal
// point, thousands separators, scientific notation, quoted text and up to three
// sections for positive, negative and zero values.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "script/lib/ecma_decimal.h"
#include "script/lib/ecma_format.h"
#include "util/CodePage.h"

namespace kestrel {

namespace {

using tinctor::CodePage;

constexpr int kMaxSections = 3;
constexpr int kMaxExponentZeros = 4;
// Without scientific notation a mask writes at most this many integer digits;
// beyond it the value is written in General(15, 0).
constexpr int kMaxMaskIntegerDigits = 18;
constexpr int kFallbackPrecision = 15;

bool IsQuote(char c) { return c == '\'' || c == '"'; }

// Length of the exponent marker at S[i] ("E+", "e-", ...), 0 when there is none.
bool IsExponentAt(std::string_view s, std::size_t i) {
    return i + 1 < s.size() && (s[i] == 'E' || s[i] == 'e') && (s[i + 1] == '+' || s[i + 1] == '-');
}

// The sections of a mask, split at ";" outside quotes.
std::vector<std::string_view> SplitSections(std::string_view mask) {
    std::vector<std::string_view> sections;
    const CodePage& cp = CodePage::Current();
    std::size_t start = 0, i = 0;
    char quote = 0;
    while (i < mask.size()) {
        char c = mask[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (IsQuote(c)) {
            quote = c;
        } else if (c == ';' && static_cast<int>(sections.size()) < kMaxSections - 1) {
            sections.push_back(mask.substr(start, i - start));
            start = i + 1;
        }
        i += cp.CharLength(mask, i);
    }
    sections.push_back(mask.substr(start));
    return sections;
}

// What a section asks for, read before any digit is written.
struct TSectionShape {
    int IntegerPlaces = 0;
    int MinIntegerDigits = 0;
    int DecimalPlaces = 0;
    int MinDecimals = 0;
    bool Thousands = false;
    bool Scientific = false;
};

TSectionShape ReadShape(std::string_view section) {
    TSectionShape shape;
    const CodePage& cp = CodePage::Current();
    bool afterPoint = false;
    int firstIntegerZero = -1;
    for (std::size_t i = 0; i < section.size();) {
        char c = section[i];
        if (IsQuote(c)) {
            std::size_t close = section.find(c, i + 1);
            i = close == std::string_view::npos ? section.size() : close + 1;
            continue;
        }
        if (IsExponentAt(section, i)) {
            shape.Scientific = true;
            i += 2;
            for (int zeros = 0; zeros < kMaxExponentZeros && i < section.size() && section[i] == '0'; ++zeros) ++i;
            continue;
        }
        if (c == '0' || c == '#') {
            if (afterPoint) {
                ++shape.DecimalPlaces;
                if (c == '0') shape.MinDecimals = shape.DecimalPlaces;
            } else {
                if (c == '0' && firstIntegerZero < 0) firstIntegerZero = shape.IntegerPlaces;
                ++shape.IntegerPlaces;
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else if (c == ',') {
            shape.Thousands = true;
        }
        i += cp.CharLength(section, i);
    }
    if (firstIntegerZero >= 0) shape.MinIntegerDigits = shape.IntegerPlaces - firstIntegerZero;
    return shape;
}

// Writes one section with the digits already chosen.
class TSectionWriter {
public:
    TSectionWriter(std::string_view section, const TSectionShape& shape, const TFormatSettings& settings,
                   std::string integerDigits, std::string decimals, int exponent)
        : section_(section), shape_(shape), settings_(settings), integer_(std::move(integerDigits)),
          decimals_(std::move(decimals)), exponent_(exponent) {}

    void Write(std::string& out) {
        const CodePage& cp = CodePage::Current();
        for (std::size_t i = 0; i < section_.size();) {
            char c = section_[i];
            if (IsQuote(c)) {
                std::size_t close = section_.find(c, i + 1);
                std::size_t end = close == std::string_view::npos ? section_.size() : close;
                out.append(section_, i + 1, end - i - 1);
                i = close == std::string_view::npos ? end : close + 1;
                continue;
            }
            if (IsExponentAt(section_, i)) {
                i = WriteExponent(out, i);
                continue;
            }
            if (c == '0' || c == '#') {
                if (afterPoint_) WriteDecimalPlace(out);
                else WriteIntegerPlace(out);
            } else if (c == '.' && !afterPoint_) {
                if (shape_.IntegerPlaces == 0) WriteIntegerDigits(out, 0, integer_.size());
                afterPoint_ = true;
                if (!decimals_.empty()) out += settings_.DecimalSeparator;
            } else if (c != ',') {
                out.append(section_, i, cp.CharLength(section_, i));
            }
            i += cp.CharLength(section_, i);
        }
    }

private:
    // The integer digits stand right-aligned against the integer places; the first
    // place takes every digit that has no place of its own.
    void WriteIntegerPlace(std::string& out) {
        int places = shape_.IntegerPlaces;
        int count = static_cast<int>(integer_.size());
        int k = integerPlace_++;
        if (k == 0 && count > places) WriteIntegerDigits(out, 0, count - places);
        int index = k - (places - count);
        if (index >= 0) WriteIntegerDigits(out, index, index + 1);
    }

    void WriteIntegerDigits(std::string& out, std::size_t from, std::size_t to) {
        for (std::size_t j = from; j < to; ++j) {
            out += integer_[j];
            std::size_t left = integer_.size() - 1 - j;
            if (shape_.Thousands && !shape_.Scientific && left > 0 && left % 3 == 0) out += settings_.ThousandSeparator;
        }
    }

    void WriteDecimalPlace(std::string& out) {
        if (decimalPlace_ < decimals_.size()) out += decimals_[decimalPlace_];
        ++decimalPlace_;
    }

    std::size_t WriteExponent(std::string& out, std::size_t i) {
        out += section_[i];
        bool alwaysSign = section_[i + 1] == '+';
        i += 2;
        int zeros = 0;
        while (zeros < kMaxExponentZeros && i < section_.size() && section_[i] == '0') {
            ++zeros;
            ++i;
        }
        if (exponent_ < 0) out += '-';
        else if (alwaysSign) out += '+';
        std::string digits = std::to_string(exponent_ < 0 ? -exponent_ : exponent_);
        if (static_cast<int>(digits.size()) < zeros) out.append(zeros - digits.size(), '0');
        out += digits;
        return i;
    }

    std::string_view section_;
    const TSectionShape& shape_;
    const TFormatSettings& settings_;
    std::string integer_;
    std::string decimals_;
    int exponent_;
    bool afterPoint_ = false;
    int integerPlace_ = 0;
    std::size_t decimalPlace_ = 0;
};

// Digit I of D (0 = the first significant digit), "0" beyond the end.
char DigitAt(const TDecimal& d, int i) {
    return i >= 0 && i < static_cast<int>(d.Digits.size()) ? d.Digits[i] : '0';
}

std::string TrimDecimals(std::string decimals, int keep) {
    while (static_cast<int>(decimals.size()) > keep && decimals.back() == '0') decimals.pop_back();
    return decimals;
}

}  // namespace

std::string FormatFloatMask(std::string_view mask, double value, const TFormatSettings& settings) {
    std::vector<std::string_view> sections = SplitSections(mask);
    if (sections[0].empty() || !std::isfinite(value))
        return FormatFloat(value, TFloatForm::General, kFallbackPrecision, 0, settings);
    std::size_t which = 0;
    if (value < 0 && sections.size() >= 2 && !sections[1].empty()) which = 1;
    if (value == 0 && sections.size() >= 3 && !sections[2].empty()) which = 2;
    std::string_view section = sections[which];
    TSectionShape shape = ReadShape(section);

    TDecimal d = ExactDecimal(value);
    std::string integerDigits, decimals;
    int exponent = 0;
    if (shape.Scientific) {
        int significant = std::max(shape.IntegerPlaces + shape.DecimalPlaces, 1);
        d.RoundSignificant(significant);
        exponent = d.IsZero() ? 0 : d.Exponent - shape.IntegerPlaces;
        for (int i = 0; i < shape.IntegerPlaces; ++i) integerDigits += DigitAt(d, i);
        std::size_t firstNonZero = integerDigits.find_first_not_of('0');
        std::size_t keepFrom = std::min(firstNonZero == std::string::npos ? integerDigits.size() : firstNonZero,
                                        integerDigits.size() - shape.MinIntegerDigits);
        integerDigits.erase(0, keepFrom);
        for (int i = 0; i < shape.DecimalPlaces; ++i) decimals += DigitAt(d, shape.IntegerPlaces + i);
    } else {
        d.RoundDecimals(shape.DecimalPlaces);
        if (d.Exponent > kMaxMaskIntegerDigits)
            return FormatFloat(value, TFloatForm::General, kFallbackPrecision, 0, settings);
        for (int i = 0; i < d.Exponent; ++i) integerDigits += DigitAt(d, i);
        if (static_cast<int>(integerDigits.size()) < shape.MinIntegerDigits)
            integerDigits.insert(0, shape.MinIntegerDigits - integerDigits.size(), '0');
        for (int i = 0; i < shape.DecimalPlaces; ++i) decimals += DigitAt(d, d.Exponent + i);
    }
    decimals = TrimDecimals(std::move(decimals), shape.MinDecimals);

    std::string out;
    // Only the section for every value writes a sign; the negative section brings its own.
    if (which == 0 && d.Negative && !d.IsZero()) out += '-';
    TSectionWriter(section, shape, settings, std::move(integerDigits), std::move(decimals), exponent).Write(out);
    return out;
}

}  // namespace kestrel
