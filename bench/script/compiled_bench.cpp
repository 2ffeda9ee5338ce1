// Compiled script files: parsing a generated script of 20 000 lines against loading
// its compiled file, and the time to save that file. Loading must be clearly faster
// than parsing, or the files would not be worth keeping.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "script/core/ecma_parser.h"

namespace {

constexpr int kLines = 20000;

// A folder with the imported files, the script's text, and the compiled file's name.
struct Workload {
    ~Workload() { std::filesystem::remove_all(Folder); }
    std::string Folder;
    std::string Text;
    std::string CompiledFile;
};

// Functions, classes, every kind of literal, regular expressions, imports of both
// forms, loops, switches and try blocks, with names that change from chunk to chunk.
const Workload& Script() {
    static const Workload workload = [] {
        Workload w;
        w.Folder = (std::filesystem::temp_directory_path() / ("kestrel_compiled_bench_" + std::to_string(getpid())))
                       .string() + "/";
        std::filesystem::create_directories(w.Folder);
        std::ofstream(w.Folder + "palette.ksc") << "var base = 0x336699;\nfunction shade(c, n) { return c + n; }\n";
        std::ofstream(w.Folder + "helpers.ksc") << "function clamp(v, lo, hi) { return v < lo ? lo : v > hi ? hi : v; }\n";
        w.CompiledFile = w.Folder + "script.kcb";
        std::string& s = w.Text;
        s = "import palette;\nimport helpers.*;\n";
        int lines = 2;
        for (int i = 0; lines < kLines; ++i) {
            const std::string n = std::to_string(i);
            s += "function mix" + n + "(a, b, t) {\n"
                 "    var r = (a & 0xFF) * (1 - t) + (b & 0xFF) * t, g = ((a >> 8) & 0xFF) * (1 - t);\n"
                 "    return Math.round(r) | (Math.round(g) << 8);\n"
                 "}\n"
                 "class Swatch" + n + " extends Base {\n"
                 "    var name = \"s" + n + "\", rgb = 0, ratio = 0.25e1, on = true, off = false;\n"
                 "    function Swatch" + n + "(c) { this.rgb = c; }\n"
                 "    function light() { return palette.shade(this.rgb, 16); }\n"
                 "}\n"
                 "var names" + n + " = [\"red\", 'green', null, undefined, NaN, infinity, -1.5], table = {a: 1, 'b': 2};\n"
                 "for (var i = 0; i < names" + n + ".length; i++) {\n"
                 "    if (/^g\\w+$/gi.test(names" + n + "[i]) && i >= 2) total += i / 3; else count -= 1;\n"
                 "}\n"
                 "switch (mode) { case 1: x = -1; break; case \"two\": x = ~2; break; default: x = 0; }\n"
                 "try { Colors.R = clamp(mix" + n + "(Colors.R, 255, 0.5), 0, 255); } catch (e) { print(e); }\n"
                 "while (x > 0 && !done) { x = x - 1; }\n";
            lines += 16;
        }
        return w;
    }();
    return workload;
}

void Count(benchmark::State& state) {
    state.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(kLines), benchmark::Counter::kIsIterationInvariantRate);
}

kestrel::TJParser& Parsed() {
    static kestrel::TJParser parser;
    if (!parser.Root()) {
        parser.LibraryPath = {Script().Folder};
        parser.SetSourceText(Script().Text);
        parser.Parse();
    }
    return parser;
}

void BM_ParseScript(benchmark::State& state) {
    kestrel::TJParser parser;
    parser.LibraryPath = {Script().Folder};
    parser.SetSourceText(Script().Text);
    for (auto _ : state) benchmark::DoNotOptimize(parser.Parse());
    Count(state);
    state.counters["nodes"] = static_cast<double>(parser.ExprFactory().Count() + parser.StatementFactory().Count());
}
BENCHMARK(BM_ParseScript)->Unit(benchmark::kMillisecond);

void BM_SaveCompiledFile(benchmark::State& state) {
    kestrel::TJParser& parser = Parsed();
    for (auto _ : state) benchmark::DoNotOptimize(parser.SaveToFile(Script().CompiledFile));
    Count(state);
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(Script().CompiledFile));
}
BENCHMARK(BM_SaveCompiledFile)->Unit(benchmark::kMillisecond);

void BM_LoadCompiledFile(benchmark::State& state) {
    if (!Parsed().SaveToFile(Script().CompiledFile)) state.SkipWithError("the compiled file cannot be written");
    kestrel::TJParser parser;
    for (auto _ : state) benchmark::DoNotOptimize(parser.LoadFromFile(Script().CompiledFile));
    if (!parser.Root()) state.SkipWithError("the compiled file did not load");
    Count(state);
}
BENCHMARK(BM_LoadCompiledFile)->Unit(benchmark::kMillisecond);

}  // namespace
