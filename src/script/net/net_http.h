// TgHTTP: the web client on TgSocket. One connection per request (HTTP/1.0 unless a
// script sets Version): it sends the request, reads and evaluates the status line and
// headers, keeps the cookies the server set, follows redirections and receives the
// body into text or a file, bounded so no server can make it wait or grow for ever.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "script/net/net_headers.h"
#include "script/net/net_socket.h"
#include "script/net/net_url.h"

namespace kestrel {

// A reply or request the client refuses: an oversized header, a body cut short or too
// long for a text, a bad chunk, a redirect loop, a request that would inject lines.
class EHttpError : public EgSocket {
public:
    using EgSocket::EgSocket;
};

// The kinds OnSuccess and OnFailure report.
inline constexpr int kHttpGet = 0;
inline constexpr int kHttpHead = 2;
inline constexpr int kHttpPost = 5;

inline constexpr int kHttpDefaultPort = 80;
inline constexpr int kProxyDefaultPort = 8080;
inline constexpr int kMaxRedirects = 20;
inline constexpr std::size_t kMaxHeaderLine = 64 * 1024;
inline constexpr std::size_t kMaxHeaderBytes = 1024 * 1024;
inline constexpr std::size_t kMaxHeaderLines = 1000;
inline constexpr int kStatusNotANumber = 999;

class TgHTTP : public TgSocket {
public:
    explicit TgHTTP(int bufferSize);
    // Reads a response from a connection made elsewhere (an accepted socket, or one end
    // of a socket pair the response parser is fed through).
    TgHTTP(int socket, int bufferSize);

    TRequestHeaders RequestHeaders;
    TResponseHeaders ResponseHeaders;
    std::string Version = "1.0";
    std::string RawHeader;
    std::string Location;
    std::string CurrentUrl;
    std::int64_t ContentLength = -1;
    std::string FileName;
    bool AutoRedirect = false;
    std::string Proxy;
    int StatusCode = 0;
    std::string StatusText;

    std::function<void(TgHTTP& sender, std::string& address, TRequestHeaders& headers, std::string& proxy)>
        OnRequest;
    std::function<void(TgHTTP& sender, const std::string& address, TResponseHeaders& headers, int& statusCode,
                       std::string& location, const std::string& statusText, const std::string& proxy)>
        OnResponse;
    std::function<void(TgHTTP& sender, bool& done, const std::string& location)> OnRedirect;
    std::function<void(TgHTTP& sender)> OnAuthenticationNeeded;
    std::function<void(int kind)> OnFailure, OnSuccess;

    // Connects and sends the request (its body only for methods that carry one, or for
    // POST alone when BodyOnlyForPost); CR, LF or NUL anywhere in the request line or a
    // header is refused before connecting.
    virtual void SendRequest(const std::string& method, const std::string& address, const std::string& body);
    // Reads the status line and headers (interim 1xx replies skipped) and evaluates them.
    virtual void ReadResponse();

    void Get(std::string address, std::string& text);
    void GetFile(std::string address, const std::string& fileName);
    void Head(std::string address);
    void Post(std::string address, const std::string& body, std::string& text);

    // The method of the request under way.
    const std::string& Method() const { return method_; }

    using TSink = std::function<void(const char* data, std::size_t count)>;
    // Receives the body the response announced into Sink (after ReadResponse).
    void ReceiveBody(const TSink& sink);

protected:
    // Connects for URL (directly or to the proxy) and returns the request target.
    virtual std::string OpenConnection(const TUrlInfo& url);
    // Whether the request under way sends Body (and announces it in its headers).
    virtual bool CarriesBody(const std::string& body) const;
    // Host and Port become the proxy's (8080 when it names no port), "+hop"s left out.
    void SelectProxy();
    // A port text as a number; Fallback when it is none or out of range.
    static std::uint16_t PortOr(std::string_view text, std::uint16_t fallback);
    // Applies one header line (the status line included) to the response fields.
    void ApplyHeaderLine(const std::string& line);

private:
    struct TRun {
        int kind;
        const char* verb;  // "get", "head", "post"
        const char* method;
        bool autoRedirect;
    };
    void Run(const TRun& run, std::string address, const std::string& body, const TSink* sink);
    void ReceiveExactly(std::int64_t count, const TSink& sink);
    void ReceiveChunked(const TSink& sink);
    std::string ReadHeaderLine();
    bool HasBody() const;
    // Appends body bytes to Text, within the script string limit, growing it in few steps.
    TSink TextSink(std::string& text);

    std::string method_;
    std::int64_t announcedLength_ = -1;  // the Content-Length header when it is a number
    bool sawStatusLine_ = false;
};

}  // namespace kestrel
