#include "colour/SysColors.h"

#include <array>
#include <atomic>

namespace tinctor {

namespace {

constexpr std::array<TColor, SysColorCount> ClassicScheme = [] {
    std::array<TColor, SysColorCount> s{};
    const TColor face = RGBToColor(212, 208, 200), shadow = RGBToColor(128, 128, 128);
    const TColor navy = RGBToColor(10, 36, 106), white = RGBToColor(255, 255, 255), black = 0;
    s[COLOR_SCROLLBAR] = face;
    s[COLOR_BACKGROUND] = RGBToColor(58, 110, 165);
    s[COLOR_ACTIVECAPTION] = navy;
    s[COLOR_INACTIVECAPTION] = shadow;
    s[COLOR_MENU] = face;
    s[COLOR_WINDOW] = white;
    s[COLOR_WINDOWFRAME] = black;
    s[COLOR_MENUTEXT] = black;
    s[COLOR_WINDOWTEXT] = black;
    s[COLOR_CAPTIONTEXT] = white;
    s[COLOR_ACTIVEBORDER] = face;
    s[COLOR_INACTIVEBORDER] = face;
    s[COLOR_APPWORKSPACE] = shadow;
    s[COLOR_HIGHLIGHT] = navy;
    s[COLOR_HIGHLIGHTTEXT] = white;
    s[COLOR_BTNFACE] = face;
    s[COLOR_BTNSHADOW] = shadow;
    s[COLOR_GRAYTEXT] = shadow;
    s[COLOR_BTNTEXT] = black;
    s[COLOR_INACTIVECAPTIONTEXT] = face;
    s[COLOR_BTNHIGHLIGHT] = white;
    s[COLOR_3DDKSHADOW] = RGBToColor(64, 64, 64);
    s[COLOR_3DLIGHT] = face;
    s[COLOR_INFOTEXT] = black;
    s[COLOR_INFOBK] = RGBToColor(255, 255, 225);
    s[COLOR_HOTLIGHT] = RGBToColor(0, 0, 128);
    s[COLOR_GRADIENTACTIVECAPTION] = RGBToColor(166, 202, 240);
    s[COLOR_GRADIENTINACTIVECAPTION] = RGBToColor(192, 192, 192);
    s[COLOR_MENUHILIGHT] = navy;
    s[COLOR_MENUBAR] = face;
    return s;
}();

class TClassicSysColors final : public TSysColorProvider {
public:
    TColor SysColor(int index) const override {
        return index >= 0 && index < SysColorCount ? ClassicScheme[std::size_t(index)] : 0;
    }
};

const TClassicSysColors Classic;
constinit std::atomic<const TSysColorProvider*> Current{&Classic};

}  // namespace

const TSysColorProvider& ClassicSysColors() { return Classic; }

void SetSysColorProvider(const TSysColorProvider* provider) {
    Current.store(provider ? provider : &Classic, std::memory_order_release);
}

const TSysColorProvider& CurrentSysColors() { return *Current.load(std::memory_order_acquire); }

TColor GetSysColor(int index) { return CurrentSysColors().SysColor(index) & 0x00FFFFFF; }

}  // namespace tinctor
