// libFuzzer target: the RegExp object's glue around PCRE2 on any pattern, flags,
// template and subject gives a result (or "no match"), never a crash, a hang, a read
// past the text or undefined behaviour; and so does every String method, the main
// user of RegExp, on the same texts with positions from the ends of the integer range.
//
// Input: one mode byte (bit 0 Shift-JIS, bits 1-3 the flags i, g, m, bit 4 a limit
// for split, bits 5-7 pick the positions), then the pattern, the template and the
// subject separated by 0xFF bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "script/lib/ecma_regexp.h"
#include "script/lib/ecma_string.h"
#include "util/CodePage.h"

namespace {

using namespace kestrel;

std::string_view NextPart(std::string_view& rest) {
    const std::size_t end = rest.find('\xFF');
    const std::string_view part = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return part;
}

// Positions that reach past either end of a text and of the integer range.
constexpr std::int32_t kPositions[] = {0, 1, -1, 3, -5, 2147483647, -2147483647 - 1, 100};

// Every String method on Subject: without arguments, with two positions, and with
// the pattern and the template as texts.
void CallStringMethods(TJEngine& engine, const TJString& subject, const TJString& pattern,
                       const TJString& replacement, std::uint8_t mode) {
    TJValueList text;
    text.AddString(subject);
    auto* object = TJObject::New<TJStringObject>(&engine, true, &text);
    TJValueList positions, texts;
    positions.AddInteger(kPositions[mode >> 5]);
    positions.AddInteger(kPositions[(mode >> 2) & 7]);
    texts.AddString(pattern);
    texts.AddString(replacement);
    const TJMethodTable& methods = *object->SharedMethods();
    for (std::size_t i = 0; i < methods.Size(); ++i) {
        if (!methods[i].Method) continue;
        const TJValueList* argumentLists[] = {nullptr, &positions, &texts};
        for (const TJValueList* args : argumentLists) {
            TJValue result;
            try {
                methods[i].Method(*object, args, result);
            } catch (const EJThrow&) {
                // a script error (string too long) is a defined result
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // Never destroyed: at exit the thread's own queues are gone before statics die.
    static TJEngine& engine = *new TJEngine;
    const std::uint8_t mode = data[0];
    tinctor::CodePage::Select(mode & 1 ? tinctor::CodePage::ShiftJis : tinctor::CodePage::Utf8);
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const TJString pattern(NextPart(rest));
    const TJString replacement(NextPart(rest));
    const TJString subject(rest);
    std::string flags;
    if (mode & 2) flags += 'i';
    if (mode & 4) flags += 'g';
    if (mode & 8) flags += 'm';

    TJValueList args;
    args.AddString(pattern);
    args.AddString(TJString(flags));
    auto* re = TJObject::New<TJRegExpObject>(&engine, true, &args);
    TJValue result;
    re->Exec(&subject, result);
    if (TJObject* list = result.vObject()) {
        // Every match lies inside the subject, and the last one is the recorded state.
        const TJRegExp& state = re->State();
        if (state.Index < 0 || static_cast<std::size_t>(state.LastIndex) > subject.size()) std::abort();
        if (list->GetCount() < 1) std::abort();
    }
    const bool matched = re->Test(subject);
    if (matched != result.IsObject()) std::abort();
    const TJString replaced = re->Replace(subject, StringValue(replacement));
    if (!matched && TJPattern::Compile(pattern, (mode & 2 ? rfIgnoreCase : 0) | (mode & 8 ? rfMultiline : 0)) &&
        replaced.view() != subject.view())
        std::abort();  // nothing matched: the input comes back whole
    TJArrayObject* pieces = re->Split(subject, mode & 16 ? 3 : -1);
    if (pieces->GetCount() > static_cast<int>(subject.size()) + 2) std::abort();
    CallStringMethods(engine, subject, pattern, replacement, mode);
    engine.Clear();
    return 0;
}
