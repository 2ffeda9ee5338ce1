#include <gtest/gtest.h>

#include "desktop/GlobalHotKey.h"
#include "platform/ErrorGuard.h"
#include "platform/SystemError.h"
#include "platform/fake/FakeDialogs.h"
#include "platform/fake/FakePlatform.h"

namespace tinctor {
namespace {

using TCall = TFakeKeyboard::TCall;

class GlobalHotkeyTest : public testing::Test {
protected:
    TFakePlatform fake;
    TFakeKeyboard& keyboard = fake.Keyboard();
};

TEST_F(GlobalHotkeyTest, ItemsCountIdsAndNameThemselves) {
    TGlobalHotkey hotkey(fake.NewGlobalKeys());
    THotkeyItem& first = hotkey.Items().Add();
    THotkeyItem& second = hotkey.Items().Add();
    EXPECT_EQ(first.ID(), 0);
    EXPECT_EQ(second.ID(), 1);
    EXPECT_EQ(first.Name, "DoHotkey0");
    EXPECT_EQ(second.GetDisplayName(), "DoHotkey1");
    EXPECT_TRUE(first.SaveLoad);
    hotkey.Items().Delete(0);
    EXPECT_EQ(hotkey.Items().Add().ID(), 2);  // IDs are never reused
    EXPECT_EQ(hotkey.Items().FindItemID(1), &second);
    EXPECT_EQ(hotkey.Items().FindItemID(0), nullptr);
}

TEST_F(GlobalHotkeyTest, RegistersTheSystemsModifiersAndKey) {
    TGlobalHotkey hotkey(fake.NewGlobalKeys());
    THotkeyItem& item = hotkey.Items().Add();
    item.SetHotkey(ParseHotkeyText("Ctrl+Alt+F12"));
    ASSERT_EQ(keyboard.Calls.size(), 1u);
    EXPECT_EQ(keyboard.Calls[0], (TCall{TCall::Register, 0, 3, 0x7B}));
    EXPECT_TRUE(item.Registered());

    THotkeyItem& win = hotkey.Items().Add();
    win.SetHotkey(ParseHotkeyText("win+shift+a"));
    EXPECT_EQ(keyboard.Calls.back(), (TCall{TCall::Register, 1, 12, 0x41}));
}

TEST_F(GlobalHotkeyTest, ChangingTheValueUnregistersFirstAndTheSameValueDoesNothing) {
    TGlobalHotkey hotkey(fake.NewGlobalKeys());
    THotkeyItem& item = hotkey.Items().Add();
    item.SetHotkey(0x607B);  // Shift+Ctrl+F12
    item.SetHotkey(0x607B);
    EXPECT_EQ(keyboard.Calls.size(), 1u);
    item.SetHotkey(0x607A);
    ASSERT_EQ(keyboard.Calls.size(), 3u);
    EXPECT_EQ(keyboard.Calls[1].Kind, TCall::Unregister);
    EXPECT_EQ(keyboard.Calls[2], (TCall{TCall::Register, 0, 6, 0x7A}));
    EXPECT_FALSE(keyboard.IsGrabbed(6, 0x7B));
    EXPECT_TRUE(keyboard.IsGrabbed(6, 0x7A));
    item.SetHotkey(0);
    EXPECT_FALSE(item.Registered());
    EXPECT_FALSE(keyboard.IsGrabbed(6, 0x7A));
}

TEST_F(GlobalHotkeyTest, DisabledStoresTheValueAndEnablingRegistersIt) {
    TGlobalHotkey hotkey(fake.NewGlobalKeys());
    THotkeyItem& item = hotkey.Items().Add();
    hotkey.SetEnabled(false);
    item.SetHotkey(0x607B);
    EXPECT_TRUE(keyboard.Calls.empty());
    EXPECT_EQ(item.Hotkey(), 0x607B);
    EXPECT_FALSE(item.Registered());
    hotkey.SetEnabled(true);
    EXPECT_TRUE(item.Registered());
    hotkey.SetEnabled(true);
    EXPECT_EQ(keyboard.Calls.size(), 1u);
    hotkey.SetEnabled(false);
    EXPECT_FALSE(item.Registered());
    EXPECT_FALSE(keyboard.IsGrabbed(6, 0x7B));
}

TEST_F(GlobalHotkeyTest, ModifiersWithoutAKeyRegisterNothing) {
    TGlobalHotkey hotkey(fake.NewGlobalKeys());
    THotkeyItem& item = hotkey.Items().Add();
    item.SetHotkey(ParseHotkeyText("Win+Foo"));
    EXPECT_EQ(item.Hotkey(), HotkeyWin);
    EXPECT_FALSE(item.Registered());
    EXPECT_TRUE(keyboard.Calls.empty());
}

TEST_F(GlobalHotkeyTest, AKeyMissingFromTheKeyboardStaysUnregistered) {
    keyboard.MissingKeys.insert(0x87);
    TGlobalHotkey hotkey(fake.NewGlobalKeys());
    THotkeyItem& item = hotkey.Items().Add();
    item.SetHotkey(0x4087);
    EXPECT_FALSE(item.Registered());
    item.SetHotkey(0x4086);
    EXPECT_TRUE(item.Registered());
}

TEST_F(GlobalHotkeyTest, ACombinationHeldElsewhereIsTheSystemError) {
    keyboard.HoldElsewhere(6, 0x7B);
    TGlobalHotkey hotkey(fake.NewGlobalKeys());
    THotkeyItem& item = hotkey.Items().Add();
    try {
        item.SetHotkey(0x607B);
        FAIL() << "no error";
    } catch (const ESystemError& e) {
        EXPECT_EQ(e.Code(), 1409);
        EXPECT_STREQ(e.what(), "システムエラー。コード：1409.\nホット キーは既に登録されています。");
    }
    EXPECT_FALSE(item.Registered());
    EXPECT_EQ(item.Hotkey(), 0x607B);
    // Another component of this program counts as elsewhere too.
    keyboard.ReleaseElsewhere(6, 0x7B);
    TGlobalHotkey other(fake.NewGlobalKeys());
    other.Items().Add().SetHotkey(0x607B);
    hotkey.SetEnabled(false);
    EXPECT_THROW(hotkey.SetEnabled(true), ESystemError);
    EXPECT_FALSE(item.Registered());
}

TEST_F(GlobalHotkeyTest, APressRaisesTheItemsEvent) {
    TGlobalHotkey hotkey(fake.NewGlobalKeys());
    hotkey.Items().Add().SetHotkey(0x2041);
    THotkeyItem& item = hotkey.Items().Add();
    item.Tag = 7;
    int presses = 0;
    item.OnHotkey = [&](THotkeyItem* sender, std::uint16_t modifiers, std::uint16_t virtKey) {
        EXPECT_EQ(sender, &item);
        EXPECT_EQ(modifiers, 6);
        EXPECT_EQ(virtKey, 0x7B);
        ++presses;
    };
    item.SetHotkey(0x607B);
    EXPECT_TRUE(keyboard.Press(6, 0x7B));
    EXPECT_TRUE(keyboard.Press(4, 0x41));  // the first item has no handler
    EXPECT_FALSE(keyboard.Press(2, 0x7B));
    EXPECT_EQ(presses, 1);
}

TEST_F(GlobalHotkeyTest, AnErrorInTheHandlerGoesToTheStandardErrorBox) {
    TFakeDialogs dialogs;
    {
        TGlobalHotkey hotkey(fake.NewGlobalKeys());
        THotkeyItem& item = hotkey.Items().Add();
        item.OnHotkey = [](THotkeyItem*, std::uint16_t, std::uint16_t) { throw std::runtime_error("boom"); };
        item.SetHotkey(0x607B);
        EXPECT_NO_THROW(keyboard.Press(6, 0x7B));
    }
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{"boom"});
}

TEST_F(GlobalHotkeyTest, AssignCopiesTheDescriptionAndTheKey) {
    TGlobalHotkey hotkey(fake.NewGlobalKeys());
    THotkeyItem& a = hotkey.Items().Add();
    THotkeyItem& b = hotkey.Items().Add();
    a.Name = "OnGoWindow";
    a.EventLabel = "マウスをジャンプ";
    a.SaveLoad = false;
    a.Tag = 5;
    a.SetHotkey(0x607B);
    hotkey.SetEnabled(false);
    b.Assign(a);
    EXPECT_EQ(b.Name, "OnGoWindow");
    EXPECT_EQ(b.EventLabel, "マウスをジャンプ");
    EXPECT_FALSE(b.SaveLoad);
    EXPECT_EQ(b.Tag, 0);
    EXPECT_EQ(b.Hotkey(), 0x607B);
}

// A key source whose every release fails, as a vanished display would.
class TFailingKeys : public IGlobalKeys {
public:
    bool Register(int, unsigned, unsigned) override { return true; }
    void Unregister(int) override { throw ESystemError(5, "denied"); }
    void SetHandler(THandler) override {}
};

TEST_F(GlobalHotkeyTest, DestructionUnregistersBestEffortAndNeverThrows) {
    {
        TGlobalHotkey hotkey(fake.NewGlobalKeys());
        hotkey.Items().Add().SetHotkey(0x607B);
        hotkey.Items().Add().SetHotkey(0x607A);
    }
    EXPECT_FALSE(keyboard.IsGrabbed(6, 0x7B));
    EXPECT_FALSE(keyboard.IsGrabbed(6, 0x7A));

    auto hotkey = std::make_unique<TGlobalHotkey>(std::make_unique<TFailingKeys>());
    hotkey->Items().Add().SetHotkey(0x607B);
    EXPECT_THROW(hotkey->SetEnabled(false), ESystemError);
    hotkey->SetEnabled(true);
    EXPECT_NO_THROW(hotkey.reset());
}

}  // namespace
}  // namespace tinctor
