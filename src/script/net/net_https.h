// TgHTTPS: the web client over TLS (OpenSSL on the system's own socket connection) for
// "https" addresses, plain HTTP for others. TLS 1.2 or later, the server name sent,
// the certificate checked against the system's trust store (default verify paths, so
// SSL_CERT_FILE is honoured) and the host name; a certificate out of its validity
// dates is accepted, nothing else is. Through a proxy a CONNECT tunnel carries it.
#pragma once

#include <string>

#include "script/net/net_http.h"

struct ssl_ctx_st;
struct ssl_st;

namespace kestrel {

// A TLS handshake or tunnel that failed: the reason is in the message.
class ETlsError : public EgSocket {
public:
    using EgSocket::EgSocket;
};

inline constexpr int kHttpsDefaultPort = 443;

class TgHTTPS : public TgHTTP {
public:
    explicit TgHTTPS(int bufferSize);
    ~TgHTTPS() override;

    // Connects to Host:Port and speaks TLS over it, the way a request to an https
    // address does; through the proxy's tunnel to the last https server when a proxy
    // is set (Host and Port are then the proxy's).
    void ConnectSecure();

protected:
    std::string OpenConnection(const TUrlInfo& url) override;
    bool CarriesBody(const std::string& body) const override;
    long TransportReceive(char* buffer, std::size_t size) override;
    long TransportSend(const char* data, std::size_t count) override;
    void TransportClosing() override;

private:
    void ConnectReported();
    void OpenTunnel(const std::string& host, const std::string& port);
    void Handshake(const std::string& host);
    void FreeTls();

    ssl_ctx_st* context_ = nullptr;
    ssl_st* ssl_ = nullptr;
    // The server of the last https address, the tunnel's end for ConnectSecure.
    std::string secureHost_;
    std::uint16_t securePort_ = 0;
};

}  // namespace kestrel
