#include "colour/ColorCodes.h"

#include <algorithm>
#include <cstdio>

namespace tinctor {

namespace {

constexpr TColorCodeRow HtmlBasic[] = {
    {0x000000, "Black"},  {0x808080, "Gray"},    {0xC0C0C0, "Silver"}, {0xFFFFFF, "White"},
    {0xFF0000, "Red"},    {0xFFFF00, "Yellow"},  {0x00FF00, "Lime"},   {0x00FFFF, "Aqua"},
    {0x0000FF, "Blue"},   {0xFF00FF, "Fuchsia"}, {0x800000, "Maroon"}, {0x808000, "Olive"},
    {0x008000, "Green"},  {0x008080, "Teal"},    {0x000080, "Navy"},   {0x800080, "Purple"},
};

// The extended colour keywords of CSS Color Module Level 3 with their standard
// values, without the alternative spellings darkgrey, darkslategrey, dimgrey, grey,
// lightgray, lightslategrey and slategrey; sorted by code.
constexpr TColorCodeRow HtmlExtended[] = {
    {0x000000, "black"}, {0x000080, "navy"}, {0x00008B, "darkblue"}, {0x0000CD, "mediumblue"},
    {0x0000FF, "blue"}, {0x006400, "darkgreen"}, {0x008000, "green"}, {0x008080, "teal"},
    {0x008B8B, "darkcyan"}, {0x00BFFF, "deepskyblue"}, {0x00CED1, "darkturquoise"},
    {0x00FA9A, "mediumspringgreen"}, {0x00FF00, "lime"}, {0x00FF7F, "springgreen"}, {0x00FFFF, "aqua"},
    {0x00FFFF, "cyan"}, {0x191970, "midnightblue"}, {0x1E90FF, "dodgerblue"},
    {0x20B2AA, "lightseagreen"}, {0x228B22, "forestgreen"}, {0x2E8B57, "seagreen"},
    {0x2F4F4F, "darkslategray"}, {0x32CD32, "limegreen"}, {0x3CB371, "mediumseagreen"},
    {0x40E0D0, "turquoise"}, {0x4169E1, "royalblue"}, {0x4682B4, "steelblue"},
    {0x483D8B, "darkslateblue"}, {0x48D1CC, "mediumturquoise"}, {0x4B0082, "indigo"},
    {0x556B2F, "darkolivegreen"}, {0x5F9EA0, "cadetblue"}, {0x6495ED, "cornflowerblue"},
    {0x66CDAA, "mediumaquamarine"}, {0x696969, "dimgray"}, {0x6A5ACD, "slateblue"},
    {0x6B8E23, "olivedrab"}, {0x708090, "slategray"}, {0x778899, "lightslategray"},
    {0x7B68EE, "mediumslateblue"}, {0x7CFC00, "lawngreen"}, {0x7FFF00, "chartreuse"},
    {0x7FFFD4, "aquamarine"}, {0x800000, "maroon"}, {0x800080, "purple"}, {0x808000, "olive"},
    {0x808080, "gray"}, {0x87CEEB, "skyblue"}, {0x87CEFA, "lightskyblue"}, {0x8A2BE2, "blueviolet"},
    {0x8B0000, "darkred"}, {0x8B008B, "darkmagenta"}, {0x8B4513, "saddlebrown"},
    {0x8FBC8F, "darkseagreen"}, {0x90EE90, "lightgreen"}, {0x9370DB, "mediumpurple"},
    {0x9400D3, "darkviolet"}, {0x98FB98, "palegreen"}, {0x9932CC, "darkorchid"},
    {0x9ACD32, "yellowgreen"}, {0xA0522D, "sienna"}, {0xA52A2A, "brown"}, {0xA9A9A9, "darkgray"},
    {0xADD8E6, "lightblue"}, {0xADFF2F, "greenyellow"}, {0xAFEEEE, "paleturquoise"},
    {0xB0C4DE, "lightsteelblue"}, {0xB0E0E6, "powderblue"}, {0xB22222, "firebrick"},
    {0xB8860B, "darkgoldenrod"}, {0xBA55D3, "mediumorchid"}, {0xBC8F8F, "rosybrown"},
    {0xBDB76B, "darkkhaki"}, {0xC0C0C0, "silver"}, {0xC71585, "mediumvioletred"},
    {0xCD5C5C, "indianred"}, {0xCD853F, "peru"}, {0xD2691E, "chocolate"}, {0xD2B48C, "tan"},
    {0xD3D3D3, "lightgrey"}, {0xD8BFD8, "thistle"}, {0xDA70D6, "orchid"}, {0xDAA520, "goldenrod"},
    {0xDB7093, "palevioletred"}, {0xDC143C, "crimson"}, {0xDCDCDC, "gainsboro"}, {0xDDA0DD, "plum"},
    {0xDEB887, "burlywood"}, {0xE0FFFF, "lightcyan"}, {0xE6E6FA, "lavender"}, {0xE9967A, "darksalmon"},
    {0xEE82EE, "violet"}, {0xEEE8AA, "palegoldenrod"}, {0xF08080, "lightcoral"}, {0xF0E68C, "khaki"},
    {0xF0F8FF, "aliceblue"}, {0xF0FFF0, "honeydew"}, {0xF0FFFF, "azure"}, {0xF4A460, "sandybrown"},
    {0xF5DEB3, "wheat"}, {0xF5F5DC, "beige"}, {0xF5F5F5, "whitesmoke"}, {0xF5FFFA, "mintcream"},
    {0xF8F8FF, "ghostwhite"}, {0xFA8072, "salmon"}, {0xFAEBD7, "antiquewhite"}, {0xFAF0E6, "linen"},
    {0xFAFAD2, "lightgoldenrodyellow"}, {0xFDF5E6, "oldlace"}, {0xFF0000, "red"},
    {0xFF00FF, "fuchsia"}, {0xFF00FF, "magenta"}, {0xFF1493, "deeppink"}, {0xFF4500, "orangered"},
    {0xFF6347, "tomato"}, {0xFF69B4, "hotpink"}, {0xFF7F50, "coral"}, {0xFF8C00, "darkorange"},
    {0xFFA07A, "lightsalmon"}, {0xFFA500, "orange"}, {0xFFB6C1, "lightpink"}, {0xFFC0CB, "pink"},
    {0xFFD700, "gold"}, {0xFFDAB9, "peachpuff"}, {0xFFDEAD, "navajowhite"}, {0xFFE4B5, "moccasin"},
    {0xFFE4C4, "bisque"}, {0xFFE4E1, "mistyrose"}, {0xFFEBCD, "blanchedalmond"},
    {0xFFEFD5, "papayawhip"}, {0xFFF0F5, "lavenderblush"}, {0xFFF5EE, "seashell"},
    {0xFFF8DC, "cornsilk"}, {0xFFFACD, "lemonchiffon"}, {0xFFFAF0, "floralwhite"}, {0xFFFAFA, "snow"},
    {0xFFFF00, "yellow"}, {0xFFFFE0, "lightyellow"}, {0xFFFFF0, "ivory"}, {0xFFFFFF, "white"},
};

constexpr TColorCodeRow VB[] = {
    {0x00000000, "vbBlack"}, {0x000000FF, "vbRed"},     {0x0000FF00, "vbGreen"}, {0x0000FFFF, "vbYellow"},
    {0x00FF0000, "vbBlue"},  {0x00FF00FF, "vbMagenta"}, {0x00FFFF00, "vbCyan"},  {0x00FFFFFF, "vbWhite"},
};

constexpr TColorCodeRow Delphi[] = {
    {0x00000000, "clBlack"},      {0x00000080, "clMaroon"},   {0x00008000, "clGreen"},
    {0x00008080, "clOlive"},      {0x00800000, "clNavy"},     {0x00800080, "clPurple"},
    {0x00808000, "clTeal"},       {0x00808080, "clGray"},     {0x00C0C0C0, "clSilver"},
    {0x000000FF, "clRed"},        {0x0000FF00, "clLime"},     {0x0000FFFF, "clYellow"},
    {0x00FF0000, "clBlue"},       {0x00FF00FF, "clFuchsia"},  {0x00FFFF00, "clAqua"},
    {0x00FFFFFF, "clWhite"},      {0x00C0DCC0, "clMoneyGreen"}, {0x00F0CAA6, "clSkyBlue"},
    {0x00F0F6FF, "clCream"},      {0x00A4A0A0, "clMedGray"},
};

// "threedlightshadow" reads the button shadow, like "threedshadow", not COLOR_3DLIGHT.
constexpr TSysColorNameRow SysNames[] = {
    {"activeborder", COLOR_ACTIVEBORDER},
    {"activecaption", COLOR_ACTIVECAPTION},
    {"appworkspace", COLOR_APPWORKSPACE},
    {"background", COLOR_BACKGROUND},
    {"buttonface", COLOR_BTNFACE},
    {"buttonhighlight", COLOR_BTNHIGHLIGHT},
    {"buttonshadow", COLOR_BTNSHADOW},
    {"buttontext", COLOR_BTNTEXT},
    {"captiontext", COLOR_CAPTIONTEXT},
    {"graytext", COLOR_GRAYTEXT},
    {"highlight", COLOR_HIGHLIGHT},
    {"highlighttext", COLOR_HIGHLIGHTTEXT},
    {"inactiveborder", COLOR_INACTIVEBORDER},
    {"inactivecaption", COLOR_INACTIVECAPTION},
    {"inactivecaptiontext", COLOR_INACTIVECAPTIONTEXT},
    {"infobackground", COLOR_INFOBK},
    {"infotext", COLOR_INFOTEXT},
    {"menu", COLOR_MENU},
    {"menutext", COLOR_MENUTEXT},
    {"scrollbar", COLOR_SCROLLBAR},
    {"threeddarkshadow", COLOR_3DDKSHADOW},
    {"threedface", COLOR_3DFACE},
    {"threedhighlight", COLOR_3DHIGHLIGHT},
    {"threedlightshadow", COLOR_BTNSHADOW},
    {"threedshadow", COLOR_3DSHADOW},
    {"window", COLOR_WINDOW},
    {"windowframe", COLOR_WINDOWFRAME},
    {"windowtext", COLOR_WINDOWTEXT},
};

static_assert(std::size(HtmlBasic) == 16 && std::size(HtmlExtended) == 140 && std::size(VB) == 8 &&
              std::size(Delphi) == 20 && std::size(SysNames) == TColorNameTable::SysCount);
static_assert(std::is_sorted(std::begin(HtmlExtended), std::end(HtmlExtended),
                             [](const TColorCodeRow& a, const TColorCodeRow& b) { return a.Code < b.Code; }));

constexpr unsigned char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : static_cast<unsigned char>(c);
}

// Byte order after folding the single-byte letters; bytes of other characters compare as they are.
constexpr int CompareIgnoreCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = FoldCase(a[i]), y = FoldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// How a name's code is written: "#RRGGBB", "&H00BBGGRR", or "$00BBGGRR" (Delphi and system).
enum class TCodeForm : std::uint8_t { Html, VB, Delphi, System };

struct TNameEntry {
    std::string_view Name;
    TCodeForm Form;
    std::uint32_t Code;  // the code's number; for system names the position in SysNames
};

constexpr std::size_t NameCount =
    std::size(HtmlExtended) + std::size(VB) + std::size(Delphi) + std::size(SysNames);

// All names sorted ignoring case, for a binary search that allocates nothing.
constexpr std::array<TNameEntry, NameCount> SortedNames = [] {
    std::array<TNameEntry, NameCount> a{};
    std::size_t n = 0;
    for (const auto& r : HtmlExtended) a[n++] = {r.Name, TCodeForm::Html, r.Code};
    for (const auto& r : VB) a[n++] = {r.Name, TCodeForm::VB, r.Code};
    for (const auto& r : Delphi) a[n++] = {r.Name, TCodeForm::Delphi, r.Code};
    for (std::uint32_t i = 0; i < std::size(SysNames); ++i) a[n++] = {SysNames[i].Name, TCodeForm::System, i};
    std::sort(a.begin(), a.end(),
              [](const TNameEntry& x, const TNameEntry& y) { return CompareIgnoreCase(x.Name, y.Name) < 0; });
    return a;
}();

constexpr bool NamesAreUnique() {
    for (std::size_t i = 1; i < SortedNames.size(); ++i)
        if (CompareIgnoreCase(SortedNames[i - 1].Name, SortedNames[i].Name) == 0) return false;
    return true;
}
static_assert(NamesAreUnique());

constexpr bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

constexpr bool NamesStartWithALetter() {
    for (const auto& e : SortedNames)
        if (!IsAsciiLetter(e.Name[0])) return false;
    return true;
}
static_assert(NamesStartWithALetter());

constexpr std::size_t LongestName = [] {
    std::size_t n = 0;
    for (const auto& e : SortedNames) n = std::max(n, e.Name.size());
    return n;
}();

const TNameEntry* FindName(std::string_view name) {
    // Every name starts with a letter, so codes ("#...", "$...") skip the search.
    if (name.empty() || name.size() > LongestName || !IsAsciiLetter(name[0])) return nullptr;
    const auto it = std::lower_bound(SortedNames.begin(), SortedNames.end(), name,
                                     [](const TNameEntry& e, std::string_view n) { return CompareIgnoreCase(e.Name, n) < 0; });
    return it != SortedNames.end() && CompareIgnoreCase(it->Name, name) == 0 ? &*it : nullptr;
}

}  // namespace

std::span<const TColorCodeRow> HtmlBasicColorRows() { return HtmlBasic; }
std::span<const TColorCodeRow> HtmlExtendedColorRows() { return HtmlExtended; }
std::span<const TColorCodeRow> VBColorRows() { return VB; }
std::span<const TColorCodeRow> DelphiColorRows() { return Delphi; }
std::span<const TSysColorNameRow> SysColorNameRows() { return SysNames; }

std::string_view FindCodeName(std::span<const TColorCodeRow> rows, std::uint32_t code) {
    if (rows.data() == std::data(HtmlExtended)) {
        // Sorted by code: the row before the first greater code is the last one with it.
        const auto it = std::upper_bound(rows.begin(), rows.end(), code,
                                         [](std::uint32_t c, const TColorCodeRow& r) { return c < r.Code; });
        return it != rows.begin() && (it - 1)->Code == code ? (it - 1)->Name : std::string_view();
    }
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (it->Code == code) return it->Name;
    return {};
}

TColorNameTable::TColorNameTable(const TSysColorProvider& sysColors) {
    for (std::size_t i = 0; i < SysCount; ++i) sysValues_[i] = sysColors.SysColor(SysNames[i].Index) & 0x00FFFFFF;
}

TColor TColorNameTable::FindColor(std::string_view name) const {
    const TNameEntry* e = FindName(name);
    if (!e) return NoColor;
    switch (e->Form) {
        case TCodeForm::Html: return RGBToColor(std::uint8_t(e->Code >> 16), std::uint8_t(e->Code >> 8), std::uint8_t(e->Code));
        case TCodeForm::System: return sysValues_[e->Code];
        default: return e->Code & 0x00FFFFFF;
    }
}

std::string TColorNameTable::LookupColorName(std::string_view text) const {
    const TNameEntry* e = FindName(text);
    if (!e) return std::string(text);
    char buf[16];
    int n = 0;
    switch (e->Form) {
        case TCodeForm::Html: n = std::snprintf(buf, sizeof buf, "#%06X", unsigned(e->Code)); break;
        case TCodeForm::VB: n = std::snprintf(buf, sizeof buf, "&H%08X", unsigned(e->Code)); break;
        case TCodeForm::Delphi: n = std::snprintf(buf, sizeof buf, "$%08X", unsigned(e->Code)); break;
        case TCodeForm::System: n = std::snprintf(buf, sizeof buf, "$00%06X", unsigned(sysValues_[e->Code])); break;
    }
    return std::string(buf, std::size_t(n));
}

const TColorNameTable& ColorNameTable() {
    static const TColorNameTable table(CurrentSysColors());
    return table;
}

void PrepareColorNames() { (void)ColorNameTable(); }

std::string LookupColorName(std::string_view text) { return ColorNameTable().LookupColorName(text); }

}  // namespace tinctor
