#include "desktop/HotkeyText.h"

#include <cctype>

namespace tinctor {

namespace {

struct TKeyName {
    unsigned VirtKey;
    const char* Name;
};

// The keys with fixed names, then the English names of the keys that are neither a
// digit, a letter nor a function key. Modifier and Windows keys have no name: they
// make no hot key on their own.
constexpr TKeyName Names[] = {
    {0x08, "BkSp"},        {0x09, "Tab"},          {0x0D, "Enter"},     {0x1B, "Esc"},
    {0x20, "Space"},       {0x21, "PgUp"},         {0x22, "PgDn"},      {0x23, "End"},
    {0x24, "Home"},        {0x25, "Left"},         {0x26, "Up"},        {0x27, "Right"},
    {0x28, "Down"},        {0x2D, "Ins"},          {0x2E, "Del"},
    {0x0C, "Clear"},       {0x13, "Pause"},        {0x14, "Caps Lock"}, {0x2C, "Prnt Scrn"},
    {0x5D, "Application"}, {0x6A, "Num *"},        {0x6B, "Num +"},     {0x6D, "Num -"},
    {0x6E, "Num Del"},     {0x6F, "Num /"},        {0x90, "Num Lock"},  {0x91, "Scroll Lock"},
    {0xBA, ";"},           {0xBB, "="},            {0xBC, ","},         {0xBD, "-"},
    {0xBE, "."},           {0xBF, "/"},            {0xC0, "`"},         {0xDB, "["},
    {0xDC, "\\"},          {0xDD, "]"},            {0xDE, "'"},
};

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Cuts Prefix off the front of Text when it is there (ignoring case).
bool CutPrefix(std::string_view& text, std::string_view prefix) {
    if (text.size() < prefix.size() || !EqualsIgnoreCase(text.substr(0, prefix.size()), prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

}  // namespace

std::string HotkeyKeyName(unsigned vk) {
    if (vk >= 0x30 && vk <= 0x39) return std::string(1, static_cast<char>('0' + (vk - 0x30)));
    if (vk >= 0x41 && vk <= 0x5A) return std::string(1, static_cast<char>('A' + (vk - 0x41)));
    if (vk >= 0x60 && vk <= 0x69) return std::string(1, static_cast<char>('0' + (vk - 0x60)));
    if (vk >= 0x70 && vk <= 0x87) return std::string(1, 'F') += std::to_string(vk - 0x6F);
    for (const TKeyName& k : Names)
        if (k.VirtKey == vk) return k.Name;
    return {};
}

THotkey ParseHotkeyText(std::string_view text) {
    const bool win = CutPrefix(text, "Win+");
    THotkey modifiers = 0;
    for (;;) {
        if (CutPrefix(text, "Shift+"))
            modifiers |= HotkeyShift;
        else if (CutPrefix(text, "^") || CutPrefix(text, "Ctrl+"))
            modifiers |= HotkeyCtrl;
        else if (CutPrefix(text, "Alt+"))
            modifiers |= HotkeyAlt;
        else
            break;
    }
    THotkey value = 0;
    // The first code whose name matches: a digit reads as the main-row digit key.
    if (!text.empty())
        for (unsigned vk = 0x08; vk <= 0xFF; ++vk)
            if (EqualsIgnoreCase(text, HotkeyKeyName(vk))) {
                value = static_cast<THotkey>(modifiers | vk);
                break;
            }
    return win ? static_cast<THotkey>(value + HotkeyWin) : value;
}

std::string HotkeyToText(THotkey value) {
    const std::string name = HotkeyKeyName(value & HotkeyKeyMask);
    if (name.empty()) return {};
    std::string text;
    if (value & HotkeyShift) text += "Shift+";
    if (value & HotkeyCtrl) text += "Ctrl+";
    if (value & HotkeyAlt) text += "Alt+";
    return text + name;
}

}  // namespace tinctor
