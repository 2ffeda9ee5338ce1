// Colour list files on disk: the format, bad input, and saves that keep what they
// do not own.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ColorListFile.h"
#include "app/ListFileName.h"
#include "util/IniFiles.h"
#include "util/CodePage.h"
#include "util/stdFiles.h"

namespace tinctor {
namespace {

class ColorListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tinctor-clr-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = std::string(pattern) + "/";
        path = folder + "list.clr";
    }
    void TearDown() override {
        CodePage::Select(CodePage::Utf8);
        std::filesystem::remove_all(folder);
    }
    void Write(const std::string& text) { ASSERT_TRUE(SaveTextFile(path, text)); }
    std::string Read() const {
        std::string text;
        EXPECT_TRUE(LoadTextFile(path, text));
        return text;
    }
    std::vector<TColorEntry> Load() { return LoadColorListFile(path).Entries; }

    std::string folder;
    std::string path;
};

using Entries = std::vector<TColorEntry>;

TEST_F(ColorListFileTest, LoadsEntriesSplitAtTheFirstCommaAndSavesThemBack) {
    Write("[COLORS]\r\ntotal=2\r\n0=#FF0000,red\r\n1=#0000FF,blue, dark\r\n");
    const Entries entries = Load();
    EXPECT_EQ(entries, (Entries{{"#FF0000", "red"}, {"#0000FF", "blue, dark"}}));

    SaveColorListFile(path, entries);
    EXPECT_EQ(Read(), "[COLORS]\r\nTotal=2\r\n0=#FF0000,red\r\n1=#0000FF,blue, dark\r\n\r\n");
}

TEST_F(ColorListFileTest, NewListFileHoldsTotalZeroUntilItsFirstSave) {
    ASSERT_TRUE(CreateColorListFile(path));
    EXPECT_EQ(Read(), "[COLORS]\r\ntotal=0");
    EXPECT_TRUE(Load().empty());

    SaveColorListFile(path, {{"#FF8000", ""}});
    EXPECT_EQ(Read(), "[COLORS]\r\nTotal=1\r\n0=#FF8000,\r\n\r\n");
}

TEST_F(ColorListFileTest, MissingKeysGiveEmptyEntriesWrittenBackAsALoneComma) {
    Write("[COLORS]\r\nTotal=3\r\n0=#FF0000,red\r\n2=#00FF00,green\r\n");
    const Entries entries = Load();
    EXPECT_EQ(entries, (Entries{{"#FF0000", "red"}, {"", ""}, {"#00FF00", "green"}}));
    SaveColorListFile(path, entries);
    EXPECT_NE(Read().find("\r\n1=,\r\n"), std::string::npos);
}

TEST_F(ColorListFileTest, ShorterListLeavesTheOldHigherKeysIgnored) {
    Write("[COLORS]\r\nTotal=5\r\n0=#000001,a\r\n1=#000002,b\r\n2=#000003,c\r\n3=#000004,d\r\n4=#000005,e\r\n");
    Entries entries = Load();
    entries.erase(entries.begin() + 2);
    SaveColorListFile(path, entries);
    EXPECT_EQ(Read(),
              "[COLORS]\r\nTotal=4\r\n0=#000001,a\r\n1=#000002,b\r\n2=#000004,d\r\n3=#000005,e\r\n4=#000005,e\r\n\r\n");
    EXPECT_EQ(Load().size(), 4u);
}

TEST_F(ColorListFileTest, SaveKeepsOtherContentsAndDropsCommentAndBlankLines) {
    Write("; made by hand\r\nstray line\r\n[Other]\r\nkey=value\r\n\r\n[colors]\r\n; a note\r\nTOTAL=1\r\n"
          "0=#ABCDEF,one\r\nextra=kept\r\n");
    const Entries entries = Load();
    EXPECT_EQ(entries, (Entries{{"#ABCDEF", "one"}}));
    SaveColorListFile(path, {{"#ABCDEF", "one"}, {"#ABCDEF", "same code, own comment"}});
    EXPECT_EQ(Read(),
              "[Other]\r\nkey=value\r\n\r\n[colors]\r\nTotal=2\r\n0=#ABCDEF,one\r\nextra=kept\r\n"
              "1=#ABCDEF,same code, own comment\r\n\r\n");
    EXPECT_EQ(Load(), (Entries{{"#ABCDEF", "one"}, {"#ABCDEF", "same code, own comment"}}));
}

TEST_F(ColorListFileTest, UnusableTotalsAreDamageAndThePresentKeysLoad) {
    const struct {
        const char* Total;
        TTotalState State;
    } totals[] = {
        {"", TTotalState::Missing},          {"Total=", TTotalState::Unusable},
        {"Total=abc", TTotalState::Unusable}, {"Total=3x", TTotalState::Unusable},
        {"Total=-5", TTotalState::Unusable},  {"Total=2147483648", TTotalState::Unusable},
        {"Total=99999999999", TTotalState::Unusable}, {"Total=$FFFFFFFF", TTotalState::Unusable},
    };
    for (const auto& total : totals) {
        Write(std::string("[COLORS]\r\n") + total.Total + "\r\n0=#FF0000,red\r\n2=#0000FF,blue\r\n");
        const TColorListContents contents = LoadColorListFile(path);
        EXPECT_TRUE(contents.DamagedTotal) << total.Total;
        EXPECT_EQ(contents.TotalState, total.State) << total.Total;
        EXPECT_EQ(contents.Entries, (Entries{{"#FF0000", "red"}, {"", ""}, {"#0000FF", "blue"}})) << total.Total;
        EXPECT_NE(DamagedTotalMessage(path, contents).find(" 3 件"), std::string::npos) << total.Total;
        // An add after loading never writes over an entry that was not loaded.
        Entries grown = contents.Entries;
        grown.push_back({"#00FF00", "green"});
        SaveColorListFile(path, grown);
        EXPECT_EQ(Load(), grown) << total.Total;
    }
    Write("[COLORS]\r\nTotal=$2\r\n0=#FF0000,red\r\n1=#00FF00,\r\n");
    EXPECT_EQ(Load().size(), 2u);  // the general integer rules: "$" is hexadecimal
    Write("[COLORS]\r\n");
    EXPECT_FALSE(LoadColorListFile(path).DamagedTotal);  // no Total and no entries: a new list
}

TEST_F(ColorListFileTest, ValueWithoutACommaKeepsItsTextAsTheComment) {
    Write("[COLORS]\r\nTotal=2\r\n0=#FF0000\r\n1=a=b\r\n");
    const Entries entries = Load();
    EXPECT_EQ(entries, (Entries{{"", "#FF0000"}, {"", "a=b"}}));
    SaveColorListFile(path, entries);
    EXPECT_NE(Read().find("0=,#FF0000\r\n1=,a=b\r\n"), std::string::npos);
}

TEST_F(ColorListFileTest, LineEndsOfEveryKindReadAlike) {
    const Entries expected{{"#FF0000", "red"}, {"#00FF00", "green"}};
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        const std::string e = eol;
        Write("[COLORS]" + e + "Total=2" + e + "0=#FF0000,red" + e + "1=#00FF00,green" + e);
        EXPECT_EQ(Load(), expected) << int(e.size());
    }
    // A lone CR between two lines is a line end, not part of the comment.
    Write("[COLORS]\rTotal=1\r0=#FF0000,red\r\r\n");
    EXPECT_EQ(Load(), (Entries{{"#FF0000", "red"}}));
}

TEST_F(ColorListFileTest, CommentsInEitherEncodingSurviveASaveByteForByte) {
    const std::string sjis = "\x90\xD4\x82\xA2\x94\x5C";  // 赤い表 in Shift-JIS (0x5C trail byte)
    const std::string utf8 = "\xE8\xB5\xA4\xE3\x81\x84";  // 赤い in UTF-8
    for (int cp : {CodePage::Utf8, CodePage::ShiftJis}) {
        CodePage::Select(cp);
        Write("[COLORS]\r\nTotal=2\r\n0=#FF0000," + sjis + "\r\n1=#00FF00," + utf8 + "\r\n");
        const Entries entries = Load();
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].Comment, sjis);
        EXPECT_EQ(entries[1].Comment, utf8);
        SaveColorListFile(path, entries);
        EXPECT_EQ(Read(), "[COLORS]\r\nTotal=2\r\n0=#FF0000," + sjis + "\r\n1=#00FF00," + utf8 + "\r\n\r\n");
    }
}

TEST_F(ColorListFileTest, TotalBeyondTheLimitIsDamageAndOnlyThePresentKeysLoad) {
    Write("[COLORS]\r\nTotal=2000000000\r\n0=#FF0000,red\r\n1=#00FF00,green\r\n4=#0000FF,blue\r\n"
          "07=not an entry key\r\n150000=beyond the limit\r\n");
    const TColorListContents contents = LoadColorListFile(path);
    EXPECT_TRUE(contents.DamagedTotal);
    EXPECT_EQ(contents.StoredTotal, 2000000000);
    EXPECT_EQ(contents.Entries,
              (Entries{{"#FF0000", "red"}, {"#00FF00", "green"}, {"", ""}, {"", ""}, {"#0000FF", "blue"}}));
    const std::string message = DamagedTotalMessage(path, contents);
    EXPECT_NE(message.find(path), std::string::npos);
    EXPECT_NE(message.find("2000000000"), std::string::npos);
    EXPECT_NE(message.find(" 5 件"), std::string::npos);

    // The next save mends the file.
    SaveColorListFile(path, contents.Entries);
    const TColorListContents again = LoadColorListFile(path);
    EXPECT_FALSE(again.DamagedTotal);
    EXPECT_EQ(again.Entries, contents.Entries);
}

TEST_F(ColorListFileTest, TotalAtTheLimitIsStillAList) {
    Write("[COLORS]\r\nTotal=100000\r\n99999=#123456,last\r\n");
    const TColorListContents contents = LoadColorListFile(path);
    EXPECT_FALSE(contents.DamagedTotal);
    ASSERT_EQ(contents.Entries.size(), 100000u);
    EXPECT_EQ(contents.Entries.back(), (TColorEntry{"#123456", "last"}));
}

TEST_F(ColorListFileTest, UnreadableFileIsReportedAndNeverOverwritten) {
    const auto refused = [&](const std::string& reason) {
        try {
            LoadColorListFile(path);
            ADD_FAILURE() << "no error for " << reason;
        } catch (const EColorListError& e) {
            EXPECT_EQ(std::string(e.what()), "リストファイル \"" + path + "\" を読み込めません (" + reason + ")。");
        }
        EXPECT_THROW(SaveColorListFile(path, {{"#FF0000", "red"}}), EColorListError);
    };
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);  // a folder where the file should be
    refused("通常のファイルではありません");
    EXPECT_TRUE(DirectoryExists(path));
    ASSERT_EQ(rmdir(path.c_str()), 0);
    ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);  // once aborted the program with bad_alloc
    refused("通常のファイルではありません");
    ASSERT_EQ(unlink(path.c_str()), 0);
    Write("[COLORS]\r\nTotal=0\r\n");
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(MaxDataFileSize) + 1), 0);
    refused("ファイルが大きすぎます (64 MiB まで)");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, static_cast<off_t>(MaxDataFileSize) + 1);
}

TEST_F(ColorListFileTest, FailedSaveSaysSoAndLeavesNothingBehind) {
    const std::string missing = folder + "no such folder/list.clr";
    try {
        SaveColorListFile(missing, {{"#FF0000", "red"}});
        FAIL() << "no error";
    } catch (const EColorListError& e) {
        EXPECT_EQ(std::string(e.what()), "リストファイル \"" + missing +
                                             "\" に書き込めません。変更はリストに残っていて、次に保存できたときに書き込まれます。");
    }
    EXPECT_FALSE(DirectoryExists(folder + "no such folder"));
    EXPECT_FALSE(CreateColorListFile(missing));
}

// --- list names ------------------------------------------------------------------------

TEST(ListFileName, RefusesNamesThatCannotBeAListWithAClearMessage) {
    const std::vector<std::string> existing{"Web", "標準"};
    EXPECT_EQ(NewListNameRefusal("", existing), "ファイル名を入力してください。");
    EXPECT_EQ(NewListNameRefusal("   ", existing), "ファイル名を入力してください。");
    EXPECT_EQ(NewListNameRefusal("a/b", existing), "ファイル名に「/」は使えません。");
    EXPECT_EQ(NewListNameRefusal("../up", existing), "ファイル名に「/」は使えません。");
    EXPECT_EQ(NewListNameRefusal("tab\there", existing), "ファイル名に制御文字は使えません。");
    EXPECT_EQ(NewListNameRefusal(std::string("nul\0x", 5), existing), "ファイル名に制御文字は使えません。");
    EXPECT_EQ(NewListNameRefusal("del\x7F", existing), "ファイル名に制御文字は使えません。");
    EXPECT_EQ(NewListNameRefusal(".hidden", existing), "「.」で始まるファイル名は使えません。");
    EXPECT_EQ(NewListNameRefusal(std::string(252, 'x'), existing), "ファイル名が長すぎます。");
    EXPECT_EQ(NewListNameRefusal("Web", existing), "指定したファイル名はもう存在しています。");
    EXPECT_EQ(NewListNameRefusal("wEB", existing), "指定したファイル名はもう存在しています。");
    EXPECT_EQ(NewListNameRefusal("標準", existing), "指定したファイル名はもう存在しています。");
}

TEST(ListFileName, AcceptsOrdinaryNames) {
    const std::vector<std::string> existing{"Web"};
    for (const std::string name : {"newfile", "Web2", "赤系", "my list", "a.b"})
        EXPECT_EQ(NewListNameRefusal(name, existing), "") << name;
    EXPECT_EQ(NewListNameRefusal(std::string(251, 'x'), existing), "");  // 255 bytes with ".clr"
}

TEST(ListFileName, FindPrefersTheExactName) {
    const std::vector<std::string> names{"abc", "ABC", "Abc"};
    EXPECT_EQ(FindListName(names, "ABC"), 1);
    EXPECT_EQ(FindListName(names, "aBc"), 0);
    EXPECT_EQ(FindListName(names, "abd"), -1);
    EXPECT_EQ(ColorListPath("/x/Colors/", "Web"), "/x/Colors/Web.clr");
}

}  // namespace
}  // namespace tinctor
