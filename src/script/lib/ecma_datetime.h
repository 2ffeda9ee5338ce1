// Calendar arithmetic, the clock and the date text parser behind the Date object.
//
// An instant is a time value: integral milliseconds since 1970-01-01 00:00 UTC, on the
// proleptic Gregorian calendar from 0001-01-01 to 9999-12-31. Local time is the instant
// shifted by the offset in force now (one offset for every date, as the Date object
// documents), so local components never depend on a date's own daylight-saving state.
#pragma once

#include <cstdint>
#include <string_view>

#include "script/lib/ecma_format.h"

namespace kestrel {

inline constexpr std::int64_t kMsPerDay = 86'400'000;
inline constexpr std::int64_t kMsPerSecond = 1000;
// Components arrive as unsigned 16-bit numbers; anything outside is refused, never cut.
inline constexpr int kMaxDateComponent = 65535;
// 0001-01-01 00:00:00.000 and 9999-12-31 23:59:59.999 UTC.
inline constexpr std::int64_t kMinTimeValue = -62'135'596'800'000;
inline constexpr std::int64_t kMaxTimeValue = 253'402'300'799'999;

inline bool InTimeRange(double t) { return t >= double(kMinTimeValue) && t <= double(kMaxTimeValue); }

// Days since 1970-01-01 of a Gregorian date (any month and day numbers that exist).
std::int64_t DaysFromCivil(int year, int month, int day);
int DaysInMonth(int year, int month);

// The components of an instant (which must be in range), weekday included.
TDateTimeFields DecodeTimeValue(std::int64_t t);
// The instant of valid components (year 1-9999, month 1-12, a day of that month,
// hour 0-23, minute and second 0-59, millisecond 0-999); false, leaving T alone, for
// invalid ones. Nothing carries into the next unit.
bool EncodeTimeValue(const TDateTimeFields& fields, std::int64_t& t);

// The current instant: CLOCK_REALTIME, or the clock a test installed.
std::int64_t CurrentTimeValue();
// Local minus UTC in seconds, in force at the current instant (tm_gmtoff of
// localtime_r, with TZ read again each time).
std::int64_t CurrentUtcOffset();
// The local wall-clock reading of an instant, as a time value (shifted by the current offset).
std::int64_t LocalTimeValue(std::int64_t t);
// Tests fix the clock (null restores the real one).
using TClockProc = std::int64_t (*)();
void SetClockForTests(TClockProc clock);

// The platform's short-date reader: a date in the order of ShortDateFormat with the
// date separator, two- or four-digit years, and an optional time with the time
// separator (and an optional designator). False for anything else.
bool ParseShortDateText(std::string_view text, const TFormatSettings& settings, int currentYear,
                        TDateTimeFields& fields);

// The whole text parser of parse, UTC and the constructor: blanks trimmed, the short-
// date reader first, then fields split at commas, colons and white space (month name,
// day, year, hour, minute, second, millisecond; missing fields from Now, the current
// local components). Invalid results give Now. The result is a wall-clock reading.
TDateTimeFields ParseDateText(std::string_view text, const TFormatSettings& settings, const TDateTimeFields& now);

}  // namespace kestrel
