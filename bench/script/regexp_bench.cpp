// The RegExp object over 1 MB of text (exec /\w+/g, a global replace, split of a
// comma-separated line) beside a bare PCRE2 loop doing the same searches, so that
// the overhead per match shows; and one short replace made many times through the
// engine's pattern cache.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <string>

#include "script/lib/ecma_regexp.h"

namespace {

using namespace kestrel;

constexpr std::size_t kTextSize = 1 << 20;

// Words of 1 to 8 letters between spaces and commas, about 1 MB.
const TJString& Words() {
    static const TJString text = [] {
        std::string s;
        s.reserve(kTextSize + 16);
        for (unsigned i = 0; s.size() < kTextSize; ++i) {
            s.append(1 + i % 8, static_cast<char>('a' + i % 26));
            s += i % 7 == 0 ? ", " : " ";
        }
        return TJString(s);
    }();
    return text;
}

// A comma-separated line of about 1 MB with 100 000 fields.
const TJString& Fields() {
    static const TJString text = [] {
        std::string s;
        for (int i = 0; i < 100000; ++i) {
            if (i) s += ',';
            s += "field" + std::to_string(i % 1000);
        }
        while (s.size() < kTextSize) s += 'x';
        return TJString(s);
    }();
    return text;
}

// The bare library: every match of Pattern in Text, with JIT, as the object searches.
std::size_t RawMatches(const char* pattern, const TJString& text) {
    int error;
    PCRE2_SIZE offset;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED,
                                     PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY, &error, &offset, nullptr);
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    std::size_t count = 0;
    for (std::size_t start = 0; start <= text.size();) {
        if (pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), start, 0, data, nullptr) < 0)
            break;
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
        start = ov[1] == ov[0] ? ov[1] + 1 : ov[1];
        ++count;
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return count;
}

void Report(benchmark::State& state, std::size_t bytes, std::size_t matches) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["matches"] = static_cast<double>(matches);
    state.counters["ns_per_match"] = benchmark::Counter(
        static_cast<double>(matches) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

TJRegExpObject* NewRegExp(TJEngine& engine, const char* pattern, const char* flags) {
    TJValueList args;
    args.AddString(pattern);
    args.AddString(flags);
    auto* re = TJObject::New<TJRegExpObject>(&engine, true, &args);
    re->IncRef();
    return re;
}

void BM_RawPcre2Words(benchmark::State& state) {
    std::size_t matches = 0;
    for (auto _ : state) benchmark::DoNotOptimize(matches = RawMatches("\\w+", Words()));
    Report(state, Words().size(), matches);
}
BENCHMARK(BM_RawPcre2Words)->Unit(benchmark::kMillisecond);

void BM_ExecWords(benchmark::State& state) {
    TJEngine engine;
    TJRegExpObject* re = NewRegExp(engine, "\\w+", "g");
    std::size_t matches = 0;
    for (auto _ : state) {
        TJValue result;
        re->Exec(&Words(), result);
        matches = static_cast<std::size_t>(result.vObject()->GetCount());
        result.vObject()->Destroy();
    }
    Report(state, Words().size(), matches);
    re->DecRef();
}
BENCHMARK(BM_ExecWords)->Unit(benchmark::kMillisecond);

void BM_ReplaceGlobal(benchmark::State& state) {
    TJEngine engine;
    TJRegExpObject* re = NewRegExp(engine, "(\\w+)", "g");
    const TJValue replacement = StringValue(TJString("<$1>"));
    for (auto _ : state) benchmark::DoNotOptimize(re->Replace(Words(), replacement));
    Report(state, Words().size(), RawMatches("(\\w+)", Words()));
    re->DecRef();
}
BENCHMARK(BM_ReplaceGlobal)->Unit(benchmark::kMillisecond);

void BM_RawPcre2Commas(benchmark::State& state) {
    std::size_t matches = 0;
    for (auto _ : state) benchmark::DoNotOptimize(matches = RawMatches(",", Fields()));
    Report(state, Fields().size(), matches);
}
BENCHMARK(BM_RawPcre2Commas)->Unit(benchmark::kMillisecond);

void BM_SplitFields(benchmark::State& state) {
    TJEngine engine;
    TJRegExpObject* re = NewRegExp(engine, ",", "");
    std::size_t pieces = 0;
    for (auto _ : state) {
        TJArrayObject* list = re->Split(Fields(), -1);
        pieces = static_cast<std::size_t>(list->GetCount());
        list->Destroy();
    }
    Report(state, Fields().size(), pieces - 1);
}
BENCHMARK(BM_SplitFields)->Unit(benchmark::kMillisecond);

// `/-/g.replace("a-b-c", "+")` 100 000 times from a script: a new RegExp object for
// every call, its pattern from the engine's cache.
void BM_ShortReplaceScript(benchmark::State& state) {
    TJEngine engine;
    engine.CompileText("var s; for (var i = 0; i < 100000; i++) s = /-/g.replace(\"a-b-c\", \"+\");");
    for (auto _ : state) engine.Run();
    state.counters["calls_per_second"] =
        benchmark::Counter(100000, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ShortReplaceScript)->Unit(benchmark::kMillisecond);

}  // namespace
