#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/ProgramFolder.h"
#include "settings/FolderMacros.h"
#include "settings/TinctorSettings.h"
#include "settings/SettingsTestSupport.h"

using namespace tinctor;
using tinctor::testing::EnvGuard;
using tinctor::testing::ReadFile;
using tinctor::testing::TempFolder;
using tinctor::testing::WriteFile;

namespace {

class SettingsFixture : public tinctor::testing::HomeFixture {
protected:
    void SetUp() override { PrepareHome("tinctor/", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n"); }
    std::string IniName() const { return program_ + "Tinctor.ini"; }
};

void ExpectDefaults(const TTinctorSettings& s) {
    EXPECT_EQ(s.ColorDir, "");
    EXPECT_FALSE(s.X);
    EXPECT_FALSE(s.Y);
    EXPECT_FALSE(s.TopMost);
    EXPECT_FALSE(s.Compact);
    EXPECT_EQ(s.ColorTableMap, "");
    EXPECT_FALSE(s.ColorCode);
    EXPECT_FALSE(s.ExtendColor);
    EXPECT_FALSE(s.LowerCase);
    EXPECT_FALSE(s.ClipboardObserver);
    EXPECT_FALSE(s.HotkeyMode);
    EXPECT_EQ(s.Hotkey, "");
    EXPECT_FALSE(s.SpoitTEditor);
    EXPECT_TRUE(s.Magnifier);
}

}  // namespace

TEST_F(SettingsFixture, NoFileGivesEveryDefault) {
    TMemIniFileEx ini;  // program folder + Tinctor.ini
    EXPECT_EQ(ini.FileName(), IniName());
    TTinctorSettings s;
    s.Read(ini);
    ExpectDefaults(s);
    EXPECT_EQ(s.ColorListFolder(), program_ + "Colors");
}

TEST_F(SettingsFixture, WritingTheDefaultsGivesTheFirstStartFile) {
    TTinctorSettings s;
    s.ColorDir = s.ColorListFolder();
    TMemIniFileEx ini;
    s.Write(ini);
    s.X = -8;
    s.Y = 40;
    s.WritePosition(ini);
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(IniName()),
              "[Path]\r\nColorDir=Colors\r\n\r\n"
              "[Window]\r\nTopMost=0\r\nCompact=0\r\nColorTableMap=\r\nMagnifier=1\r\nX=-8\r\nY=40\r\n\r\n"
              "[Color]\r\nColorCode=0\r\nExtendColor=0\r\nLowerCase=0\r\n\r\n"
              "[Extend]\r\nClipboardObserver=0\r\nHotkeyMode=0\r\nHotkey=\r\nSpoitTEditor=0\r\n\r\n");
}

TEST_F(SettingsFixture, EveryKeyRoundTripsThroughTheFile) {
    TTinctorSettings s;
    s.ColorDir = root_.Path() + "lists";
    s.X = 120;
    s.Y = -3;
    s.TopMost = s.ExtendColor = s.ClipboardObserver = s.SpoitTEditor = true;
    s.Magnifier = false;
    s.ColorTableMap = home_ + "/Documents/tables/warm.bmp";
    s.Hotkey = "Ctrl+Alt+F12";
    {
        TMemIniFileEx ini;
        s.Write(ini);
        s.WritePosition(ini);
        EXPECT_EQ(ini.ReadString("Path", "ColorDir", ""), "../lists");
        EXPECT_EQ(ini.ReadString("Window", "ColorTableMap", ""), "%PERSONAL%/tables/warm.bmp");
        ini.UpdateFile();
    }
    TTinctorSettings back;
    back.Read(TMemIniFileEx());
    EXPECT_EQ(back.ColorDir, s.ColorDir);
    EXPECT_EQ(back.X, 120);
    EXPECT_EQ(back.Y, -3);
    EXPECT_TRUE(back.TopMost);
    EXPECT_FALSE(back.Compact);
    EXPECT_EQ(back.ColorTableMap, s.ColorTableMap);
    EXPECT_FALSE(back.ColorCode);
    EXPECT_TRUE(back.ExtendColor);
    EXPECT_FALSE(back.LowerCase);
    EXPECT_TRUE(back.ClipboardObserver);
    EXPECT_FALSE(back.HotkeyMode);
    EXPECT_EQ(back.Hotkey, "Ctrl+Alt+F12");
    EXPECT_TRUE(back.SpoitTEditor);
    EXPECT_FALSE(back.Magnifier);
}

TEST_F(SettingsFixture, OddValuesReadAsTheirDefaults) {
    WriteFile(IniName(),
              "[window]\r\nx=abc\r\ny=0x20\r\ntopmost=yes\r\ncompact=2\r\nColorTableMap\r\n"
              "[COLOR]\r\nCOLORCODE=$1\r\nLowerCase=1.0\r\n"
              "[Extend]\r\nHotkeyMode=1\r\nHotkey=\r\n"
              "[Path]\r\nColorDir=\r\n");
    TTinctorSettings s;
    s.Read(TMemIniFileEx());
    EXPECT_FALSE(s.X);
    EXPECT_EQ(s.Y, 32);
    EXPECT_FALSE(s.TopMost);
    EXPECT_TRUE(s.Compact);
    EXPECT_EQ(s.ColorTableMap, "");
    EXPECT_TRUE(s.ColorCode);
    EXPECT_FALSE(s.LowerCase);
    EXPECT_TRUE(s.HotkeyMode);  // enabled without a key
    EXPECT_EQ(s.Hotkey, "");
    EXPECT_EQ(s.ColorDir, "");
    EXPECT_EQ(s.ColorListFolder(), program_ + "Colors");
}

TEST_F(SettingsFixture, TheLoupeIsOnUnlessTheFileTurnsItOff) {
    const struct {
        const char* Window;
        bool Magnifier;
    } cases[] = {
        {"TopMost=1\r\nX=10\r\n", true},  // a file from before the key
        {"Magnifier=0\r\n", false},
        {"magnifier=0\r\n", false},
        {"Magnifier=1\r\n", true},
        {"Magnifier=2\r\n", true},
        {"Magnifier=no\r\n", true},  // unreadable: the default
        {"Magnifier=\r\n", true},
    };
    for (const auto& c : cases) {
        WriteFile(IniName(), std::string("[Window]\r\n") + c.Window);
        TTinctorSettings s;
        s.Read(TMemIniFileEx());
        EXPECT_EQ(s.Magnifier, c.Magnifier) << c.Window;
    }
}

TEST_F(SettingsFixture, BadFilesGiveDefaultsAndLoseNothingOnWriteBack) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
    const std::string text = garbage + "\r\n[Window]\r\nX\r\nY=\r\nTopMost=\x01y\x01\x02s\x02\r\nNotes=" +
                             std::string(2 * 1024 * 1024, '\xE3') + "\r\n[Mine]\r\nkeep=this\r\n";
    WriteFile(IniName(), text);
    TTinctorSettings s;
    {
        TMemIniFileEx ini;
        s.Read(ini);
        ExpectDefaults(s);
        s.X = 10;
        s.Y = 20;
        s.WritePosition(ini);
        ini.UpdateFile();
    }
    TMemIniFileEx back;
    EXPECT_EQ(back.ReadInteger("Window", "X", 0), 10);
    EXPECT_EQ(back.ReadInteger("Window", "Y", 0), 20);
    EXPECT_EQ(back.ReadString("Window", "TopMost", ""), "y\x01\x02s");  // control bytes at the ends are trimmed
    EXPECT_EQ(back.ReadString("Window", "Notes", "").size(), 2u * 1024 * 1024);
    EXPECT_EQ(back.ReadString("Mine", "keep", ""), "this");
    EXPECT_EQ(back.ReadSection("Window"), (std::vector<std::string>{"Y", "TopMost", "Notes", "X"}));
}

TEST_F(SettingsFixture, AMissingFolderReadsDefaultsAndReportsTheSave) {
    SetProgramFolder(program_ + "gone");
    TTinctorSettings s;
    TMemIniFileEx missing;
    s.Read(missing);
    ExpectDefaults(s);
    s.X = 1;
    s.WritePosition(missing);
    EXPECT_FALSE(missing.Save());
    EXPECT_THROW(missing.UpdateFile(), EIniFileError);
}

TEST_F(SettingsFixture, AReadOnlyFolderReadsTheFileAndReportsTheSave) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TTinctorSettings s;
    WriteFile(IniName(), "[Window]\r\nTopMost=1\r\n");
    chmod(program_.c_str(), 0555);
    TMemIniFileEx readOnly;
    s.Read(readOnly);
    EXPECT_TRUE(s.TopMost);
    s.WritePosition(readOnly);
    EXPECT_FALSE(readOnly.Save());
    chmod(program_.c_str(), 0755);
    EXPECT_EQ(ReadFile(IniName()), "[Window]\r\nTopMost=1\r\n");
}
