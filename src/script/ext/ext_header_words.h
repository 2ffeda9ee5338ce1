// Mail header words: runs of non-ASCII characters as "=?ISO-2022-JP?B?...?=" and back.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::ext {

// Every run of multi-byte characters of the system text becomes one encoded word
// (ISO-2022-JP, Base64); single-byte characters are copied unchanged.
std::string EncodeHeaderWords(std::string_view text);
// Every "=?ISO-2022-JP?B?" ... "?=" (opening marker in any letter case) becomes its
// decoded text in the system code page; a word without "?=" leaves the rest as it is.
std::string DecodeHeaderWords(std::string_view text);

}  // namespace kestrel::ext
