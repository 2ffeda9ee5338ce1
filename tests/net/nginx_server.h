// Debian's nginx for the web client's tests and benchmarks: a plain and a TLS server on
// 127.0.0.1, ephemeral ports, a folder of its own (configuration, logs, the files it
// serves, a certificate for 127.0.0.1 made for the run), stopped and removed at the end.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace nettest {

class NginxServer {
public:
    // Starts nginx and waits until it listens; throws std::runtime_error with its log
    // when it does not.
    NginxServer();
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // The folder served; files put there are served at once.
    std::filesystem::path Root() const { return folder_ / "www"; }
    // The server's certificate, for a client that trusts it (SSL_CERT_FILE).
    std::filesystem::path Certificate() const { return folder_ / "cert.pem"; }
    // The address of Path ("/name") on the plain or the TLS server.
    std::string Url(bool tls, const std::string& path) const;

private:
    std::string Log() const;

    std::filesystem::path folder_;
    int plainPort_ = 0;
    int tlsPort_ = 0;
    pid_t pid_ = -1;
};

}  // namespace nettest
