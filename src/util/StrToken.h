// Cutting tokens off the front of a text.
#pragma once

#include <string>

namespace tinctor {

// Cuts the next token off the front of Text up to the first Delimiter that does not
// follow Escape, and returns it; Text keeps what follows that delimiter (empty when
// there is none). The escape character stays in the token. Multi-byte characters are
// never split: a trail byte that equals the delimiter or the escape is not one.
// An Escape of '\0' means no escape character.
std::string StrToken(std::string& text, char delimiter, char escape = '\0');

}  // namespace tinctor
