// Time per call of the colour conversions, the formatter and the parser.
#include "colour/ColorCodes.h"
#include "colour/StrColor.h"
#include "colour/stdColors.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace {

using namespace tinctor;

// A spread of colours, so that every hue sextant and both lightness halves are timed.
const std::array<TColor, 64> Colours = [] {
    std::array<TColor, 64> a{};
    std::uint32_t x = 0x9E3779B9;
    for (auto& c : a) {
        x = x * 1664525 + 1013904223;
        c = x >> 8;
    }
    a[0] = 0xFFFFFF;  // a grey and the named colours among them
    a[1] = 0x0000FF;
    a[2] = 0xFFFF00;
    return a;
}();

void BM_ColorToHLS(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ColorToHLS(Colours[i++ & 63]));
}
BENCHMARK(BM_ColorToHLS);

void BM_HLSToColor(benchmark::State& state) {
    std::array<THLS, 64> values;
    for (std::size_t k = 0; k < 64; ++k) values[k] = ColorToHLS(Colours[k]);
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(HLSToColor(values[i++ & 63]));
}
BENCHMARK(BM_HLSToColor);

void BM_ComplementOf(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ComplementOf(Colours[i++ & 63]));
}
BENCHMARK(BM_ComplementOf);

// Arguments: notation, names (0 off, 1 ColorCode and ExtendColor).
void BM_FormatColorCode(benchmark::State& state) {
    const int notation = int(state.range(0));
    const TColorCodeOptions options{.ColorCode = state.range(1) != 0, .ExtendColor = state.range(1) != 0};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(FormatColorCode(Colours[i++ & 63], notation, options));
}
BENCHMARK(BM_FormatColorCode)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})->ArgNames({"notation", "names"});

void BM_FormatColorCode_BasicNames(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(FormatColorCode(Colours[i++ & 63], HtmlNotation, {.ColorCode = true}));
}
BENCHMARK(BM_FormatColorCode_BasicNames);

void BM_ParseColorText(benchmark::State& state, std::string text) {
    PrepareColorNames();
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        benchmark::DoNotOptimize(ParseColorText(text));
    }
}
BENCHMARK_CAPTURE(BM_ParseColorText, html, std::string("#FF8000"));
BENCHMARK_CAPTURE(BM_ParseColorText, html_short, std::string("#F80"));
BENCHMARK_CAPTURE(BM_ParseColorText, vb, std::string("&h000080FF"));
BENCHMARK_CAPTURE(BM_ParseColorText, delphi_long, std::string("$12345678"));
BENCHMARK_CAPTURE(BM_ParseColorText, c, std::string("0X80ff"));
BENCHMARK_CAPTURE(BM_ParseColorText, name, std::string("LightGoldenrodYellow"));
BENCHMARK_CAPTURE(BM_ParseColorText, system_name, std::string("buttonface"));
BENCHMARK_CAPTURE(BM_ParseColorText, with_comment, std::string("#FF0000 ; red"));
BENCHMARK_CAPTURE(BM_ParseColorText, not_a_colour, std::string("RGB(255,0,0);"));

}  // namespace
