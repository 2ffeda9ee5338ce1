// One step of a screen pick: where the pointer is and the pixel under it.
#include <benchmark/benchmark.h>

#include <QWidget>

#include "BenchApplication.h"
#include "desktop/TinctorMouse.h"
#include "platform/Platform.h"

namespace {

using tinctor::bench::App;

void BM_ScreenPixel(benchmark::State& state) {
    if (!App()) return state.SkipWithError("no X display");
    tinctor::IScreen& screen = tinctor::Platform().Screen();
    const QPoint at(300, 200);
    for (auto _ : state) benchmark::DoNotOptimize(screen.PixelAt(at));
}
BENCHMARK(BM_ScreenPixel)->Unit(benchmark::kMicrosecond);

void BM_PickSample(benchmark::State& state) {
    if (!App()) return state.SkipWithError("no X display");
    tinctor::IPlatform& p = tinctor::Platform();
    std::uint32_t current = 0;
    for (auto _ : state) {
        // What the capture does on each move before the window shows the colour.
        if (auto pixel = p.Screen().DevicePixelAt(p.Pointer().DevicePos())) current = *pixel;
        benchmark::DoNotOptimize(current);
    }
}
BENCHMARK(BM_PickSample)->Unit(benchmark::kMicrosecond);

void BM_LoupeSample(benchmark::State& state) {
    if (!App()) return state.SkipWithError("no X display");
    tinctor::IScreen& screen = tinctor::Platform().Screen();
    std::vector<std::optional<tinctor::TColor>> pixels;
    // What the loupe reads on each move of a pick: the 15 × 15 pixels around the pointer.
    for (auto _ : state) {
        screen.PixelsAround(QPoint(300, 200), 7, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_LoupeSample)->Unit(benchmark::kMicrosecond);

}  // namespace
