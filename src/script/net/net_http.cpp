// The web client: request, response evaluation, redirection and bounded bodies.
#include "script/net/net_http.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>

#include "script/core/ecma_type.h"
#include "script/net/net_url.h"
#include "util/Base64.h"
#include "script/net/net_text.h"
#include "util/CodePage.h"
#include "util/HugePages.h"

namespace kestrel {

using net::Trim;

namespace {

constexpr std::size_t kVersionStart = 5;  // "1.0" of "HTTP/1.0 200 OK"
constexpr std::size_t kVersionLength = 3;
constexpr std::string_view kRangeUnit = "bytes ";
constexpr std::string_view kProxyHopJoin = "/-_-http://";
constexpr std::string_view kProxyHopEnd = "/-_-";
// Room for Size bytes in Text, in huge pages when it is large.
void ReserveText(std::string& text, std::size_t size) {
    text.reserve(size);
    tinctor::AdviseHugePages(text.data(), text.capacity());
}

std::string Lower(std::string_view text) { return tinctor::CodePage::Current().Lower(text); }

// A decimal number with optional blanks around it; Fallback for anything else.
bool ReadNumber(std::string_view text, std::int64_t& value) {
    std::string trimmed = Trim(text);
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (first != last && *first == '+') ++first;
    auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && first != last;
}
std::int64_t NumberOr(std::string_view text, std::int64_t fallback) {
    std::int64_t value = 0;
    return ReadNumber(text, value) ? value : fallback;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

// Scheme, host and port, with the default port filled in.
std::string OriginOf(std::string_view address) {
    TUrlInfo url = ParseUrl(address);
    std::string protocol = url.Protocol.empty() ? "http" : url.Protocol;
    std::string port = url.Port.empty() ? (protocol == "https" ? "443" : "80") : url.Port;
    return protocol + "://" + url.Host + ":" + port;
}

}  // namespace

TgHTTP::TgHTTP(int bufferSize) : TgSocket(bufferSize) { Port = kHttpDefaultPort; }

TgHTTP::TgHTTP(int socket, int bufferSize) : TgSocket(socket, bufferSize) {}

void TgHTTP::SendRequest(const std::string& method, const std::string& address, const std::string& body) {
    CurrentUrl = address;
    method_ = method.empty() ? "GET" : method;
    Cancelled = false;
    TimedOut = false;
    TUrlInfo url = ParseUrl(address);
    RequestHeaders.Set("Host", url.Port.empty() ? url.Host : url.Host + ":" + url.Port);
    if (!url.Username.empty() || !url.Password.empty()) {
        RequestHeaders.Set("Authorization", "Basic " + tinctor::Base64Encode(url.Username + ":" + url.Password));
        RequestHeaders.Username = url.Username;
        RequestHeaders.Password = url.Password;
    }
    if (CarriesBody(body)) {
        RequestHeaders.Set("Content-Type", "application/x-www-form-urlencoded");
        RequestHeaders.Set("Content-Length", std::to_string(body.size()));
    }
    if (OnRequest) {
        std::string newAddress = address;
        std::string proxy = Proxy;
        OnRequest(*this, newAddress, RequestHeaders, proxy);
        Proxy = proxy;
        CurrentUrl = newAddress;
        url = ParseUrl(newAddress);
    }

    // Line breaks would let an address or a header smuggle in lines or requests.
    bool injected = HasLineBreak(method_) || HasLineBreak(CurrentUrl) || HasLineBreak(Version) || HasLineBreak(Proxy);
    RequestHeaders.ForEach([&](const std::string& name, const std::string& value) {
        injected = injected || HasLineBreak(name) || HasLineBreak(value) || name.find(':') != std::string::npos;
    });
    if (injected) throw EHttpError("line break in the request");

    std::string target = OpenConnection(url);

    Status("rtn>サーバへリクエスト送信", kStatusNormal);
    std::string requestLine = method_ + " " + target + " HTTP/" + Version;
    std::string headers = RequestHeaders.Text();
    SendText(requestLine + "\r\n" + headers + "\r\n");
    Command(requestLine, true);
    for (std::size_t at = 0; at < headers.size();) {
        std::size_t end = headers.find("\r\n", at);
        Command(headers.substr(at, end - at), true);
        at = end + 2;
    }
    if (CarriesBody(body)) SendText(body);
}

std::uint16_t TgHTTP::PortOr(std::string_view text, std::uint16_t fallback) {
    std::int64_t number = NumberOr(text, fallback);
    return static_cast<std::uint16_t>(number > 0 && number <= 0xFFFF ? number : fallback);
}

void TgHTTP::SelectProxy() {
    std::string_view server = std::string_view(Proxy).substr(0, Proxy.find('+'));
    std::size_t colon = server.find(':');
    Host = std::string(server.substr(0, colon));
    Port = colon == std::string_view::npos ? kProxyDefaultPort : PortOr(server.substr(colon + 1), kProxyDefaultPort);
}

std::string TgHTTP::OpenConnection(const TUrlInfo& url) {
    std::string target;
    if (Proxy.empty()) {
        target = url.Path;
        Host = url.Host;
        Port = PortOr(url.Port, kHttpDefaultPort);
    } else {
        target = (url.Protocol.empty() ? "http" : url.Protocol) + "://" + url.Host +
                 (url.Port.empty() ? "" : ":" + url.Port) + url.Path;
        SelectProxy();
        std::string_view proxy = Proxy;
        std::size_t plus = proxy.find('+');
        if (plus != std::string_view::npos) {
            std::string hops(proxy.substr(plus + 1));
            std::string joined;
            for (std::size_t at = 0;;) {
                std::size_t next = hops.find('+', at);
                joined += hops.substr(at, next - at);
                if (next == std::string::npos) break;
                joined += kProxyHopJoin;
                at = next + 1;
            }
            target = "http://" + joined + std::string(kProxyHopEnd) + target;
        }
    }
    if (target.empty()) target = "/";
    Connect();
    return target;
}

std::string TgHTTP::ReadHeaderLine() {
    try {
        std::string line = ReadLine(kMaxHeaderLine);
        if (!line.empty()) Status("res>" + line, kStatusNormal);
        return line;
    } catch (const ELineTooLong&) {
        throw EHttpError("header line too long");
    }
}

void TgHTTP::ApplyHeaderLine(const std::string& line) {
    if (line.starts_with("HTTP")) {
        sawStatusLine_ = true;
        std::size_t blank = line.find(' ');
        std::string status = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        std::size_t second = status.find(' ');
        StatusCode = static_cast<int>(NumberOr(status.substr(0, second), kStatusNotANumber));
        if (StatusCode < 0 || StatusCode > 0xFFFF) StatusCode = kStatusNotANumber;
        StatusText = second == std::string::npos ? std::string() : status.substr(second + 1);
        ResponseHeaders.Version = line.size() > kVersionStart ? line.substr(kVersionStart, kVersionLength) : "";
        return;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) return;
    std::string name = Lower(line.substr(0, colon));
    std::string value = Trim(std::string_view(line).substr(colon + 1));
    if (name == "set-cookie")
        ResponseHeaders.Cookies.Parse(CurrentUrl, value);
    else
        ResponseHeaders.Set(name, std::move(value));
}

void TgHTTP::ReadResponse() {
    Status("rtn>サーバからのレスポンス", kStatusNormal);
    do {
        ResponseHeaders.Clear();
        Location.clear();
        RawHeader.clear();
        FileName.clear();
        StatusCode = 0;
        StatusText.clear();
        ContentLength = -1;
        announcedLength_ = -1;
        sawStatusLine_ = false;
        for (std::size_t lines = 0;; ++lines) {
            std::string line = ReadHeaderLine();
            if (line.empty()) break;
            RawHeader += line + "\r\n";
            if (lines >= kMaxHeaderLines || RawHeader.size() > kMaxHeaderBytes) throw EHttpError("header too long");
            ApplyHeaderLine(line);
        }
        // An interim reply (100 Continue, 103 Early Hints) is followed by the real one.
    } while (sawStatusLine_ && StatusCode >= 100 && StatusCode < 200 && !AtEndOfData());
    LastResponse = RawHeader;

    if (OnResponse) OnResponse(*this, CurrentUrl, ResponseHeaders, StatusCode, Location, StatusText, Proxy);
    if (ResponseHeaders.Has("content-location"))
        Location = ResolveUrl(CurrentUrl, ResponseHeaders.Get("content-location"));
    if (ResponseHeaders.Has("location")) Location = ResolveUrl(CurrentUrl, ResponseHeaders.Get("location"));
    if (ResponseHeaders.Has("content-length")) {
        std::string text = ResponseHeaders.Get("content-length");
        ContentLength = NumberOr(text, 0);
        if (ReadNumber(text, announcedLength_) && announcedLength_ < 0) announcedLength_ = -1;
    }
    if (ResponseHeaders.Has("content-range") && ContentLength == -1) {
        std::string range = ResponseHeaders.Get("content-range");
        std::string_view rest = std::string_view(range).substr(std::min(range.size(), kRangeUnit.size()));
        std::size_t dash = rest.find('-');
        std::size_t slash = rest.find('/');
        std::int64_t start = NumberOr(rest.substr(0, dash), 0);
        std::int64_t total = slash == std::string_view::npos ? 0 : NumberOr(rest.substr(slash + 1), 0);
        if (total != 0) ContentLength = total - start;
    }
    if (ResponseHeaders.Has("content-disposition")) {
        const std::string disposition = ResponseHeaders.Get("content-disposition");
        for (std::size_t at = 0; at < disposition.size();) {
            std::size_t end = std::min(disposition.find(';', at), disposition.size());
            std::string piece = Trim(std::string_view(disposition).substr(at, end - at));
            if (Lower(piece.substr(0, 9)) == "filename=") {
                FileName = piece.substr(9);
                FileName.erase(std::remove(FileName.begin(), FileName.end(), '"'), FileName.end());
            }
            at = end + 1;
        }
    }
    if (StatusCode == 401 && OnAuthenticationNeeded) OnAuthenticationNeeded(*this);
    if (StatusCode >= 400) throw EProtocolError("http", static_cast<std::uint16_t>(StatusCode), StatusText);
}

bool TgHTTP::CarriesBody(const std::string& body) const {
    return !body.empty() && (method_ == "POST" || method_ == "PUT" || method_ == "TRACE");
}

bool TgHTTP::HasBody() const {
    return method_ != "HEAD" && StatusCode != 204 && StatusCode != 304;
}

void TgHTTP::ReceiveExactly(std::int64_t count, const TSink& sink) {
    char* chunk = TransferBuffer();
    while (count > 0) {
        std::size_t got = Receive(chunk, static_cast<std::size_t>(std::min<std::int64_t>(count, BufferSize())));
        if (got == 0) throw EHttpError("connection closed before the end of the body");
        sink(chunk, got);
        count -= static_cast<std::int64_t>(got);
    }
}

void TgHTTP::ReceiveChunked(const TSink& sink) {
    for (;;) {
        std::string line = ReadHeaderLine();
        std::string_view size = line;
        size = size.substr(0, size.find(';'));
        std::string digits = Trim(size);
        std::uint64_t count = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count, 16);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
            count > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            throw EHttpError("bad chunk size");
        if (count == 0) break;
        ReceiveExactly(static_cast<std::int64_t>(count), sink);
        if (!ReadHeaderLine().empty()) throw EHttpError("bad chunk end");
    }
    // The trailer, up to its empty line.
    for (std::size_t lines = 0; !ReadHeaderLine().empty();)
        if (++lines > kMaxHeaderLines) throw EHttpError("header too long");
}

void TgHTTP::ReceiveBody(const TSink& sink) {
    if (!HasBody()) return;
    if (Lower(ResponseHeaders.Get("transfer-encoding")).find("chunked") != std::string::npos) {
        ReceiveChunked(sink);
    } else if (announcedLength_ >= 0) {
        ReceiveExactly(announcedLength_, sink);
    } else {
        char* chunk = TransferBuffer();
        while (std::size_t got = Receive(chunk, static_cast<std::size_t>(BufferSize()))) sink(chunk, got);
    }
}

void TgHTTP::Run(const TRun& run, std::string address, const std::string& body, const TSink* sink) {
    const std::string verb = run.verb;
    Status("nfo>" + address + "を" + verb + "します", kStatusInfo);
    try {
        for (int hops = 0;; ++hops) {
            SendRequest(run.method, address, body);
            ReadResponse();
            bool done = true;
            if (!Location.empty() && StatusCode >= 300 && StatusCode < 400) {
                if (run.autoRedirect && AutoRedirect) done = false;
                else if (OnRedirect) OnRedirect(*this, done, Location);
            }
            if (done) {
                if (sink) ReceiveBody(*sink);
                Disconnect();
                break;
            }
            if (hops >= kMaxRedirects) throw EHttpError("too many redirects");
            // Credentials and a script's cookies are for the origin they were given to.
            if (OriginOf(Location) != OriginOf(address)) {
                RequestHeaders.Remove("Authorization");
                RequestHeaders.Remove("Cookie");
            }
            address = Location;
            Status("nfo>" + address + "にredirectします", kStatusInfo);
            Disconnect();
        }
    } catch (...) {
        // A failing handler must not hide the request's own error.
        try {
            Disconnect();
        } catch (...) {
        }
        Status("nfo>" + address + "の" + verb + "異常終了", kStatusInfo);
        if (OnFailure) OnFailure(run.kind);
        throw;
    }
    if (OnSuccess) OnSuccess(run.kind);
    Status("nfo>" + address + "の" + verb + "正常終了", kStatusInfo);
}

TgHTTP::TSink TgHTTP::TextSink(std::string& text) {
    return [this, &text](const char* data, std::size_t count) {
        if (count > TJString::kMaxLength - std::min(text.size(), TJString::kMaxLength))
            throw EHttpError("body too long for a text");
        if (text.size() + count > text.capacity()) {
            // An announced length is room made once; otherwise the room doubles.
            std::size_t room = text.empty() && announcedLength_ > 0
                                   ? static_cast<std::size_t>(std::min<std::int64_t>(announcedLength_, TJString::kMaxLength))
                                   : 2 * text.capacity();
            ReserveText(text, std::max(room, text.size() + count));
        }
        text.append(data, count);
    };
}

void TgHTTP::Get(std::string address, std::string& text) {
    TSink sink = TextSink(text);
    Run({kHttpGet, "get", "GET", true}, std::move(address), "", &sink);
}

void TgHTTP::GetFile(std::string address, const std::string& fileName) {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file) throw ELocalError("cannot create " + fileName);
    TSink sink = [&file](const char* data, std::size_t count) {
        if (!file.write(data, static_cast<std::streamsize>(count))) throw ELocalError("write error");
    };
    Run({kHttpGet, "get", "GET", true}, std::move(address), "", &sink);
    if (!file.flush()) throw ELocalError("write error");
}

void TgHTTP::Head(std::string address) { Run({kHttpHead, "head", "HEAD", false}, std::move(address), "", nullptr); }

void TgHTTP::Post(std::string address, const std::string& body, std::string& text) {
    TSink sink = TextSink(text);
    Run({kHttpPost, "post", "POST", true}, std::move(address), body, &sink);
}

}  // namespace kestrel
