// Lexing a 1 MB script: the whole token stream, with and without the conversion of
// the source bytes to UTF-16.
#include <benchmark/benchmark.h>

#include <string>

#include "script/core/ecma_lex.h"
#include "util/CodePage.h"

namespace {

// About 1 MB of ordinary script: declarations, loops, strings with escapes and
// Japanese text, comments, numbers of every form and regular expressions.
const std::string& Script() {
    static const std::string script = [] {
        const std::string chunk =
            "// Colour helpers\n"
            "function mix(a, b, t) {\n"
            "    var r = (a & 0xFF) * (1 - t) + (b & 0xFF) * t;\n"
            "    var g = ((a >> 8) & 0xFF) * (1 - t) + ((b >> 8) & 0xFF) * t;\n"
            "    return Math.round(r) | (Math.round(g) << 8);\n"
            "}\n"
            "/* table of names\n   kept sorted */\n"
            "var names = [\"red\", \"green\", '\xE9\x9D\x92\xE8\x89\xB2', \"tab\\tand\\nline\"];\n"
            "for (var i = 0; i < names.length; i++) {\n"
            "    if (names[i].match(/^\\bg\\w+$/gi) != null && i >= 2.5e-1) total += i / 3;\n"
            "    else count -= 1.5; text = text + '\xE8\x89\xB2: ' + names[i];\n"
            "}\n";
        std::string s;
        s.reserve(1 << 20);
        while (s.size() + chunk.size() <= (1u << 20)) s += chunk;
        return s;
    }();
    return script;
}

void BM_LexUtf16(benchmark::State& state) {
    const std::u16string source = tinctor::CodePage::Current().ToUtf16(Script());
    kestrel::TJLex lex;
    std::size_t tokens = 0;
    for (auto _ : state) {
        state.PauseTiming();
        lex.SetSource(source);
        state.ResumeTiming();
        tokens = 0;
        while (lex.Next()) ++tokens;
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Script().size()));
    state.counters["tokens"] = static_cast<double>(tokens);
}
BENCHMARK(BM_LexUtf16)->Unit(benchmark::kMillisecond);

void BM_LexFromBytes(benchmark::State& state) {
    kestrel::TJLex lex;
    for (auto _ : state) {
        lex.SetSourceText(Script());
        std::size_t tokens = 0;
        while (lex.Next()) tokens += lex.TokenText().size();
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Script().size()));
}
BENCHMARK(BM_LexFromBytes)->Unit(benchmark::kMillisecond);

}  // namespace
