// Fuzz target of the address parser: parse, rebuild and resolve any text against any
// base, and the cookie parser and dates on the same bytes (fuzz/run.sh url).
#include <cstdint>
#include <string>
#include <string_view>

#include "script/net/net_cookie.h"
#include "script/net/net_url.h"

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // A tab (if any) separates the base from the location.
    std::size_t tab = input.find('\t');
    std::string_view base = input.substr(0, tab);
    std::string_view location = tab == std::string_view::npos ? input : input.substr(tab + 1);

    TUrlInfo info = ParseUrl(base);
    std::string rebuilt = BuildUrl(info);
    // Rebuilding is stable (a rebuilt address rebuilds to itself) when no part holds a
    // delimiter of another part.
    auto plain = [](const std::string& part, const char* delimiters) {
        return part.find_first_of(delimiters) == std::string::npos;
    };
    if (!info.Protocol.empty() && plain(info.Protocol, "/:@") && plain(info.Host, "/:@") &&
        plain(info.Port, "/:@") && plain(info.Username, "/:@") && plain(info.Password, "/@") &&
        BuildUrl(ParseUrl(rebuilt)) != rebuilt)
        __builtin_trap();
    (void)ResolveUrl(base, location);

    TCookie cookie;
    cookie.Parse(base, location);
    (void)cookie.RequestText();
    (void)cookie.SetCookieText();
    double day = ParseCookieDate(location);
    if (day != 0 && ParseCookieDate(FormatCookieDate(day)) != day) __builtin_trap();
    return 0;
}
