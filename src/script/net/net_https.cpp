// TLS for the web client: the handshake and the record layer over TgSocket's waits.
#include "script/net/net_https.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>

namespace kestrel {

namespace {

// Only a certificate out of its validity dates is forgiven.
int AcceptDateErrors(int preverified, X509_STORE_CTX* store) {
    if (preverified) return 1;
    int error = X509_STORE_CTX_get_error(store);
    return error == X509_V_ERR_CERT_HAS_EXPIRED || error == X509_V_ERR_CERT_NOT_YET_VALID;
}

std::string LastTlsError() {
    unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) return "TLS error";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

bool IsDottedAddress(const std::string& host) {
    in_addr address{};
    return ::inet_pton(AF_INET, host.c_str(), &address) == 1;
}

}  // namespace

TgHTTPS::TgHTTPS(int bufferSize) : TgHTTP(bufferSize) {}

TgHTTPS::~TgHTTPS() {
    FreeTls();
    if (context_) SSL_CTX_free(context_);
}

void TgHTTPS::FreeTls() {
    if (!ssl_) return;
    SSL_free(ssl_);
    ssl_ = nullptr;
}

void TgHTTPS::TransportClosing() {
    if (ssl_) SSL_shutdown(ssl_);  // best effort close_notify; the socket closes anyway
    FreeTls();
}

bool TgHTTPS::CarriesBody(const std::string& body) const { return !body.empty() && Method() == "POST"; }

void TgHTTPS::ConnectReported() {
    try {
        Connect();
    } catch (const EgSocket&) {
        Status("err>" + Host + ":" + std::to_string(Port) + "にconnect失敗しました", kStatusNormal);
        if (OnInvalidHost) {
            bool retry = false;
            OnInvalidHost(retry);
        }
        if (OnConnectionFailed) OnConnectionFailed(*this);
        if (OnError) OnError(*this, LastError & 0xFFFF, "connect error");
        throw ESocketError(LastError);
    }
}

std::string TgHTTPS::OpenConnection(const TUrlInfo& url) {
    FreeTls();
    bool secure = url.Protocol == "https";
    if (!secure) {
        TUrlInfo plain = url;
        if (plain.Port.empty()) plain.Port = std::to_string(kHttpDefaultPort);
        return TgHTTP::OpenConnection(plain);
    }
    std::uint16_t port = PortOr(url.Port, kHttpsDefaultPort);
    secureHost_ = url.Host;
    securePort_ = port;
    if (Proxy.empty()) {
        Host = url.Host;
        Port = port;
        ConnectReported();
    } else {
        SelectProxy();
        ConnectReported();
        OpenTunnel(url.Host, std::to_string(port));
    }
    Handshake(url.Host);
    return url.Path.empty() ? "/" : url.Path;
}

void TgHTTPS::ConnectSecure() {
    TUrlInfo server;
    server.Protocol = "https";
    server.Host = Proxy.empty() ? Host : secureHost_;
    std::uint16_t port = Proxy.empty() ? Port : securePort_;
    if (server.Host.empty()) throw ETlsError("no https server to connect to");
    if (port != 0) server.Port = std::to_string(port);
    OpenConnection(server);
}

void TgHTTPS::OpenTunnel(const std::string& host, const std::string& port) {
    std::string line = "CONNECT " + host + ":" + port + " HTTP/1.0";
    SendText(line + "\r\nHost: " + host + ":" + port + "\r\n\r\n");
    Command(line, true);
    std::string status = ReadLine(kMaxHeaderLine);
    Status("res>" + status, kStatusNormal);
    std::size_t blank = status.find(' ');
    bool established = status.starts_with("HTTP/") && blank != std::string::npos && status.compare(blank + 1, 3, "200") == 0;
    for (std::size_t lines = 0; !ReadLine(kMaxHeaderLine).empty();)
        if (++lines > kMaxHeaderLines) throw EHttpError("header too long");
    if (!established) throw ETlsError("proxy refused the tunnel: " + status);
}

void TgHTTPS::Handshake(const std::string& host) {
    // The server speaks first only after the client's hello: bytes already read ahead
    // (a proxy's stray data) would be taken for TLS records.
    if (Buffered() > 0) throw ETlsError("data before the TLS handshake");
    if (!context_) {
        context_ = SSL_CTX_new(TLS_client_method());
        if (!context_) throw ETlsError(LastTlsError());
        SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
        SSL_CTX_set_default_verify_paths(context_);
        SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, AcceptDateErrors);
        SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
        SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    }
    ssl_ = SSL_new(context_);
    if (!ssl_ || SSL_set_fd(ssl_, Handle()) != 1) throw ETlsError(LastTlsError());
    if (IsDottedAddress(host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), host.c_str());
    } else {
        SSL_set_tlsext_host_name(ssl_, host.c_str());
        SSL_set1_host(ssl_, host.c_str());
    }
    for (;;) {
        ERR_clear_error();
        int result = SSL_connect(ssl_);
        if (result == 1) break;
        int error = SSL_get_error(ssl_, result);
        if (error == SSL_ERROR_WANT_READ) {
            WaitFor(TWait::Read);
        } else if (error == SSL_ERROR_WANT_WRITE) {
            WaitFor(TWait::Write);
        } else {
            long verify = SSL_get_verify_result(ssl_);
            std::string reason = verify != X509_V_OK ? std::string("certificate verify failed: ") +
                                                           X509_verify_cert_error_string(verify)
                                                     : LastTlsError();
            Status("err>" + reason, kStatusNormal);
            FreeTls();
            throw ETlsError(reason);
        }
    }
    Status("suc>TLS " + std::string(SSL_get_version(ssl_)) + " " + SSL_get_cipher_name(ssl_), kStatusRoutine);
}

long TgHTTPS::TransportReceive(char* buffer, std::size_t size) {
    if (!ssl_) return TgHTTP::TransportReceive(buffer, size);
    ERR_clear_error();
    std::size_t count = 0;
    int result = SSL_read_ex(ssl_, buffer, size, &count);
    if (result == 1) return static_cast<long>(count);
    switch (SSL_get_error(ssl_, 0)) {
    case SSL_ERROR_ZERO_RETURN: return 0;
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE: errno = EAGAIN; return -1;
    case SSL_ERROR_SYSCALL: if (errno == 0) return 0; return -1;
    default: errno = EPROTO; return -1;
    }
}

long TgHTTPS::TransportSend(const char* data, std::size_t count) {
    if (!ssl_) return TgHTTP::TransportSend(data, count);
    ERR_clear_error();
    std::size_t written = 0;
    if (SSL_write_ex(ssl_, data, count, &written) == 1) return static_cast<long>(written);
    switch (SSL_get_error(ssl_, 0)) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE: errno = EAGAIN; return -1;
    case SSL_ERROR_SYSCALL: if (errno == 0) errno = EPIPE; return -1;
    default: errno = EPROTO; return -1;
    }
}

}  // namespace kestrel
