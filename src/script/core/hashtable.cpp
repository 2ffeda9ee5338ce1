#include "script/core/hashtable.h"

#include "util/CodePage.h"

namespace kestrel {

using tinctor::CodePage;

std::uint32_t HashKey(std::string_view key, bool ignoreCase) noexcept {
    std::uint32_t h = 0;
    if (!ignoreCase) {
        for (char c : key) h = ((h << 2) | (h >> 30)) ^ static_cast<unsigned char>(c);
        return h;
    }
    // Lower-case the way the code page service does: single-byte letters only, the
    // bytes of multi-byte characters stay as they are.
    const CodePage& cp = CodePage::Current();
    for (std::size_t i = 0; i < key.size();) {
        std::size_t len = cp.CharLength(key, i);
        for (std::size_t k = 0; k < len; ++k) {
            unsigned char b = static_cast<unsigned char>(key[i + k]);
            if (len == 1 && b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b + 32);
            h = ((h << 2) | (h >> 30)) ^ b;
        }
        i += len;
    }
    return h;
}

int CompareKeys(std::string_view a, std::string_view b, bool ignoreCase) noexcept {
    const CodePage& cp = CodePage::Current();
    return ignoreCase ? cp.CompareIgnoreCase(a, b) : cp.Compare(a, b);
}

bool SameKey(std::string_view a, std::string_view b, bool ignoreCase) noexcept {
    // The string order calls only identical names equal.
    if (!ignoreCase) return a == b;
    return a.size() == b.size() && CodePage::Current().CompareIgnoreCase(a, b) == 0;
}

}  // namespace kestrel
