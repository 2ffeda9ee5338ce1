// Calendar arithmetic on time values, the system clock and offset, and the date text
// parser.
#include "script/lib/ecma_datetime.h"

#include <time.h>

#include <array>
#include <cctype>
#include <vector>

#include "script/core/ecma_number.h"

namespace kestrel {

namespace {

constexpr int kMinYear = 1, kMaxYear = 9999;
constexpr std::int64_t kMsPerMinute = 60'000, kMsPerHour = 3'600'000;
// Two-digit years fall within this many years before the current one, or after it.
constexpr int kTwoDigitYearWindow = 50;

TClockProc testClock = nullptr;

constexpr std::array<std::string_view, 12> kMonthNames = {"january", "february", "march",     "april",
                                                          "may",     "june",     "july",      "august",
                                                          "september", "october", "november", "december"};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A run of decimal digits at S[Pos], moving Pos past it; false when there is none or
// it is longer than a component can be.
bool ReadDigits(std::string_view s, std::size_t& pos, int& value, std::size_t& count) {
    std::size_t start = pos;
    value = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && pos - start < 6) value = value * 10 + (s[pos++] - '0');
    count = pos - start;
    return count > 0 && !(pos < s.size() && s[pos] >= '0' && s[pos] <= '9');
}

bool ReadSeparator(std::string_view s, std::size_t& pos, std::string_view separator) {
    if (separator.empty() || s.substr(pos, separator.size()) != separator) return false;
    pos += separator.size();
    return true;
}

void SkipSpaces(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && s[pos] == ' ') ++pos;
}

// The order of day, month and year in a short date form ("yyyy/mm/dd" gives "YMD").
std::string DateOrder(std::string_view form) {
    std::string order;
    char quote = 0;
    for (char c : form) {
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if ((u == 'Y' || u == 'M' || u == 'D') && order.find(u) == std::string::npos) order += u;
    }
    return order.size() == 3 ? order : "YMD";
}

int ExpandTwoDigitYear(int year, int currentYear) {
    int threshold = currentYear - kTwoDigitYearWindow;
    year += threshold / 100 * 100;
    if (year < threshold) year += 100;
    return year;
}

}  // namespace

std::int64_t DaysFromCivil(int year, int month, int day) {
    // Counted from 1 March so that the leap day ends the year.
    std::int64_t y = year - (month <= 2 ? 1 : 0);
    std::int64_t era = FloorDiv(y, 400);
    std::int64_t yearOfEra = y - era * 400;
    std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

TDateTimeFields DecodeTimeValue(std::int64_t t) {
    std::int64_t days = FloorDiv(t, kMsPerDay);
    std::int64_t ms = t - days * kMsPerDay;
    TDateTimeFields f;
    // Weekday: 1970-01-01 was a Thursday.
    f.DayOfWeek = static_cast<int>((days % 7 + 7 + 4) % 7);
    std::int64_t z = days + 719468;
    std::int64_t era = FloorDiv(z, 146097);
    std::int64_t dayOfEra = z - era * 146097;
    std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t mp = (5 * dayOfYear + 2) / 153;
    f.Day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    f.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    f.Year = static_cast<int>(yearOfEra + era * 400 + (f.Month <= 2 ? 1 : 0));
    f.Hour = static_cast<int>(ms / kMsPerHour);
    f.Minute = static_cast<int>(ms / kMsPerMinute % 60);
    f.Second = static_cast<int>(ms / kMsPerSecond % 60);
    f.Millisecond = static_cast<int>(ms % kMsPerSecond);
    return f;
}

bool EncodeTimeValue(const TDateTimeFields& f, std::int64_t& t) {
    if (f.Year < kMinYear || f.Year > kMaxYear || f.Month < 1 || f.Month > 12 || f.Day < 1 ||
        f.Day > DaysInMonth(f.Year, f.Month) || f.Hour < 0 || f.Hour > 23 || f.Minute < 0 || f.Minute > 59 ||
        f.Second < 0 || f.Second > 59 || f.Millisecond < 0 || f.Millisecond > 999)
        return false;
    t = DaysFromCivil(f.Year, f.Month, f.Day) * kMsPerDay + f.Hour * kMsPerHour + f.Minute * kMsPerMinute +
        f.Second * kMsPerSecond + f.Millisecond;
    return true;
}

std::int64_t CurrentTimeValue() {
    if (testClock) return testClock();
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return std::int64_t(ts.tv_sec) * kMsPerSecond + ts.tv_nsec / 1'000'000;
}

std::int64_t CurrentUtcOffset() {
    // localtime_r need not look at TZ again; tzset makes it honour a changed zone.
    tzset();
    time_t now = static_cast<time_t>(FloorDiv(CurrentTimeValue(), kMsPerSecond));
    tm local{};
    if (!localtime_r(&now, &local)) return 0;
    return local.tm_gmtoff;
}

std::int64_t LocalTimeValue(std::int64_t t) { return t + CurrentUtcOffset() * kMsPerSecond; }

void SetClockForTests(TClockProc clock) { testClock = clock; }

bool ParseShortDateText(std::string_view text, const TFormatSettings& s, int currentYear, TDateTimeFields& f) {
    std::string order = DateOrder(s.ShortDateFormat);
    std::size_t pos = 0;
    int parts[3] = {};
    std::size_t lengths[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && !ReadSeparator(text, pos, s.DateSeparator)) return false;
        if (!ReadDigits(text, pos, parts[i], lengths[i])) return false;
    }
    TDateTimeFields r;
    for (int i = 0; i < 3; ++i) {
        switch (order[i]) {
        case 'Y':
            if (lengths[i] != 2 && lengths[i] != 4) return false;
            r.Year = lengths[i] == 2 ? ExpandTwoDigitYear(parts[i], currentYear) : parts[i];
            break;
        case 'M': r.Month = parts[i]; break;
        default: r.Day = parts[i]; break;
        }
    }
    r.Hour = r.Minute = r.Second = r.Millisecond = 0;
    SkipSpaces(text, pos);
    if (pos < text.size()) {
        std::size_t length = 0;
        if (!ReadDigits(text, pos, r.Hour, length) || !ReadSeparator(text, pos, s.TimeSeparator) ||
            !ReadDigits(text, pos, r.Minute, length))
            return false;
        if (ReadSeparator(text, pos, s.TimeSeparator) && !ReadDigits(text, pos, r.Second, length)) return false;
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            if (!ReadDigits(text, pos, r.Millisecond, length)) return false;
        }
        SkipSpaces(text, pos);
        if (pos < text.size()) {
            std::string rest = Lower(text.substr(pos));
            bool pm = rest == "pm" || (!s.TimePMString.empty() && text.substr(pos) == s.TimePMString);
            bool am = rest == "am" || (!s.TimeAMString.empty() && text.substr(pos) == s.TimeAMString);
            if (!(am || pm) || r.Hour < 1 || r.Hour > 12) return false;
            r.Hour = r.Hour % 12 + (pm ? 12 : 0);
        }
    }
    std::int64_t t = 0;
    if (!EncodeTimeValue(r, t)) return false;
    f = DecodeTimeValue(t);
    return true;
}

TDateTimeFields ParseDateText(std::string_view text, const TFormatSettings& settings, const TDateTimeFields& now) {
    text = Trim(text);
    TDateTimeFields result;
    if (ParseShortDateText(text, settings, now.Year, result)) return result;

    std::vector<std::string_view> fields;
    std::size_t i = 0;
    auto isSplit = [](char c) { return c == ',' || c == ':' || IsBlank(c); };
    while (i < text.size()) {
        while (i < text.size() && isSplit(text[i])) ++i;
        std::size_t start = i;
        while (i < text.size() && !isSplit(text[i])) ++i;
        if (i > start) fields.push_back(text.substr(start, i - start));
    }
    result = now;
    if (!fields.empty()) {
        std::string name = Lower(fields[0]);
        result.Month = 1;  // a name that is no month means January
        for (std::size_t m = 0; m < kMonthNames.size(); ++m)
            if (name == kMonthNames[m] || name == kMonthNames[m].substr(0, 3)) result.Month = static_cast<int>(m + 1);
    }
    int* numbers[] = {&result.Day, &result.Year, &result.Hour, &result.Minute, &result.Second, &result.Millisecond};
    bool valid = true;
    for (std::size_t k = 0; k < std::size(numbers) && k + 1 < fields.size(); ++k) {
        std::int32_t value = 0;
        if (!TryTextToInteger(fields[k + 1], value)) continue;  // not an integer: keep the current value
        if (value < 0 || value > kMaxDateComponent) valid = false;
        *numbers[k] = value;
    }
    std::int64_t t = 0;
    if (!valid || !EncodeTimeValue(result, t)) return now;
    return DecodeTimeValue(t);
}

}  // namespace kestrel
