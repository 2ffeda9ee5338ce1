#include <gtest/gtest.h>

#include "X11Helpers.h"
#include "desktop/GlobalHotKey.h"
#include "platform/Platform.h"
#include "platform/SystemError.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace tinctor {
namespace {

using test::RunTool;
using test::WaitFor;

struct TPressLog {
    int Presses = 0;
    unsigned Modifiers = 0, VirtKey = 0;
    void Attach(THotkeyItem& item) {
        item.OnHotkey = [this](THotkeyItem*, std::uint16_t m, std::uint16_t k) {
            ++Presses;
            Modifiers = m;
            VirtKey = k;
        };
    }
};

TEST(X11Hotkey, APressAnywhereReachesTheItemWhateverLockIsOn) {
    TGlobalHotkey hotkey(Platform().NewGlobalKeys());
    THotkeyItem& item = hotkey.Items().Add();
    TPressLog log;
    log.Attach(item);
    item.SetHotkey(ParseHotkeyText("Shift+Ctrl+F12"));
    ASSERT_TRUE(item.Registered());

    ASSERT_EQ(RunTool("xdotool", {"key", "ctrl+shift+F12"}), 0);
    ASSERT_TRUE(WaitFor([&] { return log.Presses == 1; }));
    EXPECT_EQ(log.Modifiers, 6u);
    EXPECT_EQ(log.VirtKey, 0x7Bu);

    for (const char* lock : {"Num_Lock", "Caps_Lock"}) {
        RunTool("xdotool", {"key", lock});
        RunTool("xdotool", {"key", "ctrl+shift+F12"});
        RunTool("xdotool", {"key", lock});
    }
    EXPECT_TRUE(WaitFor([&] { return log.Presses == 3; }));

    // Other combinations are not ours, and after unregistering nothing is.
    RunTool("xdotool", {"key", "ctrl+F12"});
    test::Pump(200);
    EXPECT_EQ(log.Presses, 3);
    item.SetHotkey(0);
    RunTool("xdotool", {"key", "ctrl+shift+F12"});
    test::Pump(200);
    EXPECT_EQ(log.Presses, 3);
}

TEST(X11Hotkey, ACodeWithoutAKeyGrabsNothing) {
    TGlobalHotkey hotkey(Platform().NewGlobalKeys());
    THotkeyItem& item = hotkey.Items().Add();
    TPressLog log;
    log.Attach(item);
    item.SetHotkey(0x40FF);  // Ctrl and a code that names no key
    EXPECT_FALSE(item.Registered());
    // Had keycode 0 (any key) been grabbed, this would reach the item.
    RunTool("xdotool", {"key", "ctrl+a"});
    test::Pump(200);
    EXPECT_EQ(log.Presses, 0);
}

TEST(X11Hotkey, ACombinationAnotherClientHoldsIsTheSystemError) {
    test::TOtherClient other;
    ASSERT_TRUE(other.GrabKey(XK_F11, ControlMask | ShiftMask));
    TGlobalHotkey hotkey(Platform().NewGlobalKeys());
    THotkeyItem& item = hotkey.Items().Add();
    try {
        item.SetHotkey(ParseHotkeyText("Shift+Ctrl+F11"));
        FAIL() << "no error";
    } catch (const ESystemError& e) {
        EXPECT_EQ(e.Code(), 1409);
        EXPECT_STREQ(e.what(), "システムエラー。コード：1409.\nホット キーは既に登録されています。");
    }
    EXPECT_FALSE(item.Registered());
}

TEST(X11Hotkey, ARefusedLockVariantReleasesTheOthers) {
    test::TOtherClient holder;
    ASSERT_TRUE(holder.GrabKey(XK_F10, ControlMask | ShiftMask | Mod2Mask));  // the Num Lock variant only
    {
        TGlobalHotkey hotkey(Platform().NewGlobalKeys());
        EXPECT_THROW(hotkey.Items().Add().SetHotkey(ParseHotkeyText("Shift+Ctrl+F10")), ESystemError);
        test::TOtherClient third;
        EXPECT_TRUE(third.GrabKey(XK_F10, ControlMask | ShiftMask));
        EXPECT_TRUE(third.GrabKey(XK_F10, ControlMask | ShiftMask | LockMask));
    }
}

TEST(X11Hotkey, DestroyingTheComponentReleasesItsGrabs) {
    {
        TGlobalHotkey hotkey(Platform().NewGlobalKeys());
        THotkeyItem& item = hotkey.Items().Add();
        item.SetHotkey(ParseHotkeyText("Shift+Ctrl+F9"));
        ASSERT_TRUE(item.Registered());
        test::TOtherClient meanwhile;
        EXPECT_FALSE(meanwhile.GrabKey(XK_F9, ControlMask | ShiftMask));
    }
    test::TOtherClient after;
    EXPECT_TRUE(after.GrabKey(XK_F9, ControlMask | ShiftMask));
}

}  // namespace
}  // namespace tinctor
