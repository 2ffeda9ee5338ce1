// The formatting languages (time per call): the "%" language, a float mask, a float
// form, the date-time language, and the regional-settings lookup made per call.
#include <benchmark/benchmark.h>

#include <vector>

#include "script/lib/ecma_format.h"

using namespace kestrel;

namespace {

void BM_PercentLanguage(benchmark::State& state) {
    const TFormatSettings settings = DefaultFormatSettings();
    const std::vector<TFormatArg> args = {TFormatArg::OfInteger(12345), TFormatArg::OfString("colour"),
                                          TFormatArg::OfFloat(3.14159)};
    for (auto _ : state) benchmark::DoNotOptimize(FormatText("%d %s %.2f", args, settings));
}
BENCHMARK(BM_PercentLanguage);

void BM_FloatMask(benchmark::State& state) {
    const TFormatSettings settings = DefaultFormatSettings();
    double x = 1234.5678;
    for (auto _ : state) benchmark::DoNotOptimize(FormatFloatMask("#,##0.00", x, settings));
}
BENCHMARK(BM_FloatMask);

void BM_FixedForm(benchmark::State& state) {
    const TFormatSettings settings = DefaultFormatSettings();
    double x = 1234.5678;
    for (auto _ : state) benchmark::DoNotOptimize(FormatFloat(x, TFloatForm::Fixed, 15, 2, settings));
}
BENCHMARK(BM_FixedForm);

void BM_TinyValueFixedForm(benchmark::State& state) {  // the longest exact expansion
    const TFormatSettings settings = DefaultFormatSettings();
    double x = 5e-324;
    for (auto _ : state) benchmark::DoNotOptimize(FormatFloat(x, TFloatForm::Fixed, 15, 2, settings));
}
BENCHMARK(BM_TinyValueFixedForm);

void BM_DateTimeLanguage(benchmark::State& state) {
    const TFormatSettings settings = DefaultFormatSettings();
    const TDateTimeFields when{2005, 2, 3, 4, 13, 5, 7, 42};
    for (auto _ : state) benchmark::DoNotOptimize(FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", when, settings));
}
BENCHMARK(BM_DateTimeLanguage);

void BM_RegionalSettingsLookup(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(&RegionalSettings());
}
BENCHMARK(BM_RegionalSettingsLookup);

void BM_RegionalSettingsRead(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ReadFormatSettings(""));
}
BENCHMARK(BM_RegionalSettingsRead);

}  // namespace
