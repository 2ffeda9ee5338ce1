// Parsing a large script (about 60 000 lines, 2 MB) into its syntax tree, in lines
// per second; and the text of an eval, wrapped and parsed as a function.
#include <benchmark/benchmark.h>

#include <string>

#include "script/core/ecma_parser.h"

namespace {

// Ordinary script: functions and classes, loops, switches, try blocks, object and
// array literals, strings, regular expressions, member calls and comments; the
// names change from chunk to chunk as they do in real code.
const std::string& Script() {
    static const std::string script = [] {
        std::string s;
        for (int i = 0; s.size() < (2u << 20); ++i) {
            const std::string n = std::to_string(i);
            s += "// colour helpers " + n + "\n"
                 "function mix" + n + "(a, b, t) {\n"
                 "    var r = (a & 0xFF) * (1 - t) + (b & 0xFF) * t;\n"
                 "    var g = ((a >> 8) & 0xFF) * (1 - t) + ((b >> 8) & 0xFF) * t;\n"
                 "    return Math.round(r) | (Math.round(g) << 8);\n"
                 "}\n"
                 "class Swatch" + n + " extends Base { var name = \"s" + n + "\", rgb; function Swatch" + n +
                 "(c) { this.rgb = c; } }\n"
                 "var names" + n + " = [\"red\", \"green\", '\xE9\x9D\x92', \"tab\\tand\\nline\"], table = {a: 1, b: 2.5e-1};\n"
                 "for (var i = 0; i < names" + n + ".length; i++) {\n"
                 "    if (names" + n + "[i].match(/^\\bg\\w+$/gi) != null && i >= 2) total += i / 3;\n"
                 "    else { count -= 1.5; text = text + ': ' + names" + n + "[i]; }\n"
                 "}\n"
                 "switch (mode) { case 1: x = -1; break; case \"two\": x = ~2; break; default: x = 0; }\n"
                 "try { Colors.R = mix" + n + "(Colors.R, 255, 0.5); } catch (e) { print(e); } finally { n++; }\n"
                 "while (x > 0 && !done) { x = x - 1; if (x % 7 == 0) continue; }\n";
        }
        return s;
    }();
    return script;
}

std::int64_t LineCount(const std::string& text) {
    std::int64_t lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

void BM_ParseLargeScript(benchmark::State& state) {
    kestrel::TJParser parser;
    parser.SetSourceText(Script());
    for (auto _ : state) {
        const bool parsed = parser.Parse();
        benchmark::DoNotOptimize(parsed);
    }
    const std::int64_t lines = LineCount(Script());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Script().size()));
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["nodes"] =
        static_cast<double>(parser.ExprFactory().Count() + parser.StatementFactory().Count());
}
BENCHMARK(BM_ParseLargeScript)->Unit(benchmark::kMillisecond);

// The same text from bytes: the conversion to UTF-16 included.
void BM_ParseLargeScriptFromBytes(benchmark::State& state) {
    kestrel::TJParser parser;
    for (auto _ : state) {
        parser.SetSourceText(Script());
        const bool parsed = parser.Parse();
        benchmark::DoNotOptimize(parsed);
    }
    state.counters["lines_per_second"] = benchmark::Counter(static_cast<double>(LineCount(Script())),
                                                            benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ParseLargeScriptFromBytes)->Unit(benchmark::kMillisecond);

// eval("a * 2 + b.c(1)"): the parse of the wrapped text (its nodes stay until a reset,
// which comes every thousand parses here, as a new compile would bring it).
void BM_ParseFunctionText(benchmark::State& state) {
    kestrel::TJParser parser;
    int count = 0;
    for (auto _ : state) {
        if (++count == 1000) {
            parser.Reset();
            count = 0;
        }
        benchmark::DoNotOptimize(parser.ParseFunctionText("a * 2 + b.c(1)"));
    }
}
BENCHMARK(BM_ParseFunctionText);

}  // namespace
