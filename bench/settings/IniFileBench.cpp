// How the INI reader copes with a large colour list: parsing, the per-key reads of
// loading a list, and the writes and text of saving it.
#include <benchmark/benchmark.h>

#include <string>

#include "util/IniFiles.h"

namespace {

std::string ColourList(int entries) {
    std::string text = "[COLORS]\r\nTotal=" + std::to_string(entries) + "\r\n";
    for (int i = 0; i < entries; ++i) text += std::to_string(i) + "=#12AB" + std::to_string(i % 100) + ",comment\r\n";
    return text;
}

void BM_ParseColourList(benchmark::State& state) {
    const std::string text = ColourList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tinctor::TMemIniFile ini;
        ini.SetText(text);
        benchmark::DoNotOptimize(ini);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseColourList)->Arg(10)->Arg(1000)->Arg(10000);

void BM_LoadColourListKeys(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    tinctor::TMemIniFile ini;
    ini.SetText(ColourList(entries));
    for (auto _ : state) {
        int total = ini.ReadInteger("COLORS", "total", 0);
        for (int i = 0; i < total; ++i) benchmark::DoNotOptimize(ini.ReadString("COLORS", std::to_string(i), ""));
    }
    state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_LoadColourListKeys)->Arg(10)->Arg(1000)->Arg(10000);

void BM_SaveColourListText(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    tinctor::TMemIniFile ini;
    ini.SetText(ColourList(entries));
    for (auto _ : state) {
        ini.WriteInteger("COLORS", "Total", entries);
        for (int i = 0; i < entries; ++i) ini.WriteString("COLORS", std::to_string(i), "#FFD700,gold");
        benchmark::DoNotOptimize(ini.GetText());
    }
    state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_SaveColourListText)->Arg(1000)->Arg(10000);

}  // namespace
