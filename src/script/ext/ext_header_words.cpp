// Encoded words convert one at a time, so that the plain ASCII around them never
// passes through a JIS converter (which might read "\" and "~" as yen and overline).
#include "script/ext/ext_header_words.h"

#include "script/lib/jconvert.h"
#include "util/Base64.h"
#include "util/CodePage.h"

namespace kestrel::ext {

namespace {

constexpr std::string_view kOpen = "=?ISO-2022-JP?B?";
constexpr std::string_view kClose = "?=";
// Ends a decoded word: back to one-byte mode whatever the word left.
constexpr std::string_view kToRoman = "\x1B(J";
constexpr std::string_view kToAscii = "\x1B(B";
constexpr std::string_view kToDoubleByte = "\x1B$";

bool IsAscii(unsigned char c) { return c < 0x80; }

std::size_t FindOpenIgnoringCase(std::string_view text, std::size_t from) {
    const tinctor::CodePage& cp = tinctor::CodePage::Current();
    for (std::size_t i = text.find("=?", from); i != std::string_view::npos; i = text.find("=?", i + 1))
        if (text.size() - i >= kOpen.size() && cp.EqualsIgnoreCase(text.substr(i, kOpen.size()), kOpen)) return i;
    return std::string_view::npos;
}

}  // namespace

std::string EncodeHeaderWords(std::string_view text) {
    const tinctor::CodePage& cp = tinctor::CodePage::Current();
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        if (IsAscii(static_cast<unsigned char>(text[i]))) {
            out += text[i++];
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !IsAscii(static_cast<unsigned char>(text[end]))) end += cp.CharLength(text, end);
        out += kOpen;
        std::string jis = jconvert::FromSJIStoJIS(text.substr(i, end - i));
        // A word ends in one-byte mode, so that the header text after it reads as ASCII.
        const std::size_t lastEscape = jis.rfind('\x1B');
        if (lastEscape != std::string::npos && jis.compare(lastEscape, kToDoubleByte.size(), kToDoubleByte) == 0)
            jis += kToAscii;
        out += tinctor::Base64Encode(jis);
        out += kClose;
        i = end;
    }
    return out;
}

std::string DecodeHeaderWords(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = FindOpenIgnoringCase(text, i);
        if (open == std::string_view::npos) break;
        const std::size_t code = open + kOpen.size();
        const std::size_t close = text.find(kClose, code);
        if (close == std::string_view::npos) break;
        out.append(text.substr(i, open - i));
        std::string jis = tinctor::Base64Decode(text.substr(code, close - code));
        jis += kToRoman;
        out += jconvert::FromJIStoSJIS(jis);
        i = close + kClose.size();
    }
    out.append(text.substr(i));
    return out;
}

}  // namespace kestrel::ext
