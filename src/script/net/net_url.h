// TUrlInfo: the parts of a web address, how they are rebuilt, and how a location a
// server names is resolved against the address of the request.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

struct TUrlInfo {
    std::string Url;  // the address as given
    std::string Protocol, Username, Password, Host, Port, Path, Directory, FileName, Query;
};

// Protocol and host in lower case; the path keeps its query, which is also split off
// at the last "?" for every protocol but "ftp".
TUrlInfo ParseUrl(std::string_view address);
// The address again; a default port (80 http, 21 ftp, 443 https) is left out, and other
// protocols never write one.
std::string BuildUrl(const TUrlInfo& info);
// Location against Base: absolute, rooted, "./", "../" (never climbing above the
// host) or relative to Base's directory; cut at its first ";".
std::string ResolveUrl(std::string_view base, std::string_view location);

}  // namespace kestrel
