// The window with its desktop components: hot key, compact mode, editor extraction,
// history and clipboard, the eyedropper.
#include <QMouseEvent>

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
    TFakeClipboard& clipboard = desktop.Clipboard();
    TFakeScreen& screen = desktop.Screen();

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : dialogs.Log)
            if (shown.What == TFakeDialogs::Shown::Message) {
                EXPECT_EQ(shown.MsgKind, TMsgKind::Information);
                texts.push_back(shown.Text);
            }
        return texts;
    }
    std::vector<TColor> HistoryColors() const {
        std::vector<TColor> colours;
        for (int n = 1; n <= 7; ++n) colours.push_back(form->HistoryColor(n));
        return colours;
    }
    void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held = Qt::NoButton) {
        QMouseEvent e(type, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }

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
    EXPECT_TRUE(form->SpoitTEditor());
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

constexpr TColor White = RGBToColor(255, 255, 255);
constexpr TColor Orange = RGBToColor(255, 128, 0);

TEST_F(DesktopFormTest, CopyingPutsTheCodeShownOnTheClipboardAndIntoTheHistory) {
    Open();
    EXPECT_EQ(HistoryColors(), std::vector<TColor>(7, White));
    for (int i = 1; i <= 7; ++i) {
        form->SetCurrentColor(RGBToColor(static_cast<std::uint8_t>(i), 0, 0));
        Click("CopyToClipboard");
    }
    form->SetCurrentColor(Orange);
    form->NotationClick(4);
    for (int i = 0; i < 5; ++i) Click("CopyToClipboard");
    EXPECT_EQ(clipboard.Text(), Text("CCode"));
    EXPECT_EQ(clipboard.Text(), "RGB(255,128,0);");
    EXPECT_EQ(HistoryColors(), (std::vector<TColor>{Orange, Orange, Orange, Orange, Orange, RGBToColor(7, 0, 0),
                                                    RGBToColor(6, 0, 0)}));

    // That notation does not read back.
    Click("LoadFromClipboard");
    EXPECT_EQ(Messages(), std::vector<std::string>{"変換できませんでした。"});
    EXPECT_EQ(dialogs.Log.front().What, TFakeDialogs::Shown::Beep);
    EXPECT_EQ(form->HistoryColor(1), Orange);
}

TEST_F(DesktopFormTest, LoadingTheClipboardParsesItsText) {
    Open();
    Click("LoadFromClipboard");
    EXPECT_EQ(Messages(), std::vector<std::string>{"クリップボードにテキストがありません。"});

    clipboard.SetText("#FF0000 is red");
    Click("LoadFromClipboard");
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(form->HistoryColor(1), RGBToColor(255, 0, 0));

    clipboard.SetText(" #00FF00");
    Click("LoadFromClipboard");
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(Messages().back(), "変換できませんでした。");
    EXPECT_EQ(form->HistoryColor(2), White);
}

TEST_F(DesktopFormTest, TheConnectedObserverTakesEveryClipboardChangeSilently) {
    WriteIni("[Extend]\r\nClipboardObserver=1\r\n");
    Open();
    clipboard.Change("#0000FF");
    EXPECT_EQ(Rgb(), (std::array<int, 3>{0, 0, 255}));
    clipboard.Change("no colour");
    clipboard.Change(std::nullopt);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{0, 0, 255}));
    // A code copied from the window comes back as the same colour.
    form->SetCurrentColor(Orange);
    form->NotationClick(2);  // Delphi
    Click("CopyToClipboard");
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 128, 0}));
    EXPECT_EQ(HistoryColors(), (std::vector<TColor>{Orange, White, White, White, White, White, White}));
    EXPECT_TRUE(dialogs.Log.empty());

    WriteIni("[Extend]\r\nClipboardObserver=0\r\n");
    form->ReloadSettings();
    clipboard.Change("#FF0000");
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 128, 0}));
}

TEST_F(DesktopFormTest, ALeftClickOnAHistoryCircleMakesItsColourCurrent) {
    Open();
    form->SetCurrentColor(Orange);
    Click("CopyToClipboard");
    form->SetCurrentColor(RGBToColor(0, 0, 0));
    auto* circle = Control<QWidget>("History1");
    Send(circle, QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 0, 0));
    Send(circle, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(form->CurrentColor(), Orange);
    EXPECT_EQ(HistoryColors()[1], White);  // the history itself does not change
}

TEST_F(DesktopFormTest, DraggingTheEyedropperPicksTheScreenColour) {
    Open();
    form->show();
    auto* image = Control<QWidget>("SpoitImage");
    screen.Fill(QRect(600, 400, 20, 20), RGBToColor(255, 0, 0));

    Send(image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(pointer.Grabber, form.get());
    // The cursor's picture and hot spot are in device pixels, N per point at a scale of N.
    const int ratio = qRound(form->devicePixelRatioF());
    EXPECT_EQ(pointer.GrabCursor.hotSpot(), QPoint(7, 24) * ratio);
    EXPECT_TRUE(image->isHidden());
    pointer.Position = {610, 410};
    Send(form.get(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(Text("CCode"), "#FF0000");
    Send(form.get(), QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_FALSE(image->isHidden());
    EXPECT_EQ(pointer.Grabber, nullptr);
    EXPECT_EQ(form->HistoryColor(1), White);

    // Pressed and released without a move: nothing changes.
    Send(image, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    Send(form.get(), QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(Rgb(), (std::array<int, 3>{255, 0, 0}));
    EXPECT_FALSE(image->isHidden());
    EXPECT_EQ(Control<QWidget>("ColorTable")->cursor().hotSpot(), QPoint(7, 24) * ratio);
}

}  // namespace
}  // namespace tinctor::testing
