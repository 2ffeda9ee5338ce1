// The cookie jar and the cookie date form.
#include "script/net/net_cookie.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "script/lib/ecma_datetime.h"
#include "script/net/net_text.h"
#include "script/net/net_url.h"
#include "util/CodePage.h"

namespace kestrel {

using net::Trim;
using net::SameIgnoringCase;

namespace {

constexpr std::size_t kCookieBuckets = 101;
constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// Two-digit years of RFC 850: below 70 are in the 2000s.
constexpr int kCenturyPivot = 70;

int MonthOf(std::string_view name) {
    for (int i = 0; i < 12; ++i)
        if (SameIgnoringCase(name, kMonthNames[i])) return i + 1;
    return 0;
}

}  // namespace

TCookie::TCookie() : values_(kCookieBuckets, false) {}

TCookie::TCookie(const TCookie& other) : TCookie() { *this = other; }

TCookie& TCookie::operator=(const TCookie& other) {
    if (this == &other) return *this;
    Domain = other.Domain;
    Path = other.Path;
    Expires = other.Expires;
    Secure = other.Secure;
    values_.Clear();
    other.values_.ForEach([this](const std::string& key, const std::string& value) { values_.Put(key, value); });
    return *this;
}

void TCookie::Clear() {
    values_.Clear();
    Domain.clear();
    Path = "/";
    Expires = 0;
    Secure = false;
}

void TCookie::Parse(std::string_view address, std::string_view text) {
    if (address.empty()) {
        Domain.clear();
        Path.clear();
    } else {
        TUrlInfo info = ParseUrl(address);
        Domain = info.Host;
        Path = info.Path;
    }
    while (!text.empty()) {
        std::size_t end = text.find(';');
        std::string_view piece = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        std::size_t equals = piece.find('=');
        if (equals == std::string_view::npos) continue;
        std::string name = Trim(piece.substr(0, equals));
        std::string value = Trim(piece.substr(equals + 1));
        if (SameIgnoringCase(name, "expires"))
            Expires = ParseCookieDate(value);
        else if (SameIgnoringCase(name, "domain"))
            Domain = value;
        else if (SameIgnoringCase(name, "path"))
            Path = value;
        else
            values_.Put(name, std::move(value));
    }
}

std::string TCookie::RequestText() const {
    std::string text;
    values_.ForEach([&](const std::string& key, const std::string& value) {
        if (!value.empty()) text += key + "=" + value + ";";
    });
    return text;
}

std::string TCookie::SetCookieText() const {
    std::string text;
    if (Expires != 0) text += "expires=" + FormatCookieDate(Expires) + ";";
    if (!Domain.empty()) text += "domain=" + Domain + ";";
    text += "path=" + (Path.empty() ? std::string("/") : Path) + ";";
    if (Secure) text += "secure;";
    values_.ForEach([&](const std::string& key, const std::string& value) { text += key + "=" + value + ";"; });
    return text;
}

std::string FormatCookieDate(double days) {
    double ms = std::round((days - kUnixEpochDay) * double(kMsPerDay));
    if (!InTimeRange(ms)) return "";
    TDateTimeFields f = DecodeTimeValue(static_cast<std::int64_t>(ms));
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDayNames[f.DayOfWeek], f.Day,
                  kMonthNames[f.Month - 1], f.Year, f.Hour, f.Minute, f.Second);
    return text;
}

double ParseCookieDate(std::string_view text) {
    std::string s = Trim(text);
    // The weekday (and its comma) is only decoration.
    if (std::size_t comma = s.find(','); comma != std::string::npos) s = Trim(std::string_view(s).substr(comma + 1));
    TDateTimeFields f;
    char month[4] = {};
    char zone[8] = {};
    int consumed = 0;
    bool read = false;
    // "09 Jun 2021 10:18:14 GMT", "09-Jun-2021 ..." and "09-Jun-21 ...".
    if (std::sscanf(s.c_str(), "%2d%*[ -]%3[A-Za-z]%*[ -]%4d %2d:%2d:%2d %7s%n", &f.Day, month, &f.Year, &f.Hour,
                    &f.Minute, &f.Second, zone, &consumed) == 7 &&
        static_cast<std::size_t>(consumed) == s.size()) {
        read = SameIgnoringCase(zone, "GMT") || SameIgnoringCase(zone, "UTC");
        if (f.Year < 100) f.Year += f.Year < kCenturyPivot ? 2000 : 1900;
    } else {
        // asctime: "Wed Jun  9 10:18:14 2021".
        char weekday[4] = {};
        if (std::sscanf(s.c_str(), "%3s %3s %2d %2d:%2d:%2d %4d%n", weekday, month, &f.Day, &f.Hour, &f.Minute,
                        &f.Second, &f.Year, &consumed) == 7 &&
            static_cast<std::size_t>(consumed) == s.size())
            read = true;
    }
    if (!read) return 0;
    f.Month = MonthOf(month);
    f.Millisecond = 0;
    std::int64_t t = 0;
    if (f.Month == 0 || !EncodeTimeValue(f, t)) return 0;
    return double(t) / double(kMsPerDay) + kUnixEpochDay;
}

}  // namespace kestrel
