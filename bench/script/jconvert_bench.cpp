// The Japanese text conversions over 4 MB of mixed text, under both code pages
// (bytes of input per second).
#include <benchmark/benchmark.h>

#include "script/lib/jconvert.h"
#include "util/CodePage.h"

using namespace kestrel::jconvert;
using tinctor::CodePage;

namespace {

constexpr std::size_t kTextBytes = std::size_t(4) << 20;

// About 4 MB of system text mixing kanji, kana, half-width katakana and ASCII.
std::string MixedText() {
    const std::string line = CodePage::Current().FromUtf8("色の名前は「赤」です。Colour #FF0000 ｶﾗｰｺｰﾄﾞ ①②③ ひらがなカタカナ\r\n");
    std::string text;
    text.reserve(kTextBytes + line.size());
    while (text.size() < kTextBytes) text += line;
    return text;
}

void SetCodePage(const benchmark::State& state) {
    CodePage::Select(state.range(0) == 0 ? CodePage::Utf8 : CodePage::ShiftJis);
}

void BM_SjisEucJisSjis(benchmark::State& state) {
    SetCodePage(state);
    const std::string text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(FromJIStoSJIS(FromEUCtoJIS(FromSJIStoEUC(text))));
    state.SetBytesProcessed(state.iterations() * text.size());
    CodePage::Select(CodePage::Utf8);
}
BENCHMARK(BM_SjisEucJisSjis)->ArgName("cp932")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ToUtf8AndBack(benchmark::State& state) {
    SetCodePage(state);
    const std::string text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(FromUTF8toSJIS(ToUTF8(text)));
    state.SetBytesProcessed(state.iterations() * text.size());
    CodePage::Select(CodePage::Utf8);
}
BENCHMARK(BM_ToUtf8AndBack)->ArgName("cp932")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ZenkakuAndHankaku(benchmark::State& state) {
    SetCodePage(state);
    const std::string text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(ToHankaku(ToZenkaku(text)));
    state.SetBytesProcessed(state.iterations() * text.size());
    CodePage::Select(CodePage::Utf8);
}
BENCHMARK(BM_ZenkakuAndHankaku)->ArgName("cp932")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Recognize(benchmark::State& state) {
    SetCodePage(state);
    const std::string text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(Recognize(text));
    state.SetBytesProcessed(state.iterations() * text.size());
    CodePage::Select(CodePage::Utf8);
}
BENCHMARK(BM_Recognize)->ArgName("cp932")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
