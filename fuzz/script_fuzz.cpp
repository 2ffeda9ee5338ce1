// libFuzzer target: the lexer and the parser on any byte string give tokens, a tree
// or a script error (EJSyntaxError, or EJThrow from constant folding), never a crash,
// a hang, a stack overflow or undefined behaviour.
//
// The first byte picks the code page (bit 0: Shift-JIS), whether a piece of the
// input is inserted mid-stream as an import does (bit 1), the debug trace (bit 2),
// and whether the parser also reads the input as the text of an eval (bit 3).
// Imports find the files of fuzz/lib (run from the repository's top folder).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "script/core/ecma_lex.h"
#include "script/core/ecma_parser.h"
#include "script/core/ecma_type.h"
#include "util/CodePage.h"

namespace {

void LexWhole(std::string_view source, std::uint8_t mode) {
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
}

void ParseWhole(std::string_view source, std::uint8_t mode) {
    kestrel::TJParser parser;
    parser.LibraryPath = {"fuzz/lib"};
    parser.SetSourceText(source);
    try {
        const bool parsed = parser.Parse();
        if (parsed != (parser.Root() != nullptr)) std::abort();
        if (parsed && parser.Root()->Kind != kestrel::skProgram) std::abort();
    } catch (const kestrel::EJSyntaxError& e) {
        if (e.Line() < 1 || parser.Root()) std::abort();
    } catch (const kestrel::EJThrow&) {
        if (parser.Root()) std::abort();
    }
    if (!(mode & 8)) return;
    try {
        const kestrel::TJExpr* function = parser.ParseFunctionText(source);
        if (function && function->Code != kestrel::ecFunction) std::abort();
    } catch (const kestrel::EJSyntaxError& e) {
        if (e.Line() < 1) std::abort();
    } catch (const kestrel::EJThrow&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    std::string_view source(reinterpret_cast<const char*>(data + 1), size - 1);
    tinctor::CodePage::Select((mode & 1) ? tinctor::CodePage::ShiftJis : tinctor::CodePage::Utf8);
    LexWhole(source, mode);
    ParseWhole(source, mode);
    return 0;
}
