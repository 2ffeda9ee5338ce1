// Loading and saving a large colour list file on disk, as the window does it: the
// whole file read and parsed, every entry read; and the file read again, every entry
// written and the file replaced atomically (with its flush to disk).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ColorListFile.h"

namespace {

struct TListFolder {
    TListFolder() {
        char pattern[] = "/tmp/tinctor-bench-XXXXXX";
        folder = mkdtemp(pattern);
    }
    ~TListFolder() { std::filesystem::remove_all(folder); }
    std::string folder;
};

std::vector<tinctor::TColorEntry> Entries(int count) {
    std::vector<tinctor::TColorEntry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    char code[8];
    for (int i = 0; i < count; ++i) {
        std::snprintf(code, sizeof code, "#%06X", (i * 2654435761u) & 0xFFFFFF);
        entries.push_back({code, "comment number " + std::to_string(i) + ", with a comma"});
    }
    return entries;
}

void BM_LoadColorListFile(benchmark::State& state) {
    const TListFolder dir;
    const std::string path = dir.folder + "/big.clr";
    tinctor::SaveColorListFile(path, Entries(static_cast<int>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(tinctor::LoadColorListFile(path));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadColorListFile)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SaveColorListFile(benchmark::State& state) {
    const TListFolder dir;
    const std::string path = dir.folder + "/big.clr";
    const auto entries = Entries(static_cast<int>(state.range(0)));
    tinctor::SaveColorListFile(path, entries);
    for (auto _ : state) tinctor::SaveColorListFile(path, entries);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveColorListFile)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
