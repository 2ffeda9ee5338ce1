// The loupe's share of one eyedropper move (offscreen, on a fake screen): reading the
// square around the pointer, the code of its centre, and painting the enlarged pixels.
// The screen read itself on X11 is timed by the desktop benchmark (BM_LoupeSample).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cstdlib>

#include "app/Magnifier.h"
#include "platform/fake/FakeScreen.h"

namespace {

void BM_LoupeMoveAndPaint(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "app_bench";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);

    tinctor::TFakeScreen screen;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) screen.SetPixel({x, y}, tinctor::RGBToColor(x * 4, y * 4, (x ^ y) * 4));
    tinctor::TMagnifier loupe(nullptr, screen, [](tinctor::TColor) { return QStringLiteral("#123456"); });
    QImage target(tinctor::TMagnifier::Size, QImage::Format_RGB32);
    int step = 0;
    for (auto _ : state) {
        loupe.Follow(QPoint(20 + step % 20, 20 + step % 17));
        loupe.render(&target);
        ++step;
    }
    benchmark::DoNotOptimize(target.constBits());
}
BENCHMARK(BM_LoupeMoveAndPaint)->Unit(benchmark::kMicrosecond);

}  // namespace
