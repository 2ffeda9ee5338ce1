// Percent coding of the global functions escape, encodeURI, encodeURIComponent and
// their decoders. It works on the bytes of the code page as they are: there is no
// conversion to UTF-8, so each byte of a double-byte character is coded by itself.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

enum class TPercentForm {
    Escape,     // the unreserved bytes stay, a space becomes "+"
    Uri,        // the unreserved bytes and ";/?:@&=+,#" stay
    Component,  // only the unreserved bytes stay
};

// Every other byte becomes "%" and two upper-case hexadecimal digits; coding stops at
// the first zero byte.
std::string PercentEncode(std::string_view text, TPercentForm form);

// A text without any "%XX" of two hexadecimal digits comes back unchanged. Otherwise
// "%%" gives "%", "%" and two characters give the byte they spell in hexadecimal or
// the byte 0 when they are not hexadecimal digits, "+" gives a space when PlusIsSpace,
// and a "%" with fewer than two characters after it stays as it is.
std::string PercentDecode(std::string_view text, bool plusIsSpace);

}  // namespace kestrel
