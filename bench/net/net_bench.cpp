// Throughput of the web client and the socket on loopback beside curl: nginx serves a
// 512 MiB and a 64 MiB file over HTTP and HTTPS (a certificate made for the run), a
// python3 peer sends 512 MiB and 10^6 short lines. Bytes per second of wall time are
// reported (curl works in a child process, so its CPU time says nothing).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "nginx_server.h"
#include "script/net/net_https.h"

using namespace kestrel;

namespace {

constexpr std::int64_t kMiB = 1 << 20;
constexpr std::int64_t kBigFile = 512 * kMiB;
constexpr std::int64_t kTextFile = 64 * kMiB;
constexpr int kBufferSize = 65536;
constexpr int kLineCount = 1000000;

int Run(const std::string& command) { return std::system(command.c_str()); }

// nginx over a folder with the two files; the client trusts its certificate.
class Nginx {
public:
    Nginx() {
        try {
            server_ = std::make_unique<nettest::NginxServer>();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return;
        }
        auto fill = [&](const char* name, std::int64_t size) {
            Run("head -c " + std::to_string(size) + " /dev/urandom > " + (server_->Root() / name).string());
        };
        fill("big", kBigFile);
        fill("text", kTextFile);
        ::setenv("SSL_CERT_FILE", server_->Certificate().c_str(), 1);
    }
    bool Ready() const { return server_ != nullptr; }
    std::string Url(bool tls, const char* name) const { return server_->Url(tls, std::string("/") + name); }

private:
    std::unique_ptr<nettest::NginxServer> server_;
};

Nginx& Server() {
    static Nginx nginx;
    return nginx;
}

void GetFile(benchmark::State& state, bool tls) {
    if (!Server().Ready()) return state.SkipWithError("nginx did not start");
    for (auto _ : state) {
        TgHTTPS http(kBufferSize);
        http.GetFile(Server().Url(tls, "big"), "/dev/null");
    }
    state.SetBytesProcessed(state.iterations() * kBigFile);
}

void GetText(benchmark::State& state, bool tls) {
    if (!Server().Ready()) return state.SkipWithError("nginx did not start");
    for (auto _ : state) {
        TgHTTPS http(kBufferSize);
        std::string text;
        http.Get(Server().Url(tls, "text"), text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * kTextFile);
}

void Curl(benchmark::State& state, bool tls, const char* name, std::int64_t size) {
    if (!Server().Ready()) return state.SkipWithError("nginx did not start");
    for (auto _ : state)
        if (Run("curl -s --cacert \"$SSL_CERT_FILE\" -o /dev/null " + Server().Url(tls, name)) != 0) return state.SkipWithError("curl failed");
    state.SetBytesProcessed(state.iterations() * size);
}

// A python3 sender on an ephemeral port; Payload is a python expression of bytes.
void FromPython(benchmark::State& state, const char* payload, std::int64_t bytes, bool lines) {
    for (auto _ : state) {
        state.PauseTiming();
        FILE* pipe = ::popen((std::string("python3 -c \"import socket; s=socket.socket(); s.bind(('127.0.0.1',0)); "
                                          "s.listen(1); print(s.getsockname()[1], flush=True); c,_=s.accept(); "
                                          "data=") + payload + "; c.sendall(data); c.close()\"").c_str(), "r");
        int port = 0;
        if (!pipe || std::fscanf(pipe, "%d", &port) != 1) return state.SkipWithError("python3 peer failed");
        TgSocket socket(kBufferSize);
        socket.Host = "127.0.0.1";
        socket.Port = static_cast<std::uint16_t>(port);
        socket.Connect();
        state.ResumeTiming();
        if (lines) {
            for (int i = 0; i < kLineCount; ++i) benchmark::DoNotOptimize(socket.ReadLine());
        } else {
            std::vector<char> buffer(kBufferSize);
            while (socket.Receive(buffer.data(), buffer.size()) > 0) {
            }
        }
        state.PauseTiming();
        ::pclose(pipe);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

}  // namespace

BENCHMARK_CAPTURE(GetFile, http_512MiB, false)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(Curl, http_512MiB, false, "big", kBigFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(GetText, http_64MiB, false)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(Curl, http_64MiB, false, "text", kTextFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(GetFile, https_512MiB, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(Curl, https_512MiB, true, "big", kBigFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(GetText, https_64MiB, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(Curl, https_64MiB, true, "text", kTextFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(FromPython, receive_512MiB, "b'x' * (512 << 20)", kBigFile, false)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(FromPython, readline_1e6, "b'short line\\r\\n' * 1000000", 12 * kLineCount, true)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
