// The window with its desktop components: hot key, compact mode, editor extraction.
#include "FormFixture.h"
#include "desktop/GlobalHotKey.h"
#include "desktop/WinShader.h"
#include "platform/fake/FakePlatform.h"

namespace tinctor::testing {
namespace {

using TCall = TFakeKeyboard::TCall;

class DesktopFormTest : public FormTest {
protected:
    TFakePlatform desktop;
    TFakeKeyboard& keyboard = desktop.Keyboard();
    TFakePointer& pointer = desktop.Pointer();
    TFakeDesktopWindows& windows = desktop.Windows();

    // Notepad in the foreground with Text selected from Start to End.
    void Notepad(const std::string& text, int start, int end) {
        windows.Active = windows.Add("Notepad");
        windows.SetEdit(windows.Add("Edit", windows.Active), text, start, end);
    }
    // The pointer Dx pixels right of the window's frame, at its top.
    void PointerRightOf(int dx) {
        const QRect frame = form->frameGeometry();
        pointer.Position = {frame.x() + frame.width() + dx, frame.y() + 5};
    }
};

TEST_F(DesktopFormTest, TheHotKeyOfTheSettingsIsRegisteredUnderIdZero) {
    WriteIni("[Extend]\r\nHotkeyMode=1\r\nHotkey=Ctrl+Alt+F12\r\n");
    Open();
    ASSERT_EQ(keyboard.Calls.size(), 1u);
    EXPECT_EQ(keyboard.Calls[0], (TCall{TCall::Register, 0, 3, 0x7B}));
    const THotkeyItem& item = form->GlobalHotkey()->Items()[0];
    EXPECT_EQ(item.Name, "OnGoWindow");
    EXPECT_EQ(item.EventLabel, "マウスをジャンプ");
    EXPECT_EQ(item.Tag, 0);
    EXPECT_TRUE(dialogs.Log.empty());
}

TEST_F(DesktopFormTest, WithHotkeyModeOffTheKeyWaitsUnregistered) {
    WriteIni("[Extend]\r\nHotkeyMode=0\r\nHotkey=Shift+Ctrl+F12\r\n");
    Open();
    EXPECT_TRUE(keyboard.Calls.empty());
    EXPECT_EQ(form->GlobalHotkey()->Items()[0].Hotkey(), 0x607B);

    WriteIni("[Extend]\r\nHotkeyMode=1\r\nHotkey=Shift+Ctrl+F12\r\n");
    form->ReloadSettings();
    EXPECT_TRUE(keyboard.IsGrabbed(6, 0x7B));
    form->ReloadSettings();  // the same key again: no new registration
    EXPECT_EQ(keyboard.Calls.size(), 1u);
}

TEST_F(DesktopFormTest, AKeyHeldElsewhereIsReportedAndTheRestOfTheSettingsApply) {
    keyboard.HoldElsewhere(6, 0x7B);
    WriteIni("[Extend]\r\nHotkeyMode=1\r\nHotkey=Shift+Ctrl+F12\r\nSpoitTEditor=1\r\n");
    Open();
    EXPECT_EQ(dialogs.ErrorBoxes(),
              std::vector<std::string>{"システムエラー。コード：1409.\nホット キーは既に登録されています。"});
    EXPECT_FALSE(form->GlobalHotkey()->Items()[0].Registered());
    EXPECT_TRUE(form->SpoitTEditor);
}

TEST_F(DesktopFormTest, CompactModeFoldsAwayFromThePointerAndTheHotKeyBringsItBack) {
    WriteIni("[Window]\r\nCompact=1\r\n[Extend]\r\nHotkeyMode=1\r\nHotkey=Shift+Ctrl+F12\r\n");
    Open();
    form->show();
    QCoreApplication::processEvents();
    ASSERT_EQ(form->height(), 167);

    PointerRightOf(15);
    form->TimerTimer();
    EXPECT_TRUE(form->WinShader()->Shade());
    EXPECT_EQ(form->height(), 25);
    PointerRightOf(5);
    form->TimerTimer();
    EXPECT_EQ(form->height(), 167);

    PointerRightOf(300);
    form->TimerTimer();
    ASSERT_EQ(form->height(), 25);
    ASSERT_TRUE(keyboard.Press(6, 0x7B));
    EXPECT_FALSE(form->WinShader()->Shade());
    EXPECT_EQ(form->height(), 167);
    const QRect frame = form->frameGeometry();
    EXPECT_EQ(pointer.Position, QPoint(frame.x() + frame.width() / 2, frame.y() + frame.height() / 2));
}

TEST_F(DesktopFormTest, TheColourListKeepsItsWidthThroughAFold) {
    WriteIni("[Window]\r\nCompact=1\r\n");
    Open();
    form->show();
    PointerRightOf(300);
    form->TimerTimer();
    Click("ShowTinctors");  // widened while folded
    EXPECT_EQ(form->size(), QSize(478, 25));
    PointerRightOf(-5);
    form->TimerTimer();
    EXPECT_EQ(form->size(), QSize(478, 167));
}

TEST_F(DesktopFormTest, WithoutCompactModeTheWindowStaysOpen) {
    Open();
    form->show();
    PointerRightOf(300);
    form->TimerTimer();
    EXPECT_EQ(form->height(), 167);
}

TEST_F(DesktopFormTest, TheSelectionOfAnEditorBecomesTheCurrentColour) {
    WriteIni("[Extend]\r\nSpoitTEditor=1\r\n");
    Open();
    Notepad("color: #FF8000;", 7, 14);
    form->TimerTimer();
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 128, 0}));

    Notepad("color: #FF8000;", 0, 14);  // no colour at the start: nothing changes, nothing shows
    form->SetCurrentColor(RGBToColor(0, 0, 128));
    form->TimerTimer();
    EXPECT_EQ(Rgb(), (std::array<int, 3>{0, 0, 128}));
    Notepad("#FF0000 ", 0, 8);  // parsing stops at the blank
    form->TimerTimer();
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 0, 0}));
    EXPECT_TRUE(dialogs.Log.empty());
}

TEST_F(DesktopFormTest, WithExtractionOffNoEditorIsRead) {
    Open();
    Notepad("#FF8000", 0, 7);
    form->TimerTimer();
    EXPECT_EQ(windows.Reads, 0);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(DesktopFormTest, AnEditorThatHangsIsPassedOverSilently) {
    WriteIni("[Extend]\r\nSpoitTEditor=1\r\n");
    Open();
    Notepad("#FF8000", 0, 7);
    windows.Window(windows.FindChild(windows.Active, "Edit")).Hung = true;
    for (int i = 0; i < 5; ++i) form->TimerTimer();
    EXPECT_EQ(Rgb(), (std::array<int, 3>{0, 0, 0}));
    EXPECT_TRUE(dialogs.Log.empty());
}

}  // namespace
}  // namespace tinctor::testing
