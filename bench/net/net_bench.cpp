// Throughput of the web client and the socket on loopback beside curl: nginx serves a
// 512 MiB and a 64 MiB file over HTTP and HTTPS (a certificate made for the run), a
// python3 peer sends 512 MiB and 10^6 short lines; the scripts of this folder do the
// same through kestrel. Bytes per second of wall time are reported (curl and kestrel
// work in child processes, so the CPU time of this one says nothing of them).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
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

// User and system seconds of the child processes waited for so far.
double ChildCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The CPU time of the child processes an iteration waited for: on a loaded machine it
// says more than the wall time does.
class ChildCpu {
public:
    explicit ChildCpu(benchmark::State& state) : state_(state), start_(ChildCpuSeconds()) {}
    ~ChildCpu() {
        state_.counters["child_cpu_ms"] =
            benchmark::Counter((ChildCpuSeconds() - start_) * 1000, benchmark::Counter::kAvgIterations);
    }

private:
    benchmark::State& state_;
    double start_;
};

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
    ChildCpu cpu(state);
    for (auto _ : state)
        if (Run("curl -s --cacert \"$SSL_CERT_FILE\" -o /dev/null " + Server().Url(tls, name)) != 0) return state.SkipWithError("curl failed");
    state.SetBytesProcessed(state.iterations() * size);
}

// A script of this folder run by this build's kestrel: a child process, as curl is.
int Kestrel(const std::string& script, const std::string& arguments) {
    return Run(std::string(KESTREL_PROGRAM " " NET_BENCH_SCRIPTS "/") + script + " " + arguments + " > /dev/null");
}

// http.get or http.getFile of the 64 MiB file from a script.
void ScriptGet(benchmark::State& state, const char* script, bool tls) {
    if (!Server().Ready()) return state.SkipWithError("nginx did not start");
    ChildCpu cpu(state);
    for (auto _ : state)
        if (Kestrel(script, Server().Url(tls, "text") + " /dev/null") != 0) return state.SkipWithError("kestrel failed");
    state.SetBytesProcessed(state.iterations() * kTextFile);
}

// Who reads what a python3 sender sends.
enum class TReader { Receive, ReadLine, ScriptRead, ScriptReadLine };

// A python3 sender on an ephemeral port; Payload is a python expression of bytes.
void FromPython(benchmark::State& state, const char* payload, std::int64_t bytes, TReader reader) {
    double scriptCpu = 0;  // the sender's time is not the reader's
    for (auto _ : state) {
        state.PauseTiming();
        FILE* pipe = ::popen((std::string("python3 -c \"import socket; s=socket.socket(); s.bind(('127.0.0.1',0)); "
                                          "s.listen(1); print(s.getsockname()[1], flush=True); c,_=s.accept(); "
                                          "data=") + payload + "; c.sendall(data); c.close()\"").c_str(), "r");
        int port = 0;
        if (!pipe || std::fscanf(pipe, "%d", &port) != 1) return state.SkipWithError("python3 peer failed");
        if (reader == TReader::ScriptRead || reader == TReader::ScriptReadLine) {
            double start = ChildCpuSeconds();
            state.ResumeTiming();
            int status = reader == TReader::ScriptRead
                             ? Kestrel("tcp_read.ksc", std::to_string(port))
                             : Kestrel("tcp_readln.ksc", std::to_string(port) + " " + std::to_string(kLineCount));
            state.PauseTiming();
            scriptCpu += ChildCpuSeconds() - start;
            ::pclose(pipe);
            state.ResumeTiming();
            if (status != 0) return state.SkipWithError("kestrel failed");
            continue;
        }
        TgSocket socket(kBufferSize);
        socket.Host = "127.0.0.1";
        socket.Port = static_cast<std::uint16_t>(port);
        socket.Connect();
        state.ResumeTiming();
        if (reader == TReader::ReadLine) {
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
    if (reader == TReader::ScriptRead || reader == TReader::ScriptReadLine)
        state.counters["child_cpu_ms"] = benchmark::Counter(scriptCpu * 1000, benchmark::Counter::kAvgIterations);
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
BENCHMARK_CAPTURE(FromPython, receive_512MiB, "b'x' * (512 << 20)", kBigFile, TReader::Receive)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(FromPython, readline_1e6, "b'short line\\r\\n' * 1000000", 12 * kLineCount, TReader::ReadLine)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The same from scripts, beside curl above (whole processes, start-up included).
BENCHMARK_CAPTURE(ScriptGet, http_get_64MiB, "http_get.ksc", false)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(ScriptGet, http_getFile_64MiB, "http_getfile.ksc", false)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(ScriptGet, https_get_64MiB, "http_get.ksc", true)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(ScriptGet, https_getFile_64MiB, "http_getfile.ksc", true)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(FromPython, script_read_512MiB, "b'x' * (512 << 20)", kBigFile, TReader::ScriptRead)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(FromPython, script_readln_1e6, "b'short line\\r\\n' * 1000000", 12 * kLineCount,
                  TReader::ScriptReadLine)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
