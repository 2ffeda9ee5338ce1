// Huge pages through madvise (transparent huge pages in "madvise" mode are the default).
#include "util/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace tinctor {

namespace {
constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
}  // namespace

void AdviseHugePages(void* data, std::size_t size) noexcept {
    if (size < 2 * kHugePage) return;
    std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data);
    std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    std::uintptr_t last = (start + size) & ~(kHugePage - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace tinctor
