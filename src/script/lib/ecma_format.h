// The formatting languages shared by the global functions, Number and Date: the "%"
// specifier language, the float forms, the float-mask language and the date-time
// language. Everything takes plain values and a regional-settings struct, so callers
// decide which kind a script value becomes and tests pass fixed settings.
//
// Digits are exact: a double is expanded to its exact decimal value and rounded half
// away from zero there (2.5 gives "3", the stored 1.005 gives "1.00" with two decimals).
#pragma once

#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>

#include "script/lib/ecma_regional.h"

namespace kestrel {

// One argument of the "%" language, as the caller hands it over.
struct TFormatArg {
    enum TKind : std::uint8_t { kInteger, kFloating, kString };
    TKind Kind = kString;
    std::int32_t Int = 0;
    double Float = 0;
    std::string_view Text;

    static TFormatArg OfInteger(std::int32_t v) { return {kInteger, v, 0, {}}; }
    static TFormatArg OfFloat(double v) { return {kFloating, 0, v, {}}; }
    static TFormatArg OfString(std::string_view v) { return {kString, 0, 0, v}; }
};

// A conversion error of the "%" language. Message is the runtime's text (in the
// code page) with the offending specifier inserted; callers raise "EConvertError".
class EFormatError : public std::exception {
public:
    explicit EFormatError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// Widths, and the precisions of d, u and x, above this are refused with the first
// conversion error rather than padded out to gigabytes.
inline constexpr std::int32_t kMaxFormatWidth = 1 << 24;

// The "%" language: literal text, "%%", and %[index:][-][width][.precision]type with
// types d u x e f g n m s p in either case. Throws EFormatError.
std::string FormatText(std::string_view format, std::span<const TFormatArg> args,
                       const TFormatSettings& settings);
// The same, appending to Out (Out is unchanged when it throws).
void AppendFormatText(std::string& out, std::string_view format, std::span<const TFormatArg> args,
                      const TFormatSettings& settings);

// The float forms. P (significant digits) is clamped to 2..18, D (decimals or
// exponent digits) to 0..18 (0..4 for Exponent).
enum class TFloatForm : std::uint8_t { General, Exponent, Fixed, Number, Currency };

std::string FormatFloat(double value, TFloatForm form, int precision, int digits,
                        const TFormatSettings& settings);
void AppendFloat(std::string& out, double value, TFloatForm form, int precision, int digits,
                 const TFormatSettings& settings);

// The float-mask language of formatFloat ("#,##0.00", "0.0;(0.0)", "0.00E+00").
std::string FormatFloatMask(std::string_view mask, double value, const TFormatSettings& settings);

// Broken-down calendar and clock fields for the date-time language.
struct TDateTimeFields {
    int Year = 1899, Month = 12, Day = 30;  // Month 1..12
    int DayOfWeek = 6;                      // 0 = Sunday
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// The date-time language; an empty format behaves as "c".
std::string FormatDateTime(std::string_view format, const TDateTimeFields& fields,
                           const TFormatSettings& settings);
void AppendDateTime(std::string& out, std::string_view format, const TDateTimeFields& fields,
                    const TFormatSettings& settings);

}  // namespace kestrel
