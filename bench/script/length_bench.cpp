// The character count behind String.length under UTF-8, over 64 MiB of random bytes
// (mostly stray bytes), of Japanese text with ASCII between, and of ASCII alone.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "util/CodePage.h"

using tinctor::CodePage;

namespace {

constexpr std::size_t kTextSize = std::size_t(64) << 20;
enum TKind { kRandom, kJapanese, kAscii };

std::string MakeText(int kind) {
    std::mt19937 rng(1);
    std::string text;
    text.reserve(kTextSize + 4);
    const char* const pieces[] = {"\xE3\x81\x82", "\xE3\x82\xAB", "\xE6\xBC\xA2", "a", " ", "\n"};
    while (text.size() < kTextSize) {
        if (kind == kRandom) text += static_cast<char>(rng());
        else if (kind == kJapanese) text += pieces[rng() % std::size(pieces)];
        else text += static_cast<char>('a' + rng() % 26);
    }
    return text;
}

void BM_Utf8CharCount(benchmark::State& state) {
    CodePage::Select(CodePage::Utf8);
    const std::string text = MakeText(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(CodePage::Current().CharCount(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Utf8CharCount)->ArgName("random0_japanese1_ascii2")->DenseRange(kRandom, kAscii)
    ->Unit(benchmark::kMillisecond);

}  // namespace
