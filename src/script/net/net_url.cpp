// Parsing, rebuilding and resolving web addresses.
#include "script/net/net_url.h"

#include <algorithm>

#include "script/net/net_text.h"
#include "util/CodePage.h"

namespace kestrel {

using net::Trim;

namespace {

constexpr std::string_view kSchemeMark = "://";

std::string Lower(std::string_view text) { return tinctor::CodePage::Current().Lower(std::string(text)); }

struct TDefaultPort {
    std::string_view protocol, port;
};
constexpr TDefaultPort kDefaultPorts[] = {{"http", "80"}, {"ftp", "21"}, {"https", "443"}};

TUrlInfo WithPath(std::string_view base, std::string path) {
    TUrlInfo info = ParseUrl(base);
    info.Path = std::move(path);
    return info;
}

}  // namespace

TUrlInfo ParseUrl(std::string_view address) {
    TUrlInfo info;
    info.Url = std::string(address);
    std::string_view rest = address;
    if (std::size_t mark = rest.find(kSchemeMark); mark != std::string_view::npos) {
        info.Protocol = Lower(rest.substr(0, mark));
        rest.remove_prefix(mark + kSchemeMark.size());
    }
    std::string_view hostPart = rest, path = "/";
    if (std::size_t slash = rest.find('/'); slash != std::string_view::npos) {
        hostPart = rest.substr(0, slash);
        path = rest.substr(slash);
    }
    if (std::size_t at = hostPart.find('@'); at != std::string_view::npos) {
        std::string_view user = hostPart.substr(0, at);
        hostPart.remove_prefix(at + 1);
        std::size_t colon = user.find(':');
        info.Username = std::string(user.substr(0, colon));
        if (colon != std::string_view::npos) info.Password = std::string(user.substr(colon + 1));
    }
    if (std::size_t colon = hostPart.find(':'); colon != std::string_view::npos) {
        info.Port = Trim(hostPart.substr(colon + 1));
        hostPart = hostPart.substr(0, colon);
    }
    info.Host = Lower(hostPart);
    info.Path = std::string(path);
    std::string_view withoutQuery = path;
    if (info.Protocol != "ftp") {
        if (std::size_t question = path.rfind('?'); question != std::string_view::npos) {
            info.Query = std::string(path.substr(question));
            withoutQuery = path.substr(0, question);
        }
    }
    std::size_t slash = withoutQuery.rfind('/');
    std::size_t split = slash == std::string_view::npos ? 0 : slash + 1;
    info.Directory = std::string(withoutQuery.substr(0, split));
    info.FileName = std::string(withoutQuery.substr(split));
    return info;
}

std::string BuildUrl(const TUrlInfo& info) {
    std::string url = info.Protocol + std::string(kSchemeMark);
    if (!info.Username.empty()) url += info.Username + ":" + info.Password + "@";
    url += info.Host;
    const TDefaultPort* known = std::find_if(std::begin(kDefaultPorts), std::end(kDefaultPorts),
                                             [&](const TDefaultPort& p) { return p.protocol == info.Protocol; });
    if (!info.Port.empty() && known != std::end(kDefaultPorts) && known->port != info.Port) url += ":" + info.Port;
    return url + info.Path;
}

std::string ResolveUrl(std::string_view base, std::string_view location) {
    location = location.substr(0, location.find(';'));
    if (location.find(kSchemeMark) != std::string_view::npos) return std::string(location);
    if (location.starts_with("/")) return BuildUrl(WithPath(base, std::string(location)));
    TUrlInfo parts = ParseUrl(base);
    if (location.starts_with("./")) return BuildUrl(WithPath(base, parts.Directory + std::string(location.substr(2))));
    if (location.starts_with("../")) {
        std::string start = BuildUrl(WithPath(base, parts.Directory));
        if (!start.empty()) start.pop_back();
        const std::size_t hostStart = start.find(kSchemeMark);
        const std::size_t floor = hostStart == std::string::npos ? 0 : hostStart + kSchemeMark.size();
        while (location.starts_with("../")) {
            location.remove_prefix(3);
            // Never above the host: the text after "://" must keep a "/".
            std::size_t slash = start.rfind('/');
            if (slash != std::string::npos && slash >= floor) start.erase(slash);
        }
        return start + "/" + std::string(location);
    }
    return BuildUrl(WithPath(base, parts.Directory + std::string(location)));
}

}  // namespace kestrel
