#include "platform/PaletteSysColors.h"

#include "platform/SystemColors.h"

namespace tinctor {

TColor TPaletteSysColors::SysColor(int index) const { return SystemColor(index); }

void InstallPaletteSysColors() {
    static const TPaletteSysColors provider;
    ApplicationSystemColors();  // read the palette now, once
    SetSysColorProvider(&provider);
}

}  // namespace tinctor
