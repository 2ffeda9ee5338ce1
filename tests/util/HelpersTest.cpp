#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "util/CodePage.h"
#include "util/StrToken.h"
#include "util/stdFiles.h"
#include "util/stdInt.h"
#include "util/stdWindow.h"

using namespace tinctor;

TEST(Helpers, ClampGivesLowerBoundForAnEmptyRange) {
    EXPECT_EQ(Clamp(300, 0, 255), 255);
    EXPECT_EQ(Clamp(-5, 0, 255), 0);
    EXPECT_EQ(Clamp(7, 0, 255), 7);
    EXPECT_EQ(Clamp(7, 10, 10), 10);
    EXPECT_EQ(Clamp(7, 10, 3), 10);
}

TEST(Helpers, WidenRectAndContains) {
    TRect r = WidenRect(TRect{100, 50, 300, 200}, 10, 20);
    EXPECT_EQ(r, (TRect{90, 30, 310, 220}));
    EXPECT_TRUE(r.Contains(90, 30));
    EXPECT_FALSE(r.Contains(310, 100));
    EXPECT_FALSE(r.Contains(100, 220));
}

TEST(Helpers, StrTokenHonoursEscapesAndDoubleByteCharacters) {
    std::string text = "one,two\\,three,four";
    EXPECT_EQ(StrToken(text, ',', '\\'), "one");
    EXPECT_EQ(StrToken(text, ',', '\\'), "two\\,three");
    EXPECT_EQ(StrToken(text, ',', '\\'), "four");
    EXPECT_EQ(text, "");
    EXPECT_EQ(StrToken(text, ','), "");

    CodePage::Select(CodePage::ShiftJis);
    // The trail byte of this kanji is a backslash and of the next one a '|'.
    std::string sjis = "\x95\x5C|\x83\x7C|x";
    EXPECT_EQ(StrToken(sjis, '|', '\\'), "\x95\x5C");
    EXPECT_EQ(StrToken(sjis, '|', '\\'), "\x83\x7C");
    EXPECT_EQ(sjis, "x");
    CodePage::Select(CodePage::Utf8);
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tinctor-files-XXXXXX";
        dir_ = IncludeTrailingPathDelimiter(mkdtemp(tmpl));
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string dir_;
};

TEST_F(FilesTest, SaveReplacesAtomicallyAndLoadReadsBack) {
    std::string path = dir_ + "a.clr";
    std::string binary("x\0y\r\nz", 6);
    ASSERT_TRUE(SaveTextFile(path, binary));
    std::string text;
    ASSERT_TRUE(LoadTextFile(path, text));
    EXPECT_EQ(text, binary);
    ASSERT_TRUE(SaveTextFile(path, "second"));
    ASSERT_TRUE(LoadTextFile(path, text));
    EXPECT_EQ(text, "second");
    std::vector<std::string> names;
    ListFileNames(dir_, ".*", names);
    EXPECT_TRUE(names.empty()) << "a temporary file was left behind";
}

TEST_F(FilesTest, FailuresAreReportedNotRaised) {
    std::string text = "kept";
    EXPECT_FALSE(LoadTextFile(dir_ + "missing", text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(SaveTextFile(dir_ + "no/such/folder/file", "x"));
    if (geteuid() != 0) {  // root writes into read-only folders anyway
        ASSERT_TRUE(SaveTextFile(dir_ + "ro", "old"));
        chmod(dir_.c_str(), 0555);
        EXPECT_FALSE(SaveTextFile(dir_ + "ro", "new"));
        chmod(dir_.c_str(), 0755);
        ASSERT_TRUE(LoadTextFile(dir_ + "ro", text));
        EXPECT_EQ(text, "old");
    }
}

TEST_F(FilesTest, SaveWritesThroughLinksAndRefusesReadOnlyFiles) {
    ASSERT_EQ(mkdir((dir_ + "real").c_str(), 0755), 0);
    ASSERT_TRUE(SaveTextFile(dir_ + "real/list.clr", "old"));
    ASSERT_EQ(symlink("real/list.clr", (dir_ + "link.clr").c_str()), 0);
    ASSERT_EQ(symlink("link.clr", (dir_ + "chain.clr").c_str()), 0);
    ASSERT_TRUE(SaveTextFile(dir_ + "chain.clr", "new"));
    struct stat st;
    ASSERT_EQ(lstat((dir_ + "chain.clr").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));  // the links stay links
    std::string text;
    ASSERT_TRUE(LoadTextFile(dir_ + "real/list.clr", text));
    EXPECT_EQ(text, "new");
    EXPECT_EQ(ResolveLinks(dir_ + "chain.clr"), dir_ + "real/list.clr");

    // A dangling link makes its target.
    ASSERT_EQ(symlink("real/made.ini", (dir_ + "dangling.ini").c_str()), 0);
    ASSERT_TRUE(SaveTextFile(dir_ + "dangling.ini", "made"));
    ASSERT_TRUE(LoadTextFile(dir_ + "real/made.ini", text));
    EXPECT_EQ(text, "made");

    // Read-only stays read-only, for root as well.
    ASSERT_EQ(chmod((dir_ + "real/list.clr").c_str(), 0444), 0);
    EXPECT_FALSE(SaveTextFile(dir_ + "link.clr", "refused"));
    ASSERT_TRUE(LoadTextFile(dir_ + "real/list.clr", text));
    EXPECT_EQ(text, "new");
}

TEST_F(FilesTest, SaveRemovesStaleTemporaryFilesOfItsOwnNaming) {
    ASSERT_TRUE(SaveTextFile(dir_ + "a.clr", "a"));
    const auto age = [&](const std::string& name, time_t seconds) {
        ASSERT_TRUE(SaveTextFile(dir_ + name, "half"));
        const struct timespec times[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (dir_ + name).c_str(), times, 0), 0);
    };
    age(".a.clr.Ab12Cd", 3600);        // a killed save of a.clr
    age(".b.ini.xY9zQw", 3600);        // of b.ini, saved now
    age(".a.clr.Zz99Zz", 1);           // a save in progress elsewhere
    age(".other.txt.Ab12Cd", 3600);    // not of a file here: somebody else's
    age(".a.clr.backup1", 3600);       // not our naming
    ASSERT_TRUE(SaveTextFile(dir_ + "b.ini", "b"));
    const auto exists = [&](const char* name) { return access((dir_ + name).c_str(), F_OK) == 0; };
    EXPECT_FALSE(exists(".a.clr.Ab12Cd"));
    EXPECT_FALSE(exists(".b.ini.xY9zQw"));
    EXPECT_TRUE(exists(".a.clr.Zz99Zz"));
    EXPECT_TRUE(exists(".other.txt.Ab12Cd"));
    EXPECT_TRUE(exists(".a.clr.backup1"));
}

TEST_F(FilesTest, OnlyRegularFilesOfASaneSizeAreRead) {
    std::string text = "stale";
    ASSERT_TRUE(SaveTextFile(dir_ + "small", "12345"));
    EXPECT_EQ(LoadRegularFile(dir_ + "small", text, 5), TLoadResult::Loaded);
    EXPECT_EQ(text, "12345");
    EXPECT_EQ(LoadRegularFile(dir_ + "small", text, 4), TLoadResult::TooLarge);
    EXPECT_TRUE(text.empty());
    ASSERT_EQ(mkfifo((dir_ + "fifo").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir_ + "zero").c_str()), 0);
    const struct {
        std::string Path;
        TLoadResult Result;
    } cases[] = {
        {dir_ + "fifo", TLoadResult::NotRegular},  // must not block either
        {dir_ + "zero", TLoadResult::NotRegular},
        {dir_, TLoadResult::NotRegular},
        {dir_ + "missing", TLoadResult::Missing},
        {dir_ + "small/below", TLoadResult::Missing},
    };
    for (const auto& c : cases) EXPECT_EQ(LoadRegularFile(c.Path, text), c.Result) << c.Path;
    ASSERT_EQ(truncate((dir_ + "small").c_str(), static_cast<off_t>(MaxDataFileSize) + 1), 0);
    EXPECT_EQ(LoadRegularFile(dir_ + "small", text), TLoadResult::TooLarge);
}

TEST_F(FilesTest, ListFileNamesSortsIgnoringCaseAndSkipsDotFiles) {
    for (const char* n : {"beta.clr", "Alpha.clr", ".hidden.clr", "gamma.clr.bak", "delta.CLR"})
        ASSERT_TRUE(SaveTextFile(dir_ + n, ""));
    ASSERT_TRUE(ForceDirectories(dir_ + "sub.clr/deeper"));
    std::vector<std::string> names;
    EXPECT_TRUE(ListFileNames(dir_, "*.clr", names));
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha.clr", "beta.clr"}));
    EXPECT_TRUE(ListFileNames(dir_, "*.clr", names, true));
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta"}));
    EXPECT_FALSE(ListFileNames(dir_, "*.ksc", names));
    EXPECT_FALSE(ListFileNames(dir_ + "missing", "*", names));
}

TEST(Helpers, PathParts) {
    EXPECT_EQ(ExtractFilePath("/a/b/c.clr"), "/a/b/");
    EXPECT_EQ(ExtractFileName("/a/b/c.clr"), "c.clr");
    EXPECT_EQ(ExtractFileExt("/a/b.d/c"), "");
    EXPECT_EQ(ExtractFileExt("c.tar.gz"), ".gz");
    EXPECT_EQ(ChangeFileExt("/a/c.clr", ""), "/a/c");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
}
