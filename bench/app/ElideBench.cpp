// Shortening a list comment to the item's width: a comment of words as long as a
// pasted page must paint as fast as a short one (the list repaints on every scroll).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontMetrics>

#include <cstdlib>

#include "app/ColorListDraw.h"

namespace {

constexpr int ItemTextWidth = 180;

void EnsureApplication() {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "app_bench";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

void BM_ElideCommentOfWords(benchmark::State& state) {
    EnsureApplication();
    const QFontMetrics metrics(QApplication::font());
    const QString comment = QStringLiteral("word ").repeated(state.range(0) / 5);
    for (auto _ : state) benchmark::DoNotOptimize(tinctor::ElideAtWord(metrics, comment, ItemTextWidth));
    state.SetLabel(std::to_string(comment.size()) + " characters");
}
BENCHMARK(BM_ElideCommentOfWords)->Arg(100)->Arg(10000)->Arg(30000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
