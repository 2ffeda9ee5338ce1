// The traditional DES-based Unix password hash: the key is the first 8 bytes of the
// text (7 bits of each), the salt two characters of "./0-9A-Za-z" that perturb the
// expansion table, 25 encryptions of a zero block; 13 characters out.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// A salt character that is missing counts as "." (value 0) and is written as ".";
// other bytes outside the alphabet go through the algorithm's own arithmetic.
std::string Crypt3(std::string_view key, std::string_view salt);

}  // namespace kestrel
