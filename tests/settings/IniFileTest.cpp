#include <gtest/gtest.h>

#include <random>

#include "util/IniFiles.h"
#include "util/CodePage.h"
#include "settings/SettingsTestSupport.h"

using namespace tinctor;
using tinctor::testing::ReadFile;
using tinctor::testing::TempFolder;
using tinctor::testing::WriteFile;

namespace {

TMemIniFile FromText(std::string_view text) {
    TMemIniFile ini;
    ini.SetText(text);
    return ini;
}

}  // namespace

TEST(IniFile, TrimsAndDropsLinesAndWritesSectionsWithAnEmptyLine) {
    TMemIniFile ini = FromText(
        "before the first section\r\n"
        "X=1\r\n"
        "  [  Path ]  \r\n"
        "  ColorDir  =  Colors  \r\n"
        "\r\n"
        "   \t \r\n"
        "; a comment\r\n"
        "  ;indented comment\r\n"
        "loose line without equals\r\n"
        "Empty=\r\n"
        "[Window]\r\n"
        "X = 10 = 11\r\n");
    EXPECT_EQ(ini.ReadString("Path", "ColorDir", "?"), "Colors");
    EXPECT_EQ(ini.ReadString("Path", "Empty", "?"), "");
    EXPECT_EQ(ini.ReadString("Window", "X", "?"), "10 = 11");  // the first "=" splits
    EXPECT_EQ(ini.ReadString("Path", "loose line without equals", "?"), "?");
    EXPECT_EQ(ini.GetText(),
              "[Path]\r\n"
              "ColorDir=Colors\r\n"
              "loose line without equals\r\n"
              "Empty=\r\n"
              "\r\n"
              "[Window]\r\n"
              "X=10 = 11\r\n"
              "\r\n");
}

TEST(IniFile, LinesEndAtCrLfLfOrALoneCr) {
    TMemIniFile ini = FromText("[A]\nk1=1\rk2=2\r\nk3=3\n\r\n\r\rk4=4");
    EXPECT_EQ(ini.ReadSection("A"), (std::vector<std::string>{"k1", "k2", "k3", "k4"}));
    EXPECT_EQ(ini.ReadString("A", "k4", ""), "4");
    EXPECT_EQ(ini.GetText(), "[A]\r\nk1=1\r\nk2=2\r\nk3=3\r\nk4=4\r\n\r\n");
}

TEST(IniFile, SectionsAndKeysIgnoreLetterCase) {
    TMemIniFile ini = FromText("[COLORS]\r\ntotal=0\r\n");
    EXPECT_EQ(ini.ReadInteger("colors", "TOTAL", -1), 0);
    EXPECT_TRUE(ini.SectionExists("Colors"));
    EXPECT_TRUE(ini.ValueExists("cOlOrS", "Total"));
    // The line takes the writer's spelling of the key; the section keeps its own.
    ini.WriteInteger("Colors", "Total", 3);
    EXPECT_EQ(ini.GetText(), "[COLORS]\r\nTotal=3\r\n\r\n");
}

TEST(IniFile, WritesAppendToTheirSectionAndNewSectionsToTheEnd) {
    TMemIniFile ini = FromText("[A]\r\na1=1\r\n[B]\r\nb1=1\r\n");
    ini.WriteString("A", "a2", "2");
    ini.WriteString("C", "c1", "3");
    ini.WriteString("B", "b1", "changed");
    EXPECT_EQ(ini.GetText(), "[A]\r\na1=1\r\na2=2\r\n\r\n[B]\r\nb1=changed\r\n\r\n[C]\r\nc1=3\r\n\r\n");
}

TEST(IniFile, IntegersAreDecimalDollarOrZeroXHexIn32Bits) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"10", 10},
        {"-7", -7},
        {"+7", 7},
        {"007", 7},
        {"$FF", 255},
        {"$ff", 255},
        {"0x1f", 31},
        {"0X1F", 31},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$7FFFFFFF", 2147483647},
        {"$FFFFFFFF", -1},  // a hexadecimal text is the 32-bit pattern
        {"0x80000000", INT32_MIN},
        {"$000000000000001", 1},
    };
    for (const Case& c : cases) {
        TMemIniFile ini = FromText(std::string("[S]\r\nk=") + c.text + "\r\n");
        EXPECT_EQ(ini.ReadInteger("S", "k", 12345), c.expected) << c.text;
    }
    const char* bad[] = {"",     "abc",  "12abc", "1.5",  "1e3",   "$",    "0x",    "$G1",
                         "--1",  "+-1",  "- 1",   "1 2",  "$-1",   "0x+1", "$ FF",  "2147483648",
                         "-2147483649",  "$100000000",    "99999999999999999999", "0x1FFFFFFFF"};
    for (const char* text : bad) {
        TMemIniFile ini = FromText(std::string("[S]\r\nk=") + text + "\r\n");
        EXPECT_EQ(ini.ReadInteger("S", "k", 12345), 12345) << "'" << text << "'";
    }
    TMemIniFile ini;
    EXPECT_EQ(ini.ReadInteger("S", "absent", -9), -9);
    ini.WriteInteger("S", "k", -42);
    ini.WriteInteger("S", "m", INT32_MIN);
    EXPECT_EQ(ini.GetText(), "[S]\r\nk=-42\r\nm=-2147483648\r\n\r\n");
}

TEST(IniFile, BooleansAreIntegersWithTheDefaultForOtherText) {
    TMemIniFile ini = FromText("[S]\r\none=1\r\nzero=0\r\ntwo=2\r\nminus=-1\r\nhex=$0\r\nyes=yes\r\ntrue=true\r\nnone=\r\n");
    EXPECT_TRUE(ini.ReadBool("S", "one", false));
    EXPECT_FALSE(ini.ReadBool("S", "zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "two", false));
    EXPECT_TRUE(ini.ReadBool("S", "minus", false));
    EXPECT_FALSE(ini.ReadBool("S", "hex", true));
    for (const char* key : {"yes", "true", "none", "absent"}) {
        EXPECT_TRUE(ini.ReadBool("S", key, true)) << key;
        EXPECT_FALSE(ini.ReadBool("S", key, false)) << key;
    }
    ini.WriteBool("T", "on", true);
    ini.WriteBool("T", "off", false);
    EXPECT_EQ(ini.ReadString("T", "on", ""), "1");
    EXPECT_EQ(ini.ReadString("T", "off", ""), "0");
}

TEST(IniFile, AValueIsCutBeforeItsFirstLineBreak) {
    TMemIniFile ini;
    ini.WriteString("S", "a", "first line\r\n[Injected]\r\nX=1");
    ini.WriteString("S", "b", "one\ntwo");
    ini.WriteString("S", "c", "one\rtwo");
    ini.WriteString("S", "key\r\nX", "v");
    ini.WriteString("New\nSection", "k", "v");
    EXPECT_EQ(ini.ReadString("S", "a", ""), "first line");
    EXPECT_EQ(ini.GetText(), "[S]\r\na=first line\r\nb=one\r\nc=one\r\nkey=v\r\n\r\n[New]\r\nk=v\r\n\r\n");
    TMemIniFile back = FromText(ini.GetText());
    EXPECT_FALSE(back.SectionExists("Injected"));
    EXPECT_EQ(back.GetText(), ini.GetText());
}

TEST(IniFile, RepeatedKeysAndSectionsReadAndWriteTheFirstAndKeepTheRest) {
    TMemIniFile ini = FromText("[A]\r\nk=first\r\nK=second\r\n[B]\r\nx=1\r\n[a]\r\nk=third\r\n");
    EXPECT_EQ(ini.ReadString("A", "k", ""), "first");
    ini.WriteString("A", "k", "new");
    ini.WriteString("A", "added", "1");
    EXPECT_EQ(ini.GetText(),
              "[A]\r\nk=new\r\nK=second\r\nadded=1\r\n\r\n[B]\r\nx=1\r\n\r\n[a]\r\nk=third\r\n\r\n");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "B", "a"}));
    ini.DeleteKey("A", "K");  // the first of the two
    EXPECT_EQ(ini.ReadString("A", "k", ""), "second");
    ini.EraseSection("a");  // the first of the two
    EXPECT_EQ(ini.ReadString("A", "k", ""), "third");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"B", "a"}));
}

TEST(IniFile, LargeSectionsLookUpLikeSmallOnes) {
    // Colour lists hold hundreds of keys; their lookups go through an index.
    std::string text = "[COLORS]\r\ntotal=300\r\n";
    for (int i = 0; i < 300; ++i) text += std::to_string(i) + "=#" + std::to_string(i) + ",c\r\n";
    text += "Total=999\r\n0=duplicate\r\n";
    TMemIniFile ini = FromText(text);
    EXPECT_EQ(ini.ReadInteger("colors", "TOTAL", -1), 300);
    EXPECT_EQ(ini.ReadString("COLORS", "0", ""), "#0,c");
    EXPECT_EQ(ini.ReadString("COLORS", "299", ""), "#299,c");
    ini.WriteString("COLORS", "300", "#new,");
    EXPECT_EQ(ini.ReadString("COLORS", "300", ""), "#new,");
    ini.DeleteKey("COLORS", "total");
    EXPECT_EQ(ini.ReadInteger("COLORS", "Total", -1), 999);
    EXPECT_EQ(ini.ReadString("COLORS", "150", ""), "#150,c");
    ini.DeleteKey("COLORS", "0");
    EXPECT_EQ(ini.ReadString("COLORS", "0", ""), "duplicate");
}

TEST(IniFile, RawBytesSurviveALoadAndASave) {
    // Shift-JIS, a stray UTF-8 byte, a NUL and a DEL: none of them is decoded or touched.
    const std::string sjis = "\x95\x57\x8f\x80";  // 標準 in CP932
    const std::string odd = std::string("a\xff\xfe", 3) + std::string(1, '\0') + "\x7f" + "b";
    const std::string text = "[" + sjis + "]\r\n" + sjis + "=" + odd + "\r\n" + odd + "\r\n\r\n";
    TempFolder dir;
    WriteFile(dir / "list.clr", text);
    TMemIniFile ini(dir / "list.clr");
    EXPECT_EQ(ini.ReadString(sjis, sjis, ""), odd);
    ini.WriteString(sjis, "Total", "1");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFile(dir / "list.clr"), "[" + sjis + "]\r\n" + sjis + "=" + odd + "\r\n" + odd + "\r\nTotal=1\r\n\r\n");
}

TEST(IniFile, AMissingFileReadsEmptyAndSavingCreatesIt) {
    TempFolder dir;
    TMemIniFile ini(dir / "Tinctor.ini");
    EXPECT_FALSE(ini.LoadFailed());
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_EQ(ini.ReadString("Path", "ColorDir", "default"), "default");
    ini.WriteString("Path", "ColorDir", "Colors");
    EXPECT_FALSE(FileExists(dir / "Tinctor.ini"));  // nothing reaches the disk before the save
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(dir / "Tinctor.ini"), "[Path]\r\nColorDir=Colors\r\n\r\n");
}

TEST(IniFile, UnknownSectionsAndKeysSurviveAWriteBack) {
    TempFolder dir;
    WriteFile(dir / "Tinctor.ini",
              "[Future]\nFeature=on\n[Window]\nX=5\nShadow=2\nY=6\n[Path]\nColorDir=/data/colors\n");
    {
        TMemIniFile ini(dir / "Tinctor.ini");
        ini.WriteInteger("Window", "X", 100);
        ini.WriteInteger("Window", "Y", 200);
        ASSERT_TRUE(ini.Save());
    }
    EXPECT_EQ(ReadFile(dir / "Tinctor.ini"),
              "[Future]\r\nFeature=on\r\n\r\n[Window]\r\nX=100\r\nShadow=2\r\nY=200\r\n\r\n"
              "[Path]\r\nColorDir=/data/colors\r\n\r\n");
}

TEST(IniFile, SaveFailuresAreReportedAndLeaveTheOldFile) {
    TempFolder dir;
    // A folder that does not exist.
    TMemIniFile missing(dir / "no/such/folder/Tinctor.ini");
    missing.WriteString("S", "k", "v");
    EXPECT_FALSE(missing.Save());
    try {
        missing.UpdateFile();
        ADD_FAILURE() << "UpdateFile did not raise";
    } catch (const EIniFileError& e) {
        EXPECT_NE(std::string(e.what()).find(dir / "no/such/folder/Tinctor.ini"), std::string::npos) << e.what();
    }
    // A name that exists but cannot be read as a file: never replaced by an empty one.
    ASSERT_TRUE(ForceDirectories(dir / "Tinctor.ini"));
    TMemIniFile unreadable(dir / "Tinctor.ini");
    EXPECT_TRUE(unreadable.LoadFailed());
    unreadable.WriteString("S", "k", "v");
    EXPECT_FALSE(unreadable.Save());
    EXPECT_THROW(unreadable.UpdateFile(), EIniFileError);
    EXPECT_TRUE(DirectoryExists(dir / "Tinctor.ini"));
    // Without a file name there is nothing to save to.
    TMemIniFile unnamed;
    EXPECT_FALSE(unnamed.Save());
}

TEST(IniFile, GarbageBinaryBytesAndHugeLinesNeverBreakReading) {
    std::mt19937 random(20240601);
    std::string garbage;
    for (int i = 0; i < 200000; ++i) garbage += static_cast<char>(random() & 0xFF);
    const std::string hugeValue(4 * 1024 * 1024, 'x');
    const std::string hugeLine(3 * 1024 * 1024, '#');
    const std::string text = garbage + "\r\n[Window]\r\nX=77\r\nHuge=" + hugeValue + "\r\n" + hugeLine +
                             "\r\nNoValue\r\n=only value\r\n[" + garbage.substr(0, 1000) + "\n" + garbage;
    TempFolder dir;
    WriteFile(dir / "Tinctor.ini", text);

    TMemIniFile ini(dir / "Tinctor.ini");
    EXPECT_EQ(ini.ReadInteger("Window", "X", 0), 77);
    EXPECT_EQ(ini.ReadString("Window", "Huge", "").size(), hugeValue.size());
    EXPECT_EQ(ini.ReadString("Window", "NoValue", "default"), "default");
    EXPECT_EQ(ini.ReadString("Window", "", "?"), "only value");
    EXPECT_FALSE(ini.ReadBool("Window", "Y", false));

    // Writing back changes the written key and nothing else: a second load and save
    // gives the same bytes, and every line the first load kept is still there.
    const std::string kept = ini.GetText();
    ini.WriteInteger("Window", "X", 78);
    ASSERT_TRUE(ini.Save());
    TMemIniFile again(dir / "Tinctor.ini");
    EXPECT_EQ(again.ReadInteger("Window", "X", 0), 78);
    EXPECT_EQ(again.ReadString("Window", "Huge", ""), hugeValue);
    std::string expected = kept;
    expected.replace(expected.find("X=77"), 4, "X=78");
    EXPECT_EQ(again.GetText(), expected);
    EXPECT_EQ(ReadFile(dir / "Tinctor.ini"), expected);
}

TEST(IniFile, CaseBlindMatchingNeverFoldsShiftJisTrailBytes) {
    // In CP932 "\x83\x41" and "\x83\x61" are two different characters whose trail bytes
    // look like 'A' and 'a'; they stay two keys, in small and in indexed sections.
    CodePage::Select(CodePage::ShiftJis);
    for (int filler : {0, 40}) {
        std::string text = "[S]\r\n\x83\x41=first\r\n";
        for (int i = 0; i < filler; ++i) text.append("k").append(std::to_string(i)).append("=v\r\n");
        TMemIniFile ini = FromText(text);
        EXPECT_EQ(ini.ReadString("s", "\x83\x41", ""), "first") << filler;
        EXPECT_FALSE(ini.ValueExists("S", "\x83\x61")) << filler;
        ini.WriteString("S", "\x83\x61", "second");
        EXPECT_EQ(ini.ReadString("S", "\x83\x41", ""), "first") << filler;
        EXPECT_EQ(ini.ReadString("S", "\x83\x61", ""), "second") << filler;
    }
    CodePage::Select(CodePage::Utf8);
}
