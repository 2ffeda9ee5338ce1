// The settings dialog against the settings file: what it shows, what OK writes, and
// that nothing else writes.
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

#include "WidgetTestSupport.h"
#include "platform/QtText.h"
#include "platform/fake/FakeDialogs.h"
#include "settings/ButtonPages.h"
#include "settings/ConfigDlg.h"
#include "settings/ExIniFiles.h"
#include "settings/HotKeyEdit.h"
#include "settings/Refer.h"

namespace tinctor::testing {
namespace {

class ConfigDialogTest : public WidgetTest {
protected:
    void TearDown() override {
        dialog.reset();
        WidgetTest::TearDown();
    }

    void Open() { dialog = std::make_unique<TConfigDialog>(nullptr); }
    // Shown and active, so that keys and access keys reach it as they do for the user.
    void OpenShown() {
        Open();
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    template <typename T = QWidget>
    T* Control(const char* name) const {
        T* control = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QCheckBox* Box(const char* name) const { return Control<QCheckBox>(name); }
    TCustomReferEdit* Path(const char* name) const { return Control<TCustomReferEdit>(name); }
    THotKeyEdit* HotKey() const { return Control<THotKeyEdit>("HotKeyName"); }
    void PressOK() const { Control<QPushButton>("OKBtn")->click(); }
    void PressCancel() const { Control<QPushButton>("CancelBtn")->click(); }

    std::unique_ptr<TConfigDialog> dialog;
};

const char* const kBoxes[] = {"TopMost",   "UseColorCode", "UseNetscapeColor", "LowerCase",
                              "DoCompact", "UseHotkey",    "UseCO",            "SpoitTEditor"};

TEST_F(ConfigDialogTest, EveryControlHasItsCaptionPlaceAndHint) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("環境設定"));
    // One row taller than the design for the loupe box; the rest keeps its place.
    EXPECT_EQ(dialog->size(), QSize(313, 236 + 24));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());

    struct Row {
        const char* Name;
        const char* Caption;
        QRect Place;
        const char* HintStart;
    };
    const Row rows[] = {
        {"TopMost", "常に手前表示(&T)", {0, 0, 221, 17}, "メインフォームと色リストを常に手前表示します。\n(デフォルト:しない)"},
        {"UseColorCode", "可能なら色名に変換(&C)", {0, 26, 269, 17}, "可能ならばカラーコードを、色定数に変換します。\n(デフォルト:しない)"},
        {"UseNetscapeColor", "Netscapeパレットを使う(&M)", {12, 46, 153, 17}, "HTMLカラーで、Netscapeパレットを使います。\n(デフォルト:使わない)"},
        {"LowerCase", "カラーコードは小文字に変換(HTMLのみ&L)", {0, 74, 249, 17},
         "HTMLカラーで、カラーコードはすべて小文字で挿入するようにします。\n(デフォルト:大文字)"},
        {"DoCompact", "マウスカーソルが遠くにあるとき、コンパクト化(&P)", {0, 98, 269, 17},
         "マウスカーソルが離れているときは、\nコンパクト表示するようにします。\n(デフォルト:しない)"},
        {"UseHotkey", "ホットキーでマウス移動(&H)", {0, 126, 153, 17},
         "指定したホットキーが押されたら、\nマウスカーソルをフォーム上に移動する機能を使用します。\n(デフォルト:使わない)"},
        {"UseCO", "クリップボードの監視(&O)", {0, 0, 253, 17}, "クリップボードを常時監視するようにします。\n(デフォルト:しない)"},
        {"SpoitTEditor", "エディタ色値抽出機能を使う(&E)", {0, 24, 253, 17}, "テキストエディタで"},
        {"UseMagnifier", "色を吸い取るとき拡大鏡を表示(&G)", {0, 152, 269, 17}, "色を吸い取るカーソルを使っている間、"},
    };
    for (const Row& row : rows) {
        QCheckBox* box = Box(row.Name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::fromUtf8(row.Caption)) << row.Name;
        // The design's place and height; wider only where the font needs it, within the page.
        EXPECT_EQ(box->pos(), row.Place.topLeft()) << row.Name;
        EXPECT_EQ(box->height(), row.Place.height()) << row.Name;
        EXPECT_GE(box->width(), row.Place.width()) << row.Name;
        EXPECT_LE(box->geometry().right(), box->parentWidget()->width()) << row.Name;
        EXPECT_TRUE(box->toolTip().startsWith(QString::fromUtf8(row.HintStart))) << row.Name;
    }
    const QString editors = Box("SpoitTEditor")->toolTip();
    EXPECT_EQ(editors.count(QLatin1Char('\n')), 4);
    for (const char* editor : {"メモ帳", "TeraPad", "K2Editor", "MKEditor", "(デフォルト:使わない)"})
        EXPECT_TRUE(editors.contains(QString::fromUtf8(editor))) << editor;

    EXPECT_EQ(Box("UseHotkey")->width(), 153);
    EXPECT_EQ(HotKey()->geometry().topLeft(), QPoint(156, 126));
    EXPECT_EQ(HotKey()->width(), 117);

    TCustomReferEdit* bitmap = Path("CTableBitmap");
    EXPECT_EQ(bitmap->geometry(), QRect(35, 74, 210, 20));
    EXPECT_EQ(bitmap->ReferButton()->geometry(), QRect(246, 74, 23, 20));
    EXPECT_EQ(bitmap->ReferButton()->Kind(), TReferKind::rkOpen);
    EXPECT_EQ(bitmap->ReferButton()->toolTip(), QStringLiteral("ファイルを参照します"));
    EXPECT_EQ(bitmap->toolTip(), QStringLiteral("\u3000カラーテーブルに表示するビットマップを設定できます。\n"
                                                 "指定がなかった場合は、グラデーションになります。"));
    EXPECT_EQ(bitmap->ReferButton()->Filter, "ビットマップ(*.bmp)|*.bmp|すべて(*)|*");

    TCustomReferEdit* folder = Path("ColorDirEdit");
    EXPECT_EQ(folder->geometry(), QRect(31, 42, 210, 20));
    EXPECT_EQ(folder->ReferButton()->geometry(), QRect(242, 42, 23, 20));
    EXPECT_EQ(folder->ReferButton()->Kind(), TReferKind::rkSelectDirectory);
    EXPECT_EQ(folder->ReferButton()->toolTip(), QStringLiteral("作成先を選択します"));
    const QStringList folderHint = folder->toolTip().split(QLatin1Char('\n'));
    ASSERT_EQ(folderHint.size(), 5);
    EXPECT_EQ(folderHint.first(), QStringLiteral("色ファイルを保存するフォルダを決めます。"));
    EXPECT_EQ(folderHint.last(), QStringLiteral("(デフォルト:EXEファイルのあるフォルダの'Colors'フォルダ)"));

    // The labels focus their path choosers.
    int labels = 0;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("カラーテーブルのビットマップ(&B)")) {
            EXPECT_EQ(label->pos(), QPoint(4, 55));
            EXPECT_EQ(label->buddy(), bitmap);
            ++labels;
        } else if (label->text() == QStringLiteral("色リストのフォルダ(&D)")) {
            EXPECT_EQ(label->pos(), QPoint(0, 23));
            EXPECT_EQ(label->buddy(), folder);
            ++labels;
        }
    }
    EXPECT_EQ(labels, 2);

    auto* pages = Control<TButtonPages>("PageControl");
    EXPECT_EQ(pages->geometry(), QRect(13, 12, 284, 177 + 24));
    ASSERT_EQ(pages->Count(), 3);
    const char* pageNames[] = {"NormalSetting", "ColorCatch", "ColorLists"};
    const char* pageCaptions[] = {"通常設定(&N)", "色値抽出(&A)", "色リスト(&R)"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pages->Page(i)->objectName(), QString::fromLatin1(pageNames[i]));
        EXPECT_EQ(pages->PageButton(i)->text(), QString::fromUtf8(pageCaptions[i]));
    }
    // Every control of a page lies inside its page.
    for (int i = 0; i < 3; ++i)
        for (QWidget* child : pages->Page(i)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(pages->Page(i)->rect().contains(child->geometry())) << child->objectName().toStdString();

    auto* ok = Control<QPushButton>("OKBtn");
    auto* cancel = Control<QPushButton>("CancelBtn");
    EXPECT_EQ(ok->geometry(), QRect(79, 203 + 24, 74, 25));
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(cancel->geometry(), QRect(159, 203 + 24, 75, 25));
    EXPECT_EQ(cancel->text(), QStringLiteral("キャンセル"));
}

TEST_F(ConfigDialogTest, WithoutAFileEverythingIsOffAndCancelWritesNothing) {
    OpenShown();
    for (const char* name : kBoxes) EXPECT_FALSE(Box(name)->isChecked()) << name;
    EXPECT_FALSE(Box("UseNetscapeColor")->isEnabled());
    EXPECT_EQ(Path("ColorDirEdit")->FileName(), program + "Colors");
    EXPECT_EQ(Path("CTableBitmap")->FileName(), "");
    EXPECT_EQ(HotKey()->HotKey(), 0);
    EXPECT_EQ(HotKey()->text(), QStringLiteral("なし"));
    EXPECT_TRUE(Box("UseMagnifier")->isChecked());  // the loupe is on unless the file says otherwise
    EXPECT_TRUE(Control<TButtonPages>("PageControl")->Page(0)->isVisible());

    PressCancel();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(FileExists(IniName()));
}

TEST_F(ConfigDialogTest, OkWithoutChangesWritesEveryKey) {
    Open();
    PressOK();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(ReadIni(),
              "[Path]\r\nColorDir=Colors\r\n\r\n"
              "[Window]\r\nTopMost=0\r\nCompact=0\r\nColorTableMap=\r\nMagnifier=1\r\n\r\n"
              "[Color]\r\nColorCode=0\r\nExtendColor=0\r\nLowerCase=0\r\n\r\n"
              "[Extend]\r\nClipboardObserver=0\r\nHotkeyMode=0\r\nHotkey=\r\nSpoitTEditor=0\r\n\r\n");
}

TEST_F(ConfigDialogTest, EveryControlReachesItsKeyAndTheRestOfTheFileStays) {
    WriteIni("[Mine]\r\nkeep=this\r\n[Window]\r\nX=140\r\nY=-20\r\n");
    OpenShown();
    for (const char* name : kBoxes) Box(name)->click();
    Box("UseMagnifier")->click();
    Path("ColorDirEdit")->SetFileName(program + "Lists");
    Path("CTableBitmap")->SetFileName(home + "Docs/table.bmp");
    HotKey()->setFocus();
    QTest::keyClick(HotKey(), Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier);
    PressOK();

    const TMemIniFileEx ini(IniName());
    EXPECT_EQ(ini.ReadString("Path", "ColorDir", "?"), "Lists");
    EXPECT_EQ(ini.ReadString("Window", "TopMost", "?"), "1");
    EXPECT_EQ(ini.ReadString("Window", "Compact", "?"), "1");
    EXPECT_EQ(ini.ReadString("Window", "ColorTableMap", "?"), "%PERSONAL%/table.bmp");
    EXPECT_EQ(ini.ReadString("Window", "Magnifier", "?"), "0");
    EXPECT_EQ(ini.ReadString("Color", "ColorCode", "?"), "1");
    EXPECT_EQ(ini.ReadString("Color", "ExtendColor", "?"), "1");
    EXPECT_EQ(ini.ReadString("Color", "LowerCase", "?"), "1");
    EXPECT_EQ(ini.ReadString("Extend", "ClipboardObserver", "?"), "1");
    EXPECT_EQ(ini.ReadString("Extend", "HotkeyMode", "?"), "1");
    EXPECT_EQ(ini.ReadString("Extend", "Hotkey", "?"), "Ctrl+Alt+F12");
    EXPECT_EQ(ini.ReadString("Extend", "SpoitTEditor", "?"), "1");
    EXPECT_EQ(ini.ReadString("Window", "X", "?"), "140");
    EXPECT_EQ(ini.ReadString("Window", "Y", "?"), "-20");
    EXPECT_EQ(ini.ReadString("Mine", "keep", "?"), "this");

    // The next opening shows what was written.
    dialog.reset();
    Open();
    for (const char* name : kBoxes) EXPECT_TRUE(Box(name)->isChecked()) << name;
    EXPECT_FALSE(Box("UseMagnifier")->isChecked());
    EXPECT_TRUE(Box("UseNetscapeColor")->isEnabled());
    EXPECT_EQ(Path("ColorDirEdit")->FileName(), program + "Lists");
    EXPECT_EQ(Path("CTableBitmap")->FileName(), home + "Docs/table.bmp");
    EXPECT_EQ(HotKey()->text(), QStringLiteral("Ctrl+Alt+F12"));
}

TEST_F(ConfigDialogTest, CancelEscapeAndTheCloseBoxWriteNothing) {
    const std::string before = "[Color]\r\nColorCode=1\r\n[Extend]\r\nHotkey=ctrl+alt+f12\r\n";
    WriteIni(before);
    const auto changeEverything = [this] {
        for (const char* name : kBoxes) Box(name)->click();
        Path("ColorDirEdit")->SetFileName(root.Path() + "elsewhere");
        HotKey()->setFocus();
        QTest::keyClick(HotKey(), Qt::Key_Backspace);
    };

    OpenShown();
    changeEverything();
    PressCancel();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(ReadIni(), before);

    OpenShown();
    changeEverything();
    QTest::keyClick(HotKey(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(ReadIni(), before);

    OpenShown();
    changeEverything();
    EXPECT_TRUE(dialog->close());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(ReadIni(), before);
}

TEST_F(ConfigDialogTest, NetscapePaletteFollowsColorNamesAndKeepsItsMarkWhileDisabled) {
    WriteIni("[Color]\r\nColorCode=0\r\nExtendColor=1\r\n");
    Open();
    QCheckBox* names = Box("UseColorCode");
    QCheckBox* netscape = Box("UseNetscapeColor");
    EXPECT_FALSE(netscape->isEnabled());
    EXPECT_TRUE(netscape->isChecked());
    names->click();
    EXPECT_TRUE(netscape->isEnabled());
    names->click();
    EXPECT_FALSE(netscape->isEnabled());
    EXPECT_TRUE(netscape->isChecked());
    PressOK();
    const TMemIniFileEx ini(IniName());
    EXPECT_FALSE(ini.ReadBool("Color", "ColorCode", true));
    EXPECT_TRUE(ini.ReadBool("Color", "ExtendColor", false));
}

TEST_F(ConfigDialogTest, AWinHotkeyStaysUntilTheUserRecordsAnother) {
    WriteIni("[Extend]\r\nHotkeyMode=1\r\nHotkey=Win+Shift+A\r\n");
    Open();
    EXPECT_EQ(HotKey()->text(), QStringLiteral("Win+Shift+A"));
    Box("TopMost")->click();
    PressOK();
    EXPECT_EQ(TMemIniFileEx(IniName()).ReadString("Extend", "Hotkey", "?"), "Win+Shift+A");

    OpenShown();
    HotKey()->setFocus();
    QTest::keyClick(HotKey(), Qt::Key_B, Qt::ControlModifier);
    PressOK();
    EXPECT_EQ(TMemIniFileEx(IniName()).ReadString("Extend", "Hotkey", "?"), "Ctrl+B");

    WriteIni("[Extend]\r\nHotkey=win+ctrl+q\r\n");
    OpenShown();
    HotKey()->setFocus();
    QTest::keyClick(HotKey(), Qt::Key_Delete);
    PressOK();
    EXPECT_EQ(TMemIniFileEx(IniName()).ReadString("Extend", "Hotkey", "?"), "");
}

TEST_F(ConfigDialogTest, KeysInTheHotkeyEntry) {
    OpenShown();
    THotKeyEdit* entry = HotKey();
    entry->setFocus();

    // An access key of the dialog is a chord here, not a page change.
    QTest::keyClick(entry, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(entry->text(), QStringLiteral("Alt+R"));
    EXPECT_EQ(Control<TButtonPages>("PageControl")->CurrentIndex(), 0);
    QTest::keyClick(entry, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(entry->text(), QStringLiteral("Shift+Tab"));
    EXPECT_TRUE(entry->hasFocus());

    // Plain Tab moves on; the access key then works again.
    QTest::keyClick(entry, Qt::Key_Tab);
    EXPECT_FALSE(entry->hasFocus());
    QTest::keyClick(dialog.get(), Qt::Key_R, Qt::AltModifier);
    // An access key clicks its button after a short press animation.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Control<TButtonPages>("PageControl")->CurrentIndex() == 2; }));

    // Enter presses OK from the entry.
    Control<TButtonPages>("PageControl")->SetCurrentIndex(0);
    entry->setFocus();
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(TMemIniFileEx(IniName()).ReadString("Extend", "Hotkey", "?"), "Shift+Tab");
}

TEST_F(ConfigDialogTest, AFailedSaveIsReportedAndStillClosesWithOk) {
    ASSERT_TRUE(ForceDirectories(IniName()));  // a folder where the file should be
    TFakeDialogs boxes;
    Open();
    Box("TopMost")->click();
    PressOK();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(boxes.ErrorBoxes().size(), 1u);
    EXPECT_NE(boxes.ErrorBoxes()[0].find("Tinctor.ini"), std::string::npos) << boxes.ErrorBoxes()[0];
    EXPECT_TRUE(DirectoryExists(IniName()));
}

TEST(ConfigDialogPlacement, TheWorkAreaLimitsTopThenLeft) {
    const QRect area(0, 0, 1024, 740);
    EXPECT_EQ(TConfigDialog::KeepInWorkArea(QRect(100, 100, 319, 262), area), QPoint(100, 100));
    EXPECT_EQ(TConfigDialog::KeepInWorkArea(QRect(100, 700, 319, 262), area), QPoint(100, 478));
    EXPECT_EQ(TConfigDialog::KeepInWorkArea(QRect(-40, -30, 319, 262), area), QPoint(0, 0));
    EXPECT_EQ(TConfigDialog::KeepInWorkArea(QRect(900, 10, 319, 262), area), QPoint(705, 10));
    // Larger than the area: the upper limit, applied last, wins.
    EXPECT_EQ(TConfigDialog::KeepInWorkArea(QRect(10, 10, 1100, 800), area), QPoint(-76, -60));
    // A work area that does not start at the origin (a panel on the left and top).
    EXPECT_EQ(TConfigDialog::KeepInWorkArea(QRect(0, 0, 319, 262), QRect(48, 24, 976, 716)), QPoint(48, 24));
}

TEST_F(ConfigDialogTest, ADialogOfAWindowAtTheBottomEdgeMovesUpIntoTheWorkArea) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(area.x() + 40, area.bottom() - 30, 478, 167);
    owner.show();
    auto* owned = new TConfigDialog(&owner);  // freed with its owner
    owned->show();
    EXPECT_EQ(owned->frameGeometry().bottom(), area.bottom());
    EXPECT_EQ(owned->frameGeometry().center().x(), owner.frameGeometry().center().x());

    owned->hide();
    owner.move(area.x() + 100, area.y() + 100);
    owned->show();
    EXPECT_EQ(owned->frameGeometry().center(), owner.frameGeometry().center());
}

}  // namespace
}  // namespace tinctor::testing
