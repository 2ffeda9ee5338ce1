#include <gtest/gtest.h>

#include "desktop/HotkeyText.h"

namespace tinctor {
namespace {

TEST(HotkeyText, ReadsModifiersInAnyOrderAndCase) {
    EXPECT_EQ(ParseHotkeyText("Ctrl+Alt+F12"), 0xC07B);
    EXPECT_EQ(ParseHotkeyText("alt+ctrl+f12"), 0xC07B);
    EXPECT_EQ(ParseHotkeyText("^A"), 0x4041);
    EXPECT_EQ(ParseHotkeyText("Shift+Ctrl+Alt+Del"), 0xE02E);
    EXPECT_EQ(ParseHotkeyText("Win+Shift+A"), 0x3041);
    EXPECT_EQ(ParseHotkeyText("win+shift+a"), 0x3041);
}

TEST(HotkeyText, FixedNamesAndDigits) {
    EXPECT_EQ(ParseHotkeyText("BkSp"), 0x08);
    EXPECT_EQ(ParseHotkeyText("tab"), 0x09);
    EXPECT_EQ(ParseHotkeyText("Enter"), 0x0D);
    EXPECT_EQ(ParseHotkeyText("Esc"), 0x1B);
    EXPECT_EQ(ParseHotkeyText("Space"), 0x20);
    EXPECT_EQ(ParseHotkeyText("PgDn"), 0x22);
    EXPECT_EQ(ParseHotkeyText("Down"), 0x28);
    EXPECT_EQ(ParseHotkeyText("Ins"), 0x2D);
    EXPECT_EQ(ParseHotkeyText("F1"), 0x70);
    EXPECT_EQ(ParseHotkeyText("F24"), 0x87);
    // A digit is the main-row key, never the keypad one that shares its name.
    EXPECT_EQ(ParseHotkeyText("Ctrl+5"), 0x4035);
    EXPECT_EQ(HotkeyKeyName(0x65), "5");
    EXPECT_EQ(ParseHotkeyText("Num +"), 0x6B);
    EXPECT_EQ(ParseHotkeyText("Alt+;"), 0x80BA);
}

TEST(HotkeyText, TextWithoutAKeyGivesNothing) {
    EXPECT_EQ(ParseHotkeyText(""), 0);
    EXPECT_EQ(ParseHotkeyText("Ctrl+"), 0);
    EXPECT_EQ(ParseHotkeyText("Ctrl+Foo"), 0);
    EXPECT_EQ(ParseHotkeyText("F25"), 0);
    EXPECT_EQ(ParseHotkeyText(" F1"), 0);
    EXPECT_EQ(ParseHotkeyText("Shift"), 0);  // modifier keys make no hot key alone
    // Only the Win flag stays.
    EXPECT_EQ(ParseHotkeyText("Win+Foo"), HotkeyWin);
    EXPECT_EQ(ParseHotkeyText("Win+"), HotkeyWin);
}

TEST(HotkeyText, WritesShiftCtrlAltWithoutWin) {
    EXPECT_EQ(HotkeyToText(0xC07B), "Ctrl+Alt+F12");
    EXPECT_EQ(HotkeyToText(0xE041), "Shift+Ctrl+Alt+A");
    EXPECT_EQ(HotkeyToText(0x3041), "Shift+A");
    EXPECT_EQ(HotkeyToText(0x0020), "Space");
    EXPECT_EQ(HotkeyToText(0x4000), "");
    EXPECT_EQ(HotkeyToText(0), "");
}

TEST(HotkeyText, EveryNamedKeyReadsBack) {
    for (unsigned vk = 0x08; vk <= 0xFF; ++vk) {
        const std::string name = HotkeyKeyName(vk);
        if (name.empty()) continue;
        const THotkey value = static_cast<THotkey>(HotkeyShift | HotkeyAlt | vk);
        const THotkey back = ParseHotkeyText(HotkeyToText(value));
        if (vk >= 0x60 && vk <= 0x69)
            EXPECT_EQ(back, HotkeyShift | HotkeyAlt | (vk - 0x30)) << name;
        else
            EXPECT_EQ(back, value) << name;
    }
}

}  // namespace
}  // namespace tinctor
