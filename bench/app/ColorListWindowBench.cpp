// A 10 000-entry colour list in the main window (offscreen): choosing it in the
// selector (file read, items made) and the save that every edit runs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/ColorListFile.h"
#include "app/ColorListPanel.h"
#include "app/Main.h"
#include "settings/ProgramFolder.h"
#include "settings/FolderMacros.h"

namespace {

constexpr int Entries = 10000;

struct TBenchWindow {
    TBenchWindow() {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "app_bench";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
        char pattern[] = "/tmp/tinctor-bench-XXXXXX";
        home = std::string(mkdtemp(pattern)) + "/";
        std::filesystem::create_directories(home + "Colors");
        std::vector<tinctor::TColorEntry> entries;
        char code[8];
        for (int i = 0; i < Entries; ++i) {
            std::snprintf(code, sizeof code, "#%06X", i * 97);
            entries.push_back({code, "entry " + std::to_string(i) + ", a comment"});
        }
        tinctor::SaveColorListFile(home + "Colors/big.clr", entries);
        tinctor::SetProgramFolder(home);
        tinctor::TSpecialFolders::Reload();
        form = std::make_unique<tinctor::TTinctorForm>();
    }
    ~TBenchWindow() {
        form.reset();
        std::filesystem::remove_all(home);
    }
    std::string home;
    std::unique_ptr<tinctor::TTinctorForm> form;
};

void BM_WindowLoadsColorList(benchmark::State& state) {
    TBenchWindow window;
    auto* panel = window.form->findChild<tinctor::TColorListPanel*>();
    if (!panel) return state.SkipWithError("no colour list panel");
    for (auto _ : state) panel->LoadColorList();
    const auto* list = window.form->findChild<QListWidget*>(QStringLiteral("ColorList"));
    if (!list || list->count() != Entries) state.SkipWithError("the list did not load");
    state.SetItemsProcessed(state.iterations() * Entries);
}
BENCHMARK(BM_WindowLoadsColorList)->Unit(benchmark::kMillisecond);

void BM_WindowSavesColorList(benchmark::State& state) {
    TBenchWindow window;
    for (auto _ : state) window.form->SaveColorList();
    state.SetItemsProcessed(state.iterations() * Entries);
}
BENCHMARK(BM_WindowSavesColorList)->Unit(benchmark::kMillisecond);

}  // namespace
