// The Date object: constructing and formatting 100 000 dates with a format string,
// and the pieces of one date's text (components with the current offset, the language).
#include <benchmark/benchmark.h>

#include "script/lib/ecma_date.h"

using namespace kestrel;

namespace {

constexpr int kDates = 100'000;
constexpr std::int64_t kStart = 1107165600000;  // 2005-01-31 10:00 UTC
constexpr std::int64_t kStep = 86'400'123;

void BM_HundredThousandDates(benchmark::State& state) {
    TJEngine engine;
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (int i = 0; i < kDates; ++i) {
            auto* date = TJObject::New<TJDateObject>(&engine, false, nullptr, kStart + i * kStep);
            date->SetFormat("yyyy/mm/dd hh:nn:ss.zzz");
            bytes += date->Text(false).size();
            date->Destroy();
        }
    }
    benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_HundredThousandDates)->Unit(benchmark::kMillisecond);

void BM_LocalFields(benchmark::State& state) {
    TJEngine engine;
    auto* date = TJObject::New<TJDateObject>(&engine, false, nullptr, kStart);
    for (auto _ : state) benchmark::DoNotOptimize(date->Fields(false));
    date->Destroy();
}
BENCHMARK(BM_LocalFields);

}  // namespace
