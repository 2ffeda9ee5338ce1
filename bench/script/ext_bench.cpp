// The extension objects' hot paths: CRC and Base64 in MB/s beside zlib's crc32,
// OpenSSL's block coder and coreutils base64 on the same bytes, and scripts that
// append to a StringBuffer, read a 50 MiB file by lines and add to a sorted list.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "script/ext/ecma_extensions.h"
#include "script/lib/ecma_object.h"
#include "util/Base64.h"
#include "util/Crc.h"

namespace {

constexpr std::size_t kCoderBytes = std::size_t(64) << 20;
constexpr std::size_t kCrcFileBytes = std::size_t(256) << 20;
constexpr int kLines = 1000000;
constexpr std::size_t kLineFileBytes = std::size_t(50) << 20;

const std::string& Bytes() {
    static const std::string bytes = [] {
        std::string b(kCoderBytes, '\0');
        std::uint32_t x = 12345;
        for (char& c : b) c = static_cast<char>((x = x * 1103515245 + 12345) >> 24);
        return b;
    }();
    return bytes;
}

// A file in the temporary folder holding Bytes, made once.
std::string TempFile(const std::string& name, const std::string& bytes) {
    const std::string path = "/tmp/tinctor-ext-bench-" + std::to_string(getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

void BM_CrcBoth(benchmark::State& state) {
    for (auto _ : state) {
        tinctor::TCrc16And32 crc;
        crc.Update(Bytes());
        benchmark::DoNotOptimize(crc.Crc32());
    }
    state.SetBytesProcessed(state.iterations() * Bytes().size());
}
BENCHMARK(BM_CrcBoth)->Unit(benchmark::kMillisecond);

void BM_ZlibCrc32(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0L, reinterpret_cast<const Bytef*>(Bytes().data()), static_cast<uInt>(Bytes().size())));
    state.SetBytesProcessed(state.iterations() * Bytes().size());
}
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMillisecond);

void BM_Base64Encode(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(tinctor::Base64Encode(Bytes()));
    state.SetBytesProcessed(state.iterations() * Bytes().size());
}
BENCHMARK(BM_Base64Encode)->Unit(benchmark::kMillisecond);

void BM_Base64Decode(benchmark::State& state) {
    const std::string text = tinctor::Base64Encode(Bytes());
    for (auto _ : state) benchmark::DoNotOptimize(tinctor::Base64Decode(text));
    state.SetBytesProcessed(state.iterations() * Bytes().size());
}
BENCHMARK(BM_Base64Decode)->Unit(benchmark::kMillisecond);

void BM_OpenSslEncodeBlock(benchmark::State& state) {
    std::string out(tinctor::Base64EncodedSize(Bytes().size()) + 1, '\0');
    for (auto _ : state)
        benchmark::DoNotOptimize(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                                 reinterpret_cast<const unsigned char*>(Bytes().data()),
                                                 static_cast<int>(Bytes().size())));
    state.SetBytesProcessed(state.iterations() * Bytes().size());
}
BENCHMARK(BM_OpenSslEncodeBlock)->Unit(benchmark::kMillisecond);

void BM_OpenSslDecodeBlock(benchmark::State& state) {
    const std::string text = tinctor::Base64Encode(Bytes());
    std::string out(Bytes().size() + 3, '\0');
    for (auto _ : state)
        benchmark::DoNotOptimize(EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                                 reinterpret_cast<const unsigned char*>(text.data()),
                                                 static_cast<int>(text.size())));
    state.SetBytesProcessed(state.iterations() * Bytes().size());
}
BENCHMARK(BM_OpenSslDecodeBlock)->Unit(benchmark::kMillisecond);

// coreutils base64 as a process, reading and writing files (its own start included).
void BM_CoreutilsBase64(benchmark::State& state) {
    const bool decode = state.range(0) != 0;
    const std::string input = decode ? TempFile("b64", tinctor::Base64Encode(Bytes())) : TempFile("raw", Bytes());
    const std::string command = std::string("base64 ") + (decode ? "-d " : "-w0 ") + input + " > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("base64 failed");
    state.SetBytesProcessed(state.iterations() * Bytes().size());
    std::remove(input.c_str());
}
BENCHMARK(BM_CoreutilsBase64)->ArgName("decode")->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Runs Script once per iteration in an engine with the extension objects.
void RunScript(benchmark::State& state, const std::string& script) {
    kestrel::TJEngine engine;
    kestrel::ImportExtensionObjects(engine);
    if (!engine.CompileText(script)) return state.SkipWithError("script does not compile");
    for (auto _ : state) engine.Run();
}

// Writes the file's pages to disk and drops them from the page cache, so that the next
// read comes from the disk.
bool DropFromPageCache(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool dropped = ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
}

// calcFile over 256 MiB, its CRC-32 checked against zlib's on the same bytes, so that a
// failed or short read cannot pass for speed. Warm: the file is in the page cache (as
// right after it was written), so the figure is the combined pass plus the copy out of
// the cache. Cold: its pages are dropped before every run, so the disk counts too.
void BM_CrcCalcFile(benchmark::State& state) {
    const bool cold = state.range(0) != 0;
    std::string bytes;
    while (bytes.size() < kCrcFileBytes) bytes += Bytes();
    const auto expected = static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
    const std::string file = TempFile("crc", bytes);
    bytes = {};
    kestrel::TJEngine engine;
    kestrel::ImportExtensionObjects(engine);
    if (!engine.CompileText("CRC.calcFile('" + file + "'); return CRC.CRC32;"))
        return state.SkipWithError("script does not compile");
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            if (!DropFromPageCache(file)) state.SkipWithError("cannot drop the file from the page cache");
            state.ResumeTiming();
        }
        if (static_cast<std::uint32_t>(engine.Run()) != expected) {
            state.SkipWithError("calcFile gave another CRC-32 than zlib");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kCrcFileBytes);
    std::remove(file.c_str());
}
BENCHMARK(BM_CrcCalcFile)->ArgName("cold")->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_StringBufferAppend(benchmark::State& state) {
    RunScript(state, "var b = new StringBuffer(); for (var i = 0; i < 1000000; i++) b.append('x');");
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_StringBufferAppend)->Unit(benchmark::kMillisecond);

void BM_FileReadln(benchmark::State& state) {
    const std::string line(kLineFileBytes / kLines - 2, 'a');
    std::string bytes;
    bytes.reserve(kLineFileBytes);
    for (int i = 0; i < kLines; ++i) bytes += line + "\r\n";
    const std::string file = TempFile("lines", bytes);
    RunScript(state, "var f = new File('" + file + "'); f.open(); var n = 0; while (!f.eof()) { f.readln(); n++; }");
    state.SetItemsProcessed(state.iterations() * kLines);
    std::remove(file.c_str());
}
BENCHMARK(BM_FileReadln)->Unit(benchmark::kMillisecond);

void BM_SortedStringsAdd(benchmark::State& state) {
    RunScript(state,
              "var s = new Strings(); s.sorted = true; var x = 1;"
              "for (var i = 0; i < 100000; i++) { x = (x * 7919 + 13) % 1000003; s.add('line ' + x); }");
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_SortedStringsAdd)->Unit(benchmark::kMillisecond);

}  // namespace
