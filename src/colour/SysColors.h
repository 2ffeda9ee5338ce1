// System colours: the colours of the desktop scheme by their Windows COLOR_* index.
//
// The colour model reads them through one provider. The default is a fixed classic
// scheme; the platform layer installs its own (read from the application palette)
// with SetSysColorProvider at start-up, before the colour name table is prepared
// (PrepareColorNames in ColorCodes.h), because the table reads the system colours
// once when it is built. HLS conversions of system colour references ask the
// provider in force at each call.
#pragma once

#include "colour/stdColors.h"

namespace tinctor {

enum : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    COLOR_3DFACE = COLOR_BTNFACE,
    COLOR_3DSHADOW = COLOR_BTNSHADOW,
    COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT,
    SysColorCount = 31,
};

class TSysColorProvider {
public:
    virtual ~TSysColorProvider() = default;
    // The colour 0x00BBGGRR of the system colour Index; 0 for an index it does not know.
    virtual TColor SysColor(int index) const = 0;
};

// The classic desktop scheme (grey 3D faces, navy captions and highlight).
const TSysColorProvider& ClassicSysColors();

// Installs Provider (not owned; it must outlive its use). Null restores the classic scheme.
void SetSysColorProvider(const TSysColorProvider* provider);
const TSysColorProvider& CurrentSysColors();

// The colour of system colour Index from the provider in force, top byte cleared.
TColor GetSysColor(int index);

}  // namespace tinctor
