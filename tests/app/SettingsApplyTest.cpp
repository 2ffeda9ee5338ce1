// The settings file at start-up, at ReloadSettings and at shut-down.
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <unistd.h>

#include "FormFixture.h"

namespace tinctor::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(FormTest, NotationOptionsReachTheCodeAtOnce) {
    WriteIni("[Color]\r\nColorCode=1\r\nExtendColor=0\r\n");
    Open();
    EXPECT_TRUE(form->ColorCode());
    EXPECT_EQ(Text("CCode"), "Black");

    WriteIni("[Color]\r\nColorCode=$1\r\nExtendColor=0x1\r\nLowerCase=1\r\n");
    form->ReloadSettings();
    EXPECT_TRUE(form->ExtendColor());
    EXPECT_TRUE(form->LowerCase());
    EXPECT_EQ(Text("CCode"), "black");
    form->SetCurrentColor(RGBToColor(255, 128, 0));
    EXPECT_EQ(Text("CCode"), "#ff8000");
}

TEST_F(FormTest, ASettingsFileThatIsNoRegularFileIsReportedAndLeftAlone) {
    // Once this aborted the start with bad_alloc.
    ASSERT_EQ(symlink("/dev/zero", (home + "Tinctor.ini").c_str()), 0);
    Open();
    ASSERT_EQ(dialogs.Log.size(), 2u);  // the beep and the box
    EXPECT_EQ(dialogs.Log[1].MsgKind, TMsgKind::Warning);
    EXPECT_THAT(dialogs.Log[1].Text, HasSubstr("通常のファイルではありません"));
    EXPECT_EQ(Text("CCode"), "#000000");  // the window runs on the defaults
    EXPECT_EQ(form->ColorDir(), home + "Colors/");
    form.reset();  // the position is not written either
    char target[64] = {};
    ASSERT_GT(readlink((home + "Tinctor.ini").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "/dev/zero");
}

TEST_F(FormTest, WindowAndExtendFlagsAreCopied) {
    WriteIni("[window]\r\ncompact=1\r\n[EXTEND]\r\nSpoitTEditor=7\r\nHotkeyMode=1\r\nHotkey=\r\n");
    Open();
    EXPECT_TRUE(form->Compact());
    EXPECT_TRUE(form->SpoitTEditor());
    EXPECT_TRUE(dialogs.Log.empty());
}

TEST_F(FormTest, TopMostChangesKeepTheNativeWindow) {
    WriteIni("[Window]\r\nTopMost=1\r\n");
    Open();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    const WId before = form->winId();

    WriteIni("[Window]\r\nTopMost=0\r\n");
    form->ReloadSettings();
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form->winId(), before);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->size(), QSize(273, 167));
}

TEST_F(FormTest, SavedPositionIsUsedOnlyWhenItIsOnAScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    WriteIni("[Window]\r\nX=" + std::to_string(screen.x() + 100) + "\r\nY=" + std::to_string(screen.y() + 120) + "\r\n");
    Open();
    EXPECT_EQ(form->pos(), screen.topLeft() + QPoint(100, 120));
    form.reset();

    WriteIni("[Window]\r\nX=-5000\r\nY=-5000\r\n");
    Open();
    EXPECT_NE(form->pos(), QPoint(-5000, -5000));
}

TEST_F(FormTest, ShutDownWritesThePositionAndKeepsEverythingElse) {
    WriteIni("[Mine]\r\nkey=value\r\nno value line\r\n[Window]\r\nTopMost=0\r\nX=oops\r\n[Path]\r\nColorDir=Lists\r\n");
    Open();
    EXPECT_EQ(form->ColorDir(), home + "Lists/");
    EXPECT_TRUE(DirectoryExists(home + "Lists"));
    form->move(140, 150);
    form.reset();

    const std::string ini = ReadIni();
    EXPECT_THAT(ini, HasSubstr("[Mine]\r\nkey=value\r\nno value line\r\n\r\n"));
    EXPECT_THAT(ini, HasSubstr("[Window]\r\nTopMost=0\r\nX=140\r\nY=150\r\n\r\n"));
    EXPECT_THAT(ini, HasSubstr("[Path]\r\nColorDir=Lists\r\n"));
}

TEST_F(FormTest, GarbageSettingsStartWithDefaultsAndSurviveTheWriteBack) {
    std::string garbage = "\x01\x02\xff\xfe binary before any section\r\n[Color]\r\nColorCode=yes\r\nLowerCase\r\n";
    garbage += "[Long]\r\nkey=" + std::string(1 << 20, 'x') + "\r\n";
    static constexpr char binarySection[] = "[Bin\x80\x81]\r\n\x90\x91=\xa0\r\n";
    garbage += binarySection;
    garbage += "[Window]\r\nX=99999999999\r\nY=12abc\r\n";
    WriteIni(garbage);
    Open();
    EXPECT_FALSE(form->ColorCode());
    EXPECT_FALSE(form->LowerCase());
    EXPECT_EQ(Text("CCode"), "#000000");
    EXPECT_EQ(form->ColorDir(), home + "Colors/");
    EXPECT_TRUE(dialogs.Log.empty());
    form->move(30, 40);
    form.reset();

    const std::string ini = ReadIni();
    EXPECT_THAT(ini, HasSubstr("[Color]\r\nColorCode=yes\r\nLowerCase\r\n"));
    EXPECT_THAT(ini, HasSubstr("key=" + std::string(1 << 20, 'x') + "\r\n"));
    EXPECT_THAT(ini, HasSubstr(binarySection));
    EXPECT_THAT(ini, HasSubstr("X=30\r\nY=40\r\n"));
    EXPECT_THAT(ini, HasSubstr("[Path]\r\nColorDir=Colors\r\n"));
}

TEST_F(FormTest, AColourFolderThatCannotBeMadeIsNotReportedAndTheRestApplies) {
    WriteIni("[Path]\r\nColorDir=/proc/no-such-folder/Colors\r\n[Color]\r\nColorCode=1\r\n");
    Open();
    EXPECT_EQ(form->ColorDir(), "/proc/no-such-folder/Colors/");
    EXPECT_FALSE(DirectoryExists("/proc/no-such-folder/Colors"));
    EXPECT_EQ(Text("CCode"), "Black");
    EXPECT_TRUE(dialogs.Log.empty());
    EXPECT_THAT(ReadIni(), Not(HasSubstr("ColorDir=Colors")));
}

}  // namespace
}  // namespace tinctor::testing
