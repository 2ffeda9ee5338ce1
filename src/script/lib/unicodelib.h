// The width and kana conversions of Japanese text (toZenkaku, toHankaku,
// toHiragana, toKatakana): the system's own tables over UTF-16, applied to the
// whole text at once so that a sound mark always meets the katakana before it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::unicodelib {

enum class TJMapping : std::uint8_t {
    Zenkaku,   // ASCII, space and half-width katakana made full-width
    Hankaku,   // the full-width forms made half-width where a half-width form exists
    Hiragana,  // katakana made hiragana
    Katakana,  // hiragana made katakana
};

// Maps UTF-16 text. A character whose counterpart the code page cannot hold
// (CP932 lacks ゔ, ゕ and ゖ) is left as it is.
std::u16string Map(std::u16string_view text, TJMapping mapping);
// Maps system text; bytes that do not decode travel through unchanged.
std::string MapText(std::string_view text, TJMapping mapping);

}  // namespace kestrel::unicodelib
