// libFuzzer target: the lexer on any byte string gives tokens or its syntax error,
// never a crash, a hang or undefined behaviour.
//
// The first byte picks the code page (odd: Shift-JIS) and whether a piece of the
// input is inserted mid-stream, as an import does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "script/core/ecma_lex.h"
#include "script/core/ecma_type.h"
#include "util/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    std::string_view source(reinterpret_cast<const char*>(data + 1), size - 1);
    tinctor::CodePage::Select((mode & 1) ? tinctor::CodePage::ShiftJis : tinctor::CodePage::Utf8);
    const auto& cp = tinctor::CodePage::Current();

    // UTF-8 text, valid or not, survives the trip through UTF-16 byte for byte.
    if (cp.IsUtf8() && cp.FromUtf16(cp.ToUtf16(source)) != source) std::abort();

    kestrel::TJLex lex;
    std::size_t traced = 0;
    if (mode & 4) lex.OnDebugout = [&traced](const std::string& s) { traced += s.size(); };
    lex.SetSourceText(source);
    std::size_t budget = lex.Size() + 1;  // every token takes at least one code unit
    std::size_t tokens = 0;
    bool inserted = !(mode & 2);
    try {
        for (;;) {
            const std::size_t before = lex.Position();
            if (!lex.Next()) break;
            if (lex.Position() <= before) std::abort();  // no progress: a hang
            if (lex.Current() != lex.Token() || lex.Token() == 0) std::abort();
            if (++tokens > budget) std::abort();
            (void)lex.TokenString();
            if (!inserted && tokens == 3) {
                inserted = true;
                const std::u16string piece = cp.ToUtf16(source.substr(0, source.size() / 2));
                lex.InsertSource(piece);
                budget += piece.size();
            }
        }
        if (lex.Current() != 0 || !lex.AtEnd()) std::abort();
    } catch (const kestrel::EJSyntaxError& e) {
        if (e.Line() < 1) std::abort();
    }
    if (lex.Line() < 1) std::abort();
    return 0;
}
