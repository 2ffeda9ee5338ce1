#include "script/core/hashtable.h"

#include "util/CodePage.h"

namespace kestrel {

using tinctor::CodePage;

std::uint32_t HashKeyIgnoringCase(std::string_view key) noexcept {
    std::uint32_t h = 0;
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
    // Most names are ASCII: fold and compare them here, and leave anything else to
    // the code page service (its order is the same on ASCII text).
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80) {
            const CodePage& cp = CodePage::Current();
            return ignoreCase ? cp.CompareIgnoreCase(a, b) : cp.Compare(a, b);
        }
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    if (ignoreCase) return 0;
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool SameKeyIgnoringCase(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && CodePage::Current().CompareIgnoreCase(a, b) == 0;
}

}  // namespace kestrel
