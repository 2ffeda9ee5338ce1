// The date-time language of the Date object's format: day, month, year, era, clock
// and separator specifiers, read left to right, upper or lower case alike.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <tuple>

#include "script/lib/ecma_format.h"
#include "util/CodePage.h"

namespace kestrel {

namespace {

using tinctor::CodePage;

// The regional forms ("c", "ddddd", "t") are themselves in this language; a form that
// names itself stops here instead of recursing without end.
constexpr int kMaxFormDepth = 2;
constexpr int kHoursPerHalfDay = 12;
constexpr int kMillisecondDigits = 3;

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool StartsWithIgnoreCase(std::string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Upper(s[at + i]) != Upper(word[i])) return false;
    return true;
}

void AppendNumber(std::string& out, int value, int minDigits) {
    char buffer[16];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    int digits = static_cast<int>(end - buffer);
    if (value >= 0 && digits < minDigits) out.append(minDigits - digits, '0');
    out.append(buffer, end);
}

class TDateWriter {
public:
    TDateWriter(const TDateTimeFields& f, const TFormatSettings& s) : f_(f), s_(s) {}

    void Write(std::string& out, std::string_view format, int depth) {
        if (depth > kMaxFormDepth) return;
        const CodePage& cp = CodePage::Current();
        char lastToken = 0;
        std::size_t i = 0;
        while (i < format.size()) {
            std::size_t length = cp.CharLength(format, i);
            if (length > 1) {  // a multi-byte character is text, whatever its bytes look like
                out.append(format, i, length);
                i += length;
                continue;
            }
            char c = format[i];
            char token = Upper(c);
            if (token >= 'A' && token <= 'Z') {
                if (token == 'M' && lastToken == 'H') token = 'N';
                lastToken = token;
            }
            if (c == '\'' || c == '"') {
                std::size_t close = format.find(c, i + 1);
                std::size_t end = close == std::string_view::npos ? format.size() : close;
                out.append(format, i + 1, end - i - 1);
                i = close == std::string_view::npos ? end : close + 1;
                continue;
            }
            if (token == 'A') {
                i = WriteAmPm(out, format, i);
                continue;
            }
            std::size_t count = 1;
            if (token >= 'A' && token <= 'Z')
                while (i + count < format.size() && Upper(format[i + count]) == Upper(c)) ++count;
            std::size_t next = i + count;
            if (!WriteSpecifier(out, token, static_cast<int>(count), format, next, depth)) {
                out += c;
                next = i + 1;
            }
            i = next;
        }
    }

private:
    // False when Token is no specifier (the character is then copied).
    bool WriteSpecifier(std::string& out, char token, int count, std::string_view format, std::size_t next,
                        int depth) {
        switch (token) {
        case 'C':
            Write(out, s_.ShortDateFormat, depth + 1);
            if (f_.Hour || f_.Minute || f_.Second || f_.Millisecond) {
                out += ' ';
                Write(out, s_.LongTimeFormat, depth + 1);
            }
            return true;
        case 'D':
            switch (count) {
            case 1: case 2: AppendNumber(out, f_.Day, count); break;
            case 3: out += s_.ShortDayNames[DayIndex()]; break;
            case 4: out += s_.LongDayNames[DayIndex()]; break;
            case 5: Write(out, s_.ShortDateFormat, depth + 1); break;
            default: Write(out, s_.LongDateFormat, depth + 1); break;
            }
            return true;
        case 'E': {
            const TEra* era = EraOf();
            AppendNumber(out, era ? f_.Year - era->StartYear + era->FirstYear : f_.Year, count == 1 ? 1 : 2);
            return true;
        }
        case 'G':
            if (const TEra* era = EraOf()) out += count == 1 ? era->ShortName : era->Name;
            return true;
        case 'M':
            if (count <= 2) AppendNumber(out, f_.Month, count);
            else out += (count == 3 ? s_.ShortMonthNames : s_.LongMonthNames)[MonthIndex()];
            return true;
        case 'Y':
            if (count <= 2) AppendNumber(out, f_.Year % 100, 2);
            else AppendNumber(out, f_.Year, 4);
            return true;
        case 'H': {
            int hour = f_.Hour;
            if (TwelveHourClockFollows(format, next)) {
                hour %= kHoursPerHalfDay;
                if (hour == 0) hour = kHoursPerHalfDay;
            }
            AppendNumber(out, hour, std::min(count, 2));
            return true;
        }
        case 'N': AppendNumber(out, f_.Minute, std::min(count, 2)); return true;
        case 'S': AppendNumber(out, f_.Second, std::min(count, 2)); return true;
        case 'Z': AppendNumber(out, f_.Millisecond, count == 1 ? 1 : kMillisecondDigits); return true;
        case 'T': Write(out, count == 1 ? s_.ShortTimeFormat : s_.LongTimeFormat, depth + 1); return true;
        case '/': out += s_.DateSeparator; return true;
        case ':': out += s_.TimeSeparator; return true;
        default: return false;
        }
    }

    // "am/pm" and "a/p" copy the letters as written; "ampm" writes the designators.
    std::size_t WriteAmPm(std::string& out, std::string_view format, std::size_t i) {
        bool afternoon = f_.Hour >= kHoursPerHalfDay;
        if (StartsWithIgnoreCase(format, i, "am/pm")) {
            out.append(format, afternoon ? i + 3 : i, 2);
            return i + 5;
        }
        if (StartsWithIgnoreCase(format, i, "a/p")) {
            out += format[afternoon ? i + 2 : i];
            return i + 3;
        }
        if (StartsWithIgnoreCase(format, i, "ampm")) {
            out += afternoon ? s_.TimePMString : s_.TimeAMString;
            return i + 4;
        }
        out += format[i];
        return i + 1;
    }

    // An hour is on the 12-hour clock when an am/pm specifier comes before the next
    // hour specifier (quoted text does not count).
    static bool TwelveHourClockFollows(std::string_view format, std::size_t i) {
        char quote = 0;
        for (; i < format.size(); ++i) {
            char c = format[i];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
            } else if (c == 'a' || c == 'A') {
                return StartsWithIgnoreCase(format, i, "am/pm") || StartsWithIgnoreCase(format, i, "a/p") ||
                       StartsWithIgnoreCase(format, i, "ampm");
            } else if (c == 'h' || c == 'H') {
                return false;
            }
        }
        return false;
    }

    // The era the date falls in (the last that began on or before it), if any.
    const TEra* EraOf() const {
        const TEra* found = nullptr;
        for (const TEra& era : s_.Eras)
            if (std::tie(era.StartYear, era.StartMonth, era.StartDay) <= std::tie(f_.Year, f_.Month, f_.Day))
                found = &era;
        return found;
    }

    int MonthIndex() const { return std::clamp(f_.Month, 1, 12) - 1; }
    int DayIndex() const { return std::clamp(f_.DayOfWeek, 0, 6); }

    const TDateTimeFields& f_;
    const TFormatSettings& s_;
};

}  // namespace

void AppendDateTime(std::string& out, std::string_view format, const TDateTimeFields& fields,
                    const TFormatSettings& settings) {
    TDateWriter(fields, settings).Write(out, format.empty() ? std::string_view("c") : format, 0);
}

std::string FormatDateTime(std::string_view format, const TDateTimeFields& fields, const TFormatSettings& settings) {
    std::string out;
    AppendDateTime(out, format, fields, settings);
    return out;
}

}  // namespace kestrel
