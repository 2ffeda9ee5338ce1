// Drawing the colour table's gradient: the 107 x 115 table, pixel by pixel in extended
// arithmetic, into a plain buffer (the bitmap writes are the same few stores).
#include <benchmark/benchmark.h>

#include <vector>

#include "app/ColorTable.h"
#include "app/Gradient.h"

namespace {

class TBufferCanvas final : public tinctor::TPixelCanvas {
public:
    TBufferCanvas(int width, int height) : width_(width), pixels_(static_cast<std::size_t>(width * height)) {}
    void SetPixel(int x, int y, tinctor::TColor c) override { pixels_[static_cast<std::size_t>(y * width_ + x)] = c; }
    const tinctor::TColor* Data() const { return pixels_.data(); }

private:
    int width_;
    std::vector<tinctor::TColor> pixels_;
};

void BM_StandardTableGradient(benchmark::State& state) {
    TBufferCanvas canvas(107, 115);
    for (auto _ : state) {
        tinctor::DrawGradient(tinctor::TRect{0, 0, 107, 115}, canvas, tinctor::GradientTopLeft,
                              tinctor::GradientBottomRight, tinctor::GradientBottomLeft, tinctor::GradientTopRight);
        benchmark::DoNotOptimize(canvas.Data());
    }
    state.SetItemsProcessed(state.iterations() * 107 * 115);
}
BENCHMARK(BM_StandardTableGradient)->Unit(benchmark::kMicrosecond);

}  // namespace
