// The settings dialog opened from the window: what OK changes at once, what Cancel
// leaves alone, and a hot key that another program holds.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

#include "FormFixture.h"
#include "app/ColorTable.h"
#include "desktop/GlobalHotKey.h"
#include "platform/fake/FakePlatform.h"
#include "settings/ConfigDlg.h"
#include "settings/HotKeyEdit.h"
#include "settings/Refer.h"

namespace tinctor::testing {
namespace {

class ConfigFromWindowTest : public FormTest {
protected:
    // Clicks ShowConfig; Answer gets the dialog once it is shown and closes it.
    void ShowConfig(std::function<void(TConfigDialog*)> answer) {
        QTimer timer;
        timer.setInterval(10);
        bool answered = false;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<TConfigDialog*>(QApplication::activeModalWidget());
            if (answered || !dialog || !dialog->isVisible()) return;
            answered = true;
            EXPECT_EQ(dialog->parentWidget(), form.get());
            QMetaObject::invokeMethod(dialog, [dialog, answer] { answer(dialog); }, Qt::QueuedConnection);
        });
        timer.start();
        Click("ShowConfig");
        EXPECT_TRUE(answered);
        // The dialog is gone once the command has run.
        EXPECT_EQ(form->findChild<TConfigDialog*>(), nullptr);
    }
    template <typename T>
    static T* In(TConfigDialog* dialog, const char* name) {
        T* control = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    static void Check(TConfigDialog* dialog, const char* name) { In<QCheckBox>(dialog, name)->setChecked(true); }
    static void Press(TConfigDialog* dialog, const char* button) { In<QPushButton>(dialog, button)->click(); }
    static void RecordHotKey(TConfigDialog* dialog, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(In<THotKeyEdit>(dialog, "HotKeyName"), &press);
    }
    QStringList ListFiles() const {
        auto* selector = Control<QComboBox>("ColorListFileName");
        QStringList names;
        for (int i = 0; i < selector->count(); ++i) names << selector->itemText(i);
        return names;
    }

    TFakePlatform desktop;
    TFakeKeyboard& keyboard = desktop.Keyboard();
};

TEST_F(ConfigFromWindowTest, OkTakesEffectAtOnce) {
    ASSERT_TRUE(ForceDirectories(home + "Colors"));
    ASSERT_TRUE(SaveTextFile(home + "Colors/old.clr", "[COLORS]\r\nTotal=0\r\n"));
    ASSERT_TRUE(ForceDirectories(home + "Shared"));
    ASSERT_TRUE(SaveTextFile(home + "Shared/web.clr", "[COLORS]\r\nTotal=1\r\nColor0=#FF8000\r\n"));
    QImage red(12, 12, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(QString::fromStdString(home + "table.bmp"), "BMP"));
    Open();
    form->show();
    ASSERT_EQ(ListFiles(), QStringList{QStringLiteral("old")});
    auto* table = Control<TColorTable>("ColorTable");
    ASSERT_EQ(table->Picture().pixel(0, 0), qRgb(0, 0, 255));  // the gradient
    EXPECT_EQ(Text("CCode"), "#000000");

    ShowConfig([](TConfigDialog* dialog) {
        for (const char* name : {"TopMost", "UseColorCode", "UseNetscapeColor", "LowerCase", "DoCompact", "UseHotkey",
                                 "SpoitTEditor"})
            Check(dialog, name);
        RecordHotKey(dialog, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier);
        In<TCustomReferEdit>(dialog, "ColorDirEdit")->SetFileName(TinctorForm()->ColorDir() + "../Shared");
        In<TCustomReferEdit>(dialog, "CTableBitmap")->SetFileName(ProgramFolder() + "table.bmp");
        Press(dialog, "OKBtn");
    });

    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form->Compact());
    EXPECT_TRUE(form->ColorCode());
    EXPECT_TRUE(form->ExtendColor());
    EXPECT_TRUE(form->LowerCase());
    EXPECT_TRUE(form->SpoitTEditor());
    EXPECT_EQ(Text("CCode"), "black");
    EXPECT_TRUE(keyboard.IsGrabbed(3, 0x7B));
    // The picture, stored with its folder's macro, is read back and shown.
    EXPECT_EQ(table->Picture().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_TRUE(form->GlobalHotkey()->Items()[0].Registered());
    // The other folder's lists show at once, so that no edit reaches the old ones.
    EXPECT_EQ(form->ColorDir(), home + "Shared/");
    EXPECT_EQ(ListFiles(), QStringList{QStringLiteral("web")});
    EXPECT_TRUE(dialogs.ErrorBoxes().empty());
    EXPECT_NE(ReadIni().find("ColorDir=Shared\r\n"), std::string::npos);
}

TEST_F(ConfigFromWindowTest, CancelChangesNothing) {
    WriteIni("[Color]\r\nLowerCase=1\r\n");
    Open();
    const std::string before = ReadIni();
    ShowConfig([](TConfigDialog* dialog) {
        Check(dialog, "TopMost");
        In<QCheckBox>(dialog, "LowerCase")->setChecked(false);
        Press(dialog, "CancelBtn");
    });
    EXPECT_EQ(ReadIni(), before);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form->LowerCase());
}

TEST_F(ConfigFromWindowTest, AHotKeyHeldElsewhereIsReportedAndTheOtherSettingsStillApply) {
    keyboard.HoldElsewhere(6, 0x7B);
    Open();
    ShowConfig([](TConfigDialog* dialog) {
        Check(dialog, "UseHotkey");
        Check(dialog, "TopMost");
        Check(dialog, "LowerCase");
        Check(dialog, "SpoitTEditor");
        RecordHotKey(dialog, Qt::Key_F12, Qt::ShiftModifier | Qt::ControlModifier);
        Press(dialog, "OKBtn");
    });
    EXPECT_EQ(dialogs.ErrorBoxes(),
              std::vector<std::string>{"システムエラー。コード：1409.\nホット キーは既に登録されています。"});
    EXPECT_FALSE(form->GlobalHotkey()->Items()[0].Registered());
    EXPECT_FALSE(keyboard.IsGrabbed(6, 0x7B));
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form->LowerCase());
    EXPECT_TRUE(form->SpoitTEditor());
    // The key is kept in the file for the next start.
    EXPECT_NE(ReadIni().find("Hotkey=Shift+Ctrl+F12\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tinctor::testing
