// Base64 on byte strings (standard alphabet, "=" padding, no line breaks), for the
// script Base64 object and the mail objects' attachments.
#pragma once

#include <string>
#include <string_view>

namespace tinctor {

std::string Base64Encode(std::string_view bytes);
// Bytes outside the alphabet (CR, LF and any other) are skipped; decoding stops at
// the first "="; a final group of two or three characters yields its one or two
// bytes, a lone character nothing.
std::string Base64Decode(std::string_view text);
// The length Base64Encode gives for Size bytes.
constexpr std::size_t Base64EncodedSize(std::size_t size) { return (size + 2) / 3 * 4; }

}  // namespace tinctor
