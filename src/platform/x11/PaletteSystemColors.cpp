#include <QApplication>
#include <QPalette>

#include "platform/SystemColors.h"

namespace tinctor {

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

uint32_t ToColorRef(const QColor& c) {
    return Rgb(static_cast<uint32_t>(c.red()), static_cast<uint32_t>(c.green()), static_cast<uint32_t>(c.blue()));
}

// One row per COLOR_* index: a palette role, or the classic scheme's value when
// the palette has nothing of the kind.
struct TRow {
    bool FromPalette;
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
    uint32_t Classic;
};

constexpr TRow Palette(QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active) {
    return {true, group, role, 0};
}
constexpr TRow Classic(uint32_t value) { return {false, QPalette::Active, QPalette::NoRole, value}; }

constexpr std::array<TRow, SystemColorCount> kRows = {{
    Classic(Rgb(212, 208, 200)),                     //  0 COLOR_SCROLLBAR
    Classic(Rgb(58, 110, 165)),                      //  1 COLOR_BACKGROUND (desktop)
    Classic(Rgb(10, 36, 106)),                       //  2 COLOR_ACTIVECAPTION
    Classic(Rgb(128, 128, 128)),                     //  3 COLOR_INACTIVECAPTION
    Palette(QPalette::Window),                       //  4 COLOR_MENU
    Palette(QPalette::Base),                         //  5 COLOR_WINDOW
    Classic(Rgb(0, 0, 0)),                           //  6 COLOR_WINDOWFRAME
    Palette(QPalette::WindowText),                   //  7 COLOR_MENUTEXT
    Palette(QPalette::Text),                         //  8 COLOR_WINDOWTEXT
    Classic(Rgb(255, 255, 255)),                     //  9 COLOR_CAPTIONTEXT
    Classic(Rgb(212, 208, 200)),                     // 10 COLOR_ACTIVEBORDER
    Classic(Rgb(212, 208, 200)),                     // 11 COLOR_INACTIVEBORDER
    Palette(QPalette::Mid),                          // 12 COLOR_APPWORKSPACE
    Palette(QPalette::Highlight),                    // 13 COLOR_HIGHLIGHT
    Palette(QPalette::HighlightedText),              // 14 COLOR_HIGHLIGHTTEXT
    Palette(QPalette::Button),                       // 15 COLOR_BTNFACE
    Palette(QPalette::Dark),                         // 16 COLOR_BTNSHADOW
    Palette(QPalette::Text, QPalette::Disabled),     // 17 COLOR_GRAYTEXT
    Palette(QPalette::ButtonText),                   // 18 COLOR_BTNTEXT
    Classic(Rgb(212, 208, 200)),                     // 19 COLOR_INACTIVECAPTIONTEXT
    Palette(QPalette::Light),                        // 20 COLOR_BTNHIGHLIGHT
    Palette(QPalette::Shadow),                       // 21 COLOR_3DDKSHADOW
    Palette(QPalette::Midlight),                     // 22 COLOR_3DLIGHT
    Palette(QPalette::ToolTipText),                  // 23 COLOR_INFOTEXT
    Palette(QPalette::ToolTipBase),                  // 24 COLOR_INFOBK
    Classic(Rgb(180, 180, 180)),                     // 25 (no COLOR_* of its own)
    Palette(QPalette::Link),                         // 26 COLOR_HOTLIGHT
    Classic(Rgb(166, 202, 240)),                     // 27 COLOR_GRADIENTACTIVECAPTION
    Classic(Rgb(192, 192, 192)),                     // 28 COLOR_GRADIENTINACTIVECAPTION
    Palette(QPalette::Highlight),                    // 29 COLOR_MENUHILIGHT
    Palette(QPalette::Window),                       // 30 COLOR_MENUBAR
}};

}  // namespace

TSystemColorTable SystemColorsFromPalette(const QPalette& palette) {
    TSystemColorTable table{};
    for (int i = 0; i < SystemColorCount; ++i) {
        const TRow& row = kRows[static_cast<std::size_t>(i)];
        table[static_cast<std::size_t>(i)] =
            row.FromPalette ? ToColorRef(palette.color(row.Group, row.Role)) : row.Classic;
    }
    return table;
}

const TSystemColorTable& ApplicationSystemColors() {
    static const TSystemColorTable table = SystemColorsFromPalette(QApplication::palette());
    return table;
}

uint32_t SystemColor(int index) {
    if (index < 0 || index >= SystemColorCount) return 0;
    return ApplicationSystemColors()[static_cast<std::size_t>(index)];
}

}  // namespace tinctor
