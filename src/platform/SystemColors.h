// The system colours: every Windows COLOR_* index as a colour value 0x00BBGGRR,
// taken from the application palette where a palette role fits and from the
// classic scheme where none does (captions, borders, the desktop, scroll bars).
#pragma once

#include <array>
#include <cstdint>

class QPalette;

namespace tinctor {

inline constexpr int SystemColorCount = 31;  // COLOR_SCROLLBAR (0) .. COLOR_MENUBAR (30)

using TSystemColorTable = std::array<uint32_t, SystemColorCount>;

// The table that Palette gives.
TSystemColorTable SystemColorsFromPalette(const QPalette& palette);

// The table of the application palette, read on first use and kept for the run.
const TSystemColorTable& ApplicationSystemColors();
// One entry of it; an index out of range gives black.
uint32_t SystemColor(int index);

}  // namespace tinctor
