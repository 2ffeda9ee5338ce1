// Starting, waiting for and stopping nginx for the web client's tests and benchmarks.
#include "nginx_server.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "python_server.h"

namespace nettest {
namespace fs = std::filesystem;
namespace {

constexpr auto kStartLimit = std::chrono::seconds(20);
constexpr auto kPollStep = std::chrono::milliseconds(50);

}  // namespace

NginxServer::NginxServer() {
    folder_ = fs::temp_directory_path() / ("tinctor-nginx-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "www");
    fs::create_directories(folder_ / "tmp");
    const std::string dir = folder_.string();
    std::string certificate = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
                              "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " + dir +
                              "/key.pem -out " + dir + "/cert.pem 2>/dev/null";
    if (std::system(certificate.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
    plainPort_ = FreePort();
    tlsPort_ = FreePort();
    // The pid file appears once the listening sockets are open. As root nginx would run
    // its workers as nobody, who may not read the folder: they stay root here.
    std::ofstream config(folder_ / "nginx.conf");
    config << (::geteuid() == 0 ? "user root;\n" : "") << "worker_processes 1;\npid " << dir << "/nginx.pid;\n"
           << "error_log " << dir << "/error.log;\nevents { worker_connections 64; }\nhttp {\n"
           << "  access_log off;\n  sendfile on;\n  keepalive_timeout 30;\n";
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        config << "  " << kind << "_temp_path " << dir << "/tmp;\n";
    config << "  server { listen 127.0.0.1:" << plainPort_ << "; root " << dir << "/www; }\n"
           << "  server { listen 127.0.0.1:" << tlsPort_ << " ssl; root " << dir << "/www;\n"
           << "    ssl_certificate " << dir << "/cert.pem; ssl_certificate_key " << dir << "/key.pem; }\n}\n";
    config.close();
    if (!config) throw std::runtime_error("cannot write the nginx configuration");

    pid_ = ::fork();
    if (pid_ == 0) {
        ::execlp("nginx", "nginx", "-p", dir.c_str(), "-c", (dir + "/nginx.conf").c_str(), "-e",
                 (dir + "/error.log").c_str(), "-g", "daemon off;", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (auto end = std::chrono::steady_clock::now() + kStartLimit; !fs::exists(folder_ / "nginx.pid");) {
        int status = 0;
        if (pid_ < 0 || ::waitpid(pid_, &status, WNOHANG) != 0 || std::chrono::steady_clock::now() > end) {
            pid_ = -1;
            std::string log = Log();
            fs::remove_all(folder_);
            throw std::runtime_error("nginx did not start: " + log);
        }
        std::this_thread::sleep_for(kPollStep);
    }
}

NginxServer::~NginxServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::string NginxServer::Url(bool tls, const std::string& path) const {
    return std::string(tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(tls ? tlsPort_ : plainPort_) + path;
}

std::string NginxServer::Log() const {
    std::ifstream in(folder_ / "error.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace nettest
