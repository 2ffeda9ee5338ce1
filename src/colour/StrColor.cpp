#include "colour/StrColor.h"

#include "colour/ColorCodes.h"
#include "util/CodePage.h"

#include <array>
#include <charconv>

namespace tinctor {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

char* PutHex2(char* p, std::uint8_t v) {
    *p++ = HexDigits[v >> 4];
    *p++ = HexDigits[v & 15];
    return p;
}

char* PutText(char* p, std::string_view s) {
    for (char c : s) *p++ = c;
    return p;
}

char* PutDecimal(char* p, std::uint32_t v) { return std::to_chars(p, p + 10, v).ptr; }

// The name for the code of (R, G, B) in Notation, empty when its table has none.
std::string_view CodeName(int notation, TRGB rgb, bool extended) {
    const std::uint32_t redFirst = std::uint32_t(rgb.R) << 16 | rgb.G << 8 | rgb.B;
    const std::uint32_t blueFirst = std::uint32_t(rgb.B) << 16 | rgb.G << 8 | rgb.R;
    switch (notation) {
        case HtmlNotation: return FindCodeName(extended ? HtmlExtendedColorRows() : HtmlBasicColorRows(), redFirst);
        case VBNotation: return FindCodeName(VBColorRows(), blueFirst);
        case DelphiNotation: return FindCodeName(DelphiColorRows(), blueFirst);
        default: return {};
    }
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
        if (c != prefix[i]) return false;
    }
    return true;
}

using TSixDigits = std::array<char, 6>;

// Six digits in blue-green-red order from the digits after "#" (red first).
bool ShapeHtmlDigits(std::string_view d, TSixDigits& out) {
    TSixDigits rgb;
    if (d.size() == 3) {
        rgb = {d[0], d[0], d[1], d[1], d[2], d[2]};
    } else if (!d.empty() && d.size() <= 6) {
        rgb.fill('0');
        d.copy(rgb.data() + 6 - d.size(), d.size());
    } else {
        return false;
    }
    out = {rgb[4], rgb[5], rgb[2], rgb[3], rgb[0], rgb[1]};
    return true;
}

// Six digits from the digits after "&h", "$" or "0x" (already blue first): short codes
// are padded, seven or eight digits lose their first ones whatever they are.
bool ShapeValueDigits(std::string_view d, TSixDigits& out) {
    if (d.empty() || d.size() > 8) return false;
    if (d.size() > 6) d.remove_prefix(d.size() - 6);
    out.fill('0');
    d.copy(out.data() + 6 - d.size(), d.size());
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

[[noreturn]] void ThrowNotInteger(const TSixDigits& digits) {
    std::string message = "'$00";
    message.append(digits.data(), digits.size());
    message += CodePage::Current().FromUtf8("' は整数ではありません");
    throw EConvertError(message);
}

TColor ReadHex(const TSixDigits& digits) {
    TColor value = 0;
    for (char c : digits) {
        const int v = HexValue(c);
        if (v < 0) ThrowNotInteger(digits);
        value = value << 4 | TColor(v);
    }
    return value;
}

}  // namespace

std::string FormatColorCode(TColor c, int notation, TColorCodeOptions options) {
    if (notation < HtmlNotation || notation > DoubleWordNotation) notation = HtmlNotation;
    const TRGB rgb = SplitColor(c);
    if (options.ColorCode) {
        // A name is never lowered.
        const std::string_view name = CodeName(notation, rgb, options.ExtendColor);
        if (!name.empty()) return std::string(name);
    }

    char buf[24];
    char* p = buf;
    switch (notation) {
        case HtmlNotation:
            p = PutText(p, "#");
            p = PutHex2(PutHex2(PutHex2(p, rgb.R), rgb.G), rgb.B);
            if (options.LowerCase)
                for (char* q = buf; q != p; ++q)
                    if (*q >= 'A' && *q <= 'F') *q = char(*q + 32);
            break;
        case VBNotation:
        case DelphiNotation:
        case CNotation:
            p = PutText(p, notation == VBNotation ? "&h00" : notation == DelphiNotation ? "$00" : "0x00");
            p = PutHex2(PutHex2(PutHex2(p, rgb.B), rgb.G), rgb.R);
            break;
        case RGBNotation:
            p = PutText(p, "RGB(");
            p = PutText(PutDecimal(p, rgb.R), ",");
            p = PutText(PutDecimal(p, rgb.G), ",");
            p = PutText(PutDecimal(p, rgb.B), ");");
            break;
        case DoubleWordNotation:
            p = PutDecimal(p, RGBToColor(rgb.R, rgb.G, rgb.B));
            break;
    }
    return std::string(buf, std::size_t(p - buf));
}

TColor ParseColorText(std::string_view text) {
    // The whole text is looked up as a name, blanks and all.
    if (const TColor named = ColorNameTable().FindColor(text); named != NoColor) return named;

    std::string_view t = text.substr(0, text.find(' '));
    TSixDigits digits;
    // A prefix that matches stays removed even when its digits do not fit, so the
    // next prefix is tried on what follows it ("#&hFF00FF00" is read as "&hFF00FF00").
    if (StartsWithIgnoreCase(t, "#")) {
        t.remove_prefix(1);
        if (ShapeHtmlDigits(t, digits)) return ReadHex(digits);
    }
    for (std::string_view prefix : {std::string_view("&h"), std::string_view("$"), std::string_view("0x")}) {
        if (!StartsWithIgnoreCase(t, prefix)) continue;
        t.remove_prefix(prefix.size());
        if (ShapeValueDigits(t, digits)) return ReadHex(digits);
    }
    return NoColor;
}

}  // namespace tinctor
