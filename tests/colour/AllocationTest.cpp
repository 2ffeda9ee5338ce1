// The conversions, the parser and the formatter (beyond a long result) never allocate.
#include "colour/ColorCodes.h"
#include "colour/StrColor.h"
#include "colour/stdColors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
bool Counting = false;
int Allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    if (Counting) ++Allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tinctor {
namespace {

template <typename F>
int AllocationsOf(F&& f) {
    Allocations = 0;
    Counting = true;
    f();
    Counting = false;
    return Allocations;
}

TEST(Allocation, NoneOnTheHotPaths) {
    PrepareColorNames();
    volatile TColor sink = 0;
    EXPECT_EQ(AllocationsOf([&] {
                  for (TColor c = 0; c < 0x1000000; c += 0x010305) {
                      sink = HLSToColor(ColorToHLS(c));
                      sink = ComplementOf(c);
                  }
              }),
              0);
    EXPECT_EQ(AllocationsOf([&] {
                  for (const char* t : {"#FF8000", "&h80FF", "$12345678", "0x1", "LightGoldenrodYellow", "buttonface",
                                        "#FF0000 ; red", "RGB(1,2,3);", ""})
                      sink = ParseColorText(t);
              }),
              0);
    // Codes fit the string's own buffer; only a long name needs its one allocation.
    EXPECT_EQ(AllocationsOf([&] {
                  for (int n = 0; n < 6; ++n) sink = TColor(FormatColorCode(0x123456, n, {.ColorCode = true}).size());
              }),
              0);
    EXPECT_EQ(AllocationsOf([&] { sink = TColor(FormatColorCode(0xD2FAFA, HtmlNotation, {true, true}).size()); }), 1);
    (void)sink;
}

}  // namespace
}  // namespace tinctor
