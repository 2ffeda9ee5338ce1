// The hot key entry on its own: what a key press records and what is stored.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include "WidgetTestSupport.h"
#include "settings/HotKeyEdit.h"

namespace tinctor::testing {
namespace {

class HotKeyEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application();
        window.resize(200, 40);
        entry = new THotKeyEdit(&window);
        window.show();
        entry->setFocus();
    }
    // A press and release as the keyboard sends them.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(entry, key, modifiers);
    }

    QWidget window;
    THotKeyEdit* entry = nullptr;
};

TEST_F(HotKeyEditTest, RecordsOneChordInTheStoredOrder) {
    EXPECT_EQ(entry->text(), QStringLiteral("なし"));
    EXPECT_FALSE(entry->Modified());

    Press(Qt::Key_F12, Qt::AltModifier | Qt::ControlModifier);
    EXPECT_EQ(entry->HotKey(), 0xC07B);
    EXPECT_EQ(entry->text(), QStringLiteral("Ctrl+Alt+F12"));
    EXPECT_EQ(entry->HotKeyText(), "Ctrl+Alt+F12");
    EXPECT_TRUE(entry->Modified());

    Press(Qt::Key_A, Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(entry->HotKeyText(), "Shift+Ctrl+Alt+A");
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(entry->HotKeyText(), "Ctrl+Del");
    Press(Qt::Key_Backspace, Qt::ShiftModifier);
    EXPECT_EQ(entry->HotKeyText(), "Shift+BkSp");
    Press(Qt::Key_PageDown);
    EXPECT_EQ(entry->HotKeyText(), "PgDn");
    Press(Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_EQ(entry->HotKeyText(), "Ctrl+Esc");
}

TEST_F(HotKeyEditTest, WinChordsModifiersAloneAndNamelessKeysRecordNothing) {
    Press(Qt::Key_Q, Qt::ControlModifier);
    Press(Qt::Key_A, Qt::MetaModifier);
    Press(Qt::Key_A, Qt::MetaModifier | Qt::ShiftModifier);
    Press(Qt::Key_Control, Qt::ControlModifier);
    Press(Qt::Key_Shift, Qt::ShiftModifier);
    Press(Qt::Key_Super_L);
    Press(Qt::Key_VolumeUp, Qt::ControlModifier);
    EXPECT_EQ(entry->HotKeyText(), "Ctrl+Q");
    EXPECT_EQ(entry->text(), QStringLiteral("Ctrl+Q"));
}

TEST_F(HotKeyEditTest, BackspaceOrDeleteAloneClears) {
    for (Qt::Key clear : {Qt::Key_Backspace, Qt::Key_Delete}) {
        Press(Qt::Key_F5, Qt::ShiftModifier);
        ASSERT_EQ(entry->HotKeyText(), "Shift+F5");
        Press(clear);
        EXPECT_EQ(entry->HotKey(), 0);
        EXPECT_EQ(entry->HotKeyText(), "");
        EXPECT_EQ(entry->text(), QStringLiteral("なし"));
    }
}

TEST_F(HotKeyEditTest, KeypadDigitsAndTabKeepTheirOwnCodes) {
    const auto vk = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return THotKeyEdit::VirtualKeyOf(QKeyEvent(QEvent::KeyPress, key, modifiers));
    };
    EXPECT_EQ(vk(Qt::Key_7, Qt::KeypadModifier), 0x67u);
    EXPECT_EQ(vk(Qt::Key_Minus, Qt::KeypadModifier), 0x6Du);
    EXPECT_EQ(vk(Qt::Key_Minus), 0xBDu);
    EXPECT_EQ(vk(Qt::Key_Backtab, Qt::ShiftModifier), 0x09u);
    // A shifted symbol without a keyboard behind it names no key.
    EXPECT_EQ(vk(Qt::Key_Exclam, Qt::ShiftModifier), 0u);
}

TEST_F(HotKeyEditTest, StoredTexts) {
    entry->SetHotKeyText("ctrl+alt+f12");
    EXPECT_EQ(entry->HotKey(), 0xC07B);
    EXPECT_EQ(entry->text(), QStringLiteral("Ctrl+Alt+F12"));
    EXPECT_EQ(entry->HotKeyText(), "Ctrl+Alt+F12");

    entry->SetHotKeyText("Ctrl+NoSuchKey");
    EXPECT_EQ(entry->HotKey(), 0);
    EXPECT_EQ(entry->text(), QStringLiteral("なし"));
    EXPECT_EQ(entry->HotKeyText(), "");

    // A Win chord cannot be recorded here: it is shown and kept as it stands.
    entry->SetHotKeyText("win+Shift+a");
    EXPECT_EQ(entry->HotKey(), 0);
    EXPECT_EQ(entry->text(), QStringLiteral("win+Shift+a"));
    EXPECT_EQ(entry->HotKeyText(), "win+Shift+a");
    EXPECT_FALSE(entry->Modified());
    Press(Qt::Key_Backspace);
    EXPECT_EQ(entry->HotKeyText(), "");
    EXPECT_TRUE(entry->Modified());

    // A programmatic value drops the Win flag and is not a user change.
    entry->SetHotKeyText("");
    entry->SetHotKey(0x1000 | 0x2000 | 0x41);
    EXPECT_EQ(entry->HotKey(), 0x2041);
    EXPECT_EQ(entry->HotKeyText(), "Shift+A");
    EXPECT_FALSE(entry->Modified());
}

TEST_F(HotKeyEditTest, PasteKeysAreChordsAndNothingIsPasted) {
    QApplication::clipboard()->setText(QStringLiteral("Ctrl+Alt+F1"));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry->text(), QStringLiteral("Ctrl+V"));
    Press(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(entry->text(), QStringLiteral("Shift+Ins"));
}

}  // namespace
}  // namespace tinctor::testing
