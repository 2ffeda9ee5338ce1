// The colour model's system colours taken from the application palette (SystemColors.h).
#pragma once

#include "colour/SysColors.h"

namespace tinctor {

class TPaletteSysColors final : public TSysColorProvider {
public:
    TColor SysColor(int index) const override;
};

// Makes the palette the colour model's system-colour provider for the rest of the run.
// Needs the QApplication; the palette is read once, on the first call.
void InstallPaletteSysColors();

}  // namespace tinctor
