// Reading the colour an editor of another program has selected: what each tick of the
// editor extraction costs when the editor answers, and how soon it gives up on one that
// does not (the main window's tick waits on it).
#include <benchmark/benchmark.h>

#include "BenchApplication.h"
#include "desktop/EditorColor.h"
#include "platform/Platform.h"

#include "OtherEditor.h"  // Xlib's macros clash with Qt's names: last

namespace {

using tinctor::bench::App;

// Each give-up waits out the whole answer time: a few rounds tell it.
constexpr int kUnansweredRounds = 5;

void ExtractFrom(benchmark::State& state, bool answers) {
    if (!App()) return state.SkipWithError("no X display");
    tinctor::test::TOtherEditor gedit("gedit", "Gedit", "#FF8000");
    gedit.Answers = answers;
    tinctor::TEditOther editor{tinctor::Platform().Windows(), 0, false};
    for (auto _ : state) {
        const std::optional<std::string> text = tinctor::ExtractEditorSelection(editor);
        if (text.has_value() != answers) return state.SkipWithError("the editor's answer was not what it gives");
        benchmark::DoNotOptimize(text);
    }
}

void BM_EditorSelectionRead(benchmark::State& state) { ExtractFrom(state, true); }
BENCHMARK(BM_EditorSelectionRead)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditorSelectionUnanswered(benchmark::State& state) { ExtractFrom(state, false); }
BENCHMARK(BM_EditorSelectionUnanswered)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kUnansweredRounds);

}  // namespace
