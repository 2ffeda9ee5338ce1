// The "%" specifier language of format, sprintf, printf and printfln.
//
// Written by hand: C's printf writes exponents differently, has no index specifier
// and checks no argument kinds.
#include "script/lib/ecma_format.h"

#include <charconv>
#include <cstdint>

#include "util/CodePage.h"

namespace kestrel {

namespace {

using tinctor::CodePage;

// The runtime's two conversion messages, split around the specifier they name.
constexpr std::string_view kInvalidBefore = "書式文字列 '";
constexpr std::string_view kInvalidAfter = "' は正しくないか引数の型と一致しません";
constexpr std::string_view kMissingBefore = "書式文字列 '";
constexpr std::string_view kMissingAfter = "' の引数が見つかりません";
// The specifier quoted in a message is cut to this many bytes.
constexpr std::size_t kMaxQuotedSpecifier = 31;

constexpr int kNoPrecision = -1;
constexpr int kDefaultGeneralPrecision = 15;
constexpr int kDefaultFixedDecimals = 2;
constexpr int kExponentDigits = 3;
constexpr int kFixedPrecision = 18;

// The floating types: the form they write, and whether the precision gives the
// form's decimals (with 18 significant digits) or its significant digits (with three
// exponent digits).
constexpr int kCurrencyDecimals = -2;  // the regional currency decimals
struct TFloatType {
    char Type;
    TFloatForm Form;
    bool PrecisionIsDecimals;
    int DefaultPrecision;
};
constexpr TFloatType kFloatTypes[] = {
    {'e', TFloatForm::Exponent, false, kDefaultGeneralPrecision},
    {'f', TFloatForm::Fixed, true, kDefaultFixedDecimals},
    {'g', TFloatForm::General, false, kDefaultGeneralPrecision},
    {'n', TFloatForm::Number, true, kDefaultFixedDecimals},
    {'m', TFloatForm::Currency, true, kCurrencyDecimals},
};

enum class TFailure { Invalid, Missing };

[[noreturn]] void Fail(TFailure failure, std::string_view specifier) {
    const CodePage& cp = CodePage::Current();
    std::size_t cut = specifier.size();
    if (cut > kMaxQuotedSpecifier) {
        cut = kMaxQuotedSpecifier;
        if (!cp.IsBoundary(specifier, cut)) cut = cp.PrevBoundary(specifier, cut);
    }
    // The specifier goes in as data: the message is joined, never formatted again.
    bool invalid = failure == TFailure::Invalid;
    std::string message = cp.FromUtf8(invalid ? kInvalidBefore : kMissingBefore);
    message.append(specifier.substr(0, cut));
    message += cp.FromUtf8(invalid ? kInvalidAfter : kMissingAfter);
    throw EFormatError(std::move(message));
}

class TPercentFormatter {
public:
    TPercentFormatter(std::string_view format, std::span<const TFormatArg> args, const TFormatSettings& settings)
        : format_(format), args_(args), settings_(settings) {}

    void Run(std::string& out) {
        while (pos_ < format_.size()) {
            std::size_t percent = format_.find('%', pos_);
            if (percent == std::string_view::npos) percent = format_.size();
            out.append(format_, pos_, percent - pos_);
            pos_ = percent;
            if (pos_ >= format_.size()) break;
            if (pos_ + 1 < format_.size() && format_[pos_ + 1] == '%') {
                out += '%';
                pos_ += 2;
                continue;
            }
            Specifier(out);
        }
    }

private:
    // One specifier from its "%" (at pos_) to its type letter.
    void Specifier(std::string& out) {
        start_ = pos_++;
        end_ = pos_;
        while (end_ < format_.size() && IsField(format_[end_])) ++end_;
        end_ += CodePage::Current().CharLength(format_, end_);
        bool leftAlign = false;
        int width = 0, precision = kNoPrecision;
        int number = 0;
        bool haveNumber = ReadNumber(number);
        if (haveNumber && Peek() == ':') {
            ++pos_;
            argIndex_ = number;
            haveNumber = false;
        }
        if (!haveNumber) {
            if (Peek() == '-') {
                leftAlign = true;
                ++pos_;
            }
            haveNumber = ReadNumber(number);
        }
        if (haveNumber) width = number;
        if (Peek() == '.') {
            ++pos_;
            precision = 0;
            if (ReadNumber(number)) precision = number;
        }
        if (pos_ >= format_.size()) Fail(TFailure::Invalid, Current());
        char type = format_[pos_];
        pos_ = end_;
        if (type >= 'A' && type <= 'Z') type = static_cast<char>(type - 'A' + 'a');
        if (width < 0) width = 0;
        if (width > kMaxFormatWidth) Fail(TFailure::Invalid, Current());

        std::string text;
        Convert(type, precision, text);
        Pad(out, text, width, leftAlign);
    }

    void Convert(char type, int precision, std::string& text) {
        for (const TFloatType& f : kFloatTypes) {
            if (f.Type != type) continue;
            double value = Next(TFormatArg::kFloating).Float;
            int given = precision != kNoPrecision                ? precision
                        : f.DefaultPrecision == kCurrencyDecimals ? settings_.CurrencyDecimals
                                                                  : f.DefaultPrecision;
            if (f.PrecisionIsDecimals) AppendFloat(text, value, f.Form, kFixedPrecision, given, settings_);
            else AppendFloat(text, value, f.Form, given, kExponentDigits, settings_);
            return;
        }
        switch (type) {
        case 'd': case 'u': case 'x': {
            if (precision > kMaxFormatWidth) Fail(TFailure::Invalid, Current());
            std::int32_t v = Next(TFormatArg::kInteger).Int;
            AppendInteger(text, v, type, precision);
            return;
        }
        case 's': {
            std::string_view s = Next(TFormatArg::kString).Text;
            if (precision != kNoPrecision) s = s.substr(0, CodePage::Current().ByteOffset(s, precision));
            text.assign(s);
            return;
        }
        default:  // "p" included: the script functions never hand over a pointer
            Fail(TFailure::Invalid, Current());
        }
    }

    static void AppendInteger(std::string& text, std::int32_t v, char type, int precision) {
        char buffer[16];
        std::uint32_t magnitude = static_cast<std::uint32_t>(v);
        bool negative = false;
        if (type == 'd' && v < 0) {
            negative = true;
            magnitude = 0u - magnitude;
        }
        auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude, type == 'x' ? 16 : 10).ptr;
        for (char* p = buffer; p != end; ++p)
            if (*p >= 'a' && *p <= 'f') *p = static_cast<char>(*p - 'a' + 'A');
        std::size_t digits = static_cast<std::size_t>(end - buffer);
        if (negative) text += '-';
        if (precision > 0 && static_cast<std::size_t>(precision) > digits) text.append(precision - digits, '0');
        text.append(buffer, digits);
    }

    static void Pad(std::string& out, const std::string& text, int width, bool leftAlign) {
        std::size_t chars = width > 0 ? CodePage::Current().CharCount(text) : 0;
        std::size_t fill = static_cast<std::size_t>(width) > chars ? width - chars : 0;
        if (!leftAlign) out.append(fill, ' ');
        out += text;
        if (leftAlign) out.append(fill, ' ');
    }

    char Peek() const { return pos_ < format_.size() ? format_[pos_] : '\0'; }
    // The whole specifier, from its "%" to its type letter, for the error messages.
    std::string_view Current() const { return format_.substr(start_, end_ - start_); }
    static bool IsField(char c) { return (c >= '0' && c <= '9') || c == '*' || c == ':' || c == '-' || c == '.'; }

    // A decimal number or "*" (the next argument, an integer). Digits beyond the
    // width limit saturate just above it, so the limit check sees them.
    bool ReadNumber(int& value) {
        if (Peek() == '*') {
            ++pos_;
            value = Next(TFormatArg::kInteger).Int;
            return true;
        }
        if (Peek() < '0' || Peek() > '9') return false;
        std::int64_t n = 0;
        while (Peek() >= '0' && Peek() <= '9') {
            n = n * 10 + (format_[pos_++] - '0');
            if (n > kMaxFormatWidth) n = std::int64_t(kMaxFormatWidth) + 1;
        }
        value = static_cast<int>(n);
        return true;
    }

    // The argument at the current position, which must be of kind Kind.
    const TFormatArg& Next(TFormatArg::TKind kind) {
        if (argIndex_ < 0 || static_cast<std::size_t>(argIndex_) >= args_.size()) Fail(TFailure::Missing, Current());
        const TFormatArg& arg = args_[argIndex_++];
        if (arg.Kind != kind) Fail(TFailure::Invalid, Current());
        return arg;
    }

    std::string_view format_;
    std::span<const TFormatArg> args_;
    const TFormatSettings& settings_;
    std::size_t pos_ = 0;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
    int argIndex_ = 0;
};

}  // namespace

void AppendFormatText(std::string& out, std::string_view format, std::span<const TFormatArg> args,
                      const TFormatSettings& settings) {
    std::string text;
    TPercentFormatter(format, args, settings).Run(text);
    out += text;
}

std::string FormatText(std::string_view format, std::span<const TFormatArg> args, const TFormatSettings& settings) {
    std::string out;
    TPercentFormatter(format, args, settings).Run(out);
    return out;
}

}  // namespace kestrel
