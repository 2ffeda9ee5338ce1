// The regional settings the formatting languages write with: separators, currency
// placement, date and time forms, names and eras.
//
// The user's settings come from a C locale object made from the environment at the
// moment of formatting; the process locale is never changed. Where the locale is
// C/POSIX or leaves a field empty, the values of the system's home market stand in:
// "." and ",", "/" and ":", short date "yyyy/mm/dd", long time "hh:nn:ss", the yen
// with no decimals. All texts are in the process code page.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// One era of a calendar with eras (Japanese and similar locales). The era begins on
// the given Gregorian day; its first year is numbered FirstYear.
struct TEra {
    int StartYear = 1, StartMonth = 1, StartDay = 1;
    int FirstYear = 1;
    std::string Name;       // "gg"
    std::string ShortName;  // "g": the name's first character
};

struct TFormatSettings {
    std::string DecimalSeparator = ".";
    std::string ThousandSeparator = ",";

    std::string CurrencyString;
    int CurrencyFormat = 0;    // positive pattern 0..3: "¤1", "1¤", "¤ 1", "1 ¤"
    int NegCurrFormat = 1;     // negative pattern 0..15, see FormatCurrency
    int CurrencyDecimals = 0;

    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
    // Forms in the date-time language ("/" and ":" stand for the separators).
    std::string ShortDateFormat = "yyyy/mm/dd";
    std::string LongDateFormat;
    std::string ShortTimeFormat = "h:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString;
    std::string TimePMString;

    std::array<std::string, 12> ShortMonthNames, LongMonthNames;  // [0] = January
    std::array<std::string, 7> ShortDayNames, LongDayNames;        // [0] = Sunday
    std::vector<TEra> Eras;  // oldest first; empty when the locale has no eras
};

// The fallback settings (the home market's values) in the current code page.
TFormatSettings DefaultFormatSettings();

// The settings of the named locale ("" = the environment's, as setlocale reads it),
// with the fallbacks for every field the locale does not give. An unknown locale
// name gives the fallbacks.
TFormatSettings ReadFormatSettings(const char* localeName);

// The user's settings as they are now: read from the environment's locale, re-read
// whenever the locale variables or the code page change since the last call.
const TFormatSettings& RegionalSettings();

// A POSIX strftime form ("%Y/%m/%d") in the date-time language ("yyyy/mm/dd");
// literal text is quoted. Exposed for tests.
std::string TranslateTimeForm(std::string_view posixForm, std::string_view ampmForm = {});

// The eras of a locale's ERA entries ("+:2:2020/01/01:+*:令和:%EC%Ey年", one per
// entry), oldest first. Entries that cannot be read are skipped.
std::vector<TEra> ParseEraEntries(const std::vector<std::string_view>& entries);

// The positive and negative currency patterns for the locale's placement flags
// (cs_precedes, sep_by_space and, for negatives, sign_posn as in localeconv).
int CurrencyPattern(int csPrecedes, int sepBySpace);
int NegCurrencyPattern(int csPrecedes, int sepBySpace, int signPosn);

}  // namespace kestrel
