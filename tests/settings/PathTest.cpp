#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/ExIniFiles.h"
#include "settings/PathNames.h"
#include "settings/ProgramFolder.h"
#include "settings/FolderMacros.h"
#include "settings/XdgFolders.h"
#include "settings/SettingsTestSupport.h"

using namespace tinctor;
using tinctor::testing::EnvGuard;
using tinctor::testing::TempFolder;
using tinctor::testing::WriteFile;

namespace {

// The user's folders: documents moved, music below them, pictures elsewhere.
class PathFixture : public tinctor::testing::HomeFixture {
protected:
    void SetUp() override {
        PrepareHome("apps/tinctor/",
                    "# written by xdg-user-dirs-update\n"
                    "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n"
                    "XDG_MUSIC_DIR=\"$HOME/Docs/Music\"\n"
                    "XDG_PICTURES_DIR=\"" + root_.Path() + "shared/Pictures/\"\n");
    }
};

std::string MacroFolder(const std::string& macro) {
    for (const TSpecialFolder& row : TSpecialFolders::Current().Rows())
        if (row.Macro == macro) return row.Folder;
    ADD_FAILURE() << "no row " << macro;
    return {};
}

}  // namespace

TEST_F(PathFixture, MacroRowsComeFromTheXdgFolders) {
    const auto& rows = TSpecialFolders::Current().Rows();
    ASSERT_EQ(rows.size(), 11u);
    const char* order[] = {"%PERSONAL%",      "%MYMUSIC%",     "%APPDATA%",      "%COMMON_APPDATA%",
                           "%WINDOWS%",       "%SYSTEMS%",     "%PROGRAM_FILES%", "%MYPICTURES%",
                           "%PROFILE%",       "%PROGRAM_FILES_COMMON%", "%APPLICATION%"};
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].Macro, order[i]);
    EXPECT_EQ(MacroFolder("%PERSONAL%"), home_ + "/Docs");
    EXPECT_EQ(MacroFolder("%MYMUSIC%"), home_ + "/Docs/Music");
    EXPECT_EQ(MacroFolder("%APPDATA%"), home_ + "/.config");
    EXPECT_EQ(MacroFolder("%COMMON_APPDATA%"), home_ + "/.local/share");
    EXPECT_EQ(MacroFolder("%MYPICTURES%"), root_.Path() + "shared/Pictures");
    EXPECT_EQ(MacroFolder("%PROFILE%"), home_);
    EXPECT_EQ(MacroFolder("%APPLICATION%"), root_.Path() + "apps/tinctor");
    for (const char* windowsOnly : {"%WINDOWS%", "%SYSTEMS%", "%PROGRAM_FILES%", "%PROGRAM_FILES_COMMON%"})
        EXPECT_EQ(MacroFolder(windowsOnly), "") << windowsOnly;
}

TEST_F(PathFixture, MissingUserFoldersFallBackToDocumentsThenHome) {
    EnvGuard env;
    env.Set("XDG_CONFIG_HOME", root_.Path() + "empty-config");
    env.Set("XDG_DATA_HOME", root_.Path() + "data");
    TSpecialFolders::Reload();
    EXPECT_EQ(MacroFolder("%PERSONAL%"), home_);
    EXPECT_EQ(MacroFolder("%MYMUSIC%"), home_);
    EXPECT_EQ(MacroFolder("%MYPICTURES%"), home_);
    EXPECT_EQ(MacroFolder("%APPDATA%"), root_.Path() + "empty-config");
    EXPECT_EQ(MacroFolder("%COMMON_APPDATA%"), root_.Path() + "data");
}

TEST(UserDirs, ParsesTheShellFormOfUserDirsDirs) {
    const std::string text =
        "# comment\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\r\n"
        "XDG_MUSIC_DIR=\"relative/music\"\n"
        "XDG_MUSIC_DIR=\"$HOMEmusic\"\n"
        "XDG_VIDEOS_DIR=\"/srv/videos/\"\n"
        "XDG_PICTURES_DIR=\"$HOME/old\"\n"
        "  XDG_PICTURES_DIR = \"$HOME/new\"\n"
        "XDG_DOWNLOAD_DIR=$HOME/unquoted\n"
        "XDG_TEMPLATES_DIR=\"$HOME\"\n";
    EXPECT_EQ(ParseUserDirs(text, "DOCUMENTS", "/home/u"), "/home/u/My \"Docs\"");
    EXPECT_EQ(ParseUserDirs(text, "MUSIC", "/home/u"), "");  // neither relative nor "$HOMEx" counts
    EXPECT_EQ(ParseUserDirs(text, "VIDEOS", "/home/u"), "/srv/videos");
    EXPECT_EQ(ParseUserDirs(text, "PICTURES", "/home/u"), "/home/u/new");
    EXPECT_EQ(ParseUserDirs(text, "DOWNLOAD", "/home/u"), "");
    EXPECT_EQ(ParseUserDirs(text, "TEMPLATES", "/home/u"), "/home/u");
    EXPECT_EQ(ParseUserDirs(text, "DESKTOP", "/home/u"), "");
    EXPECT_EQ(ParseUserDirs(text, "DOCUMENTS", ""), "");
}

TEST_F(PathFixture, WriteMacroPathTakesTheFirstMatchingRowAndReadPathTurnsItBack) {
    TMemIniFileEx ini(program_ + "Tinctor.ini");
    ini.Section = "Window";
    struct Case {
        std::string path, stored;
    };
    const Case cases[] = {
        {home_ + "/Docs/pic.bmp", "%PERSONAL%/pic.bmp"},
        {home_ + "/Docs/Music/cover.bmp", "%PERSONAL%/Music/cover.bmp"},  // documents come first
        {home_ + "/.config/x.bmp", "%APPDATA%/x.bmp"},
        {home_ + "/.local/share/y.bmp", "%COMMON_APPDATA%/y.bmp"},
        {root_.Path() + "shared/Pictures/z.bmp", "%MYPICTURES%/z.bmp"},
        {home_ + "/photo.bmp", "%PROFILE%/photo.bmp"},
        {program_ + "table.bmp", "%APPLICATION%/table.bmp"},
        {home_ + "/Docs", "%PERSONAL%"},
        {home_ + "/Documents/a.bmp", "%PROFILE%/Documents/a.bmp"},  // Docs is no prefix of Documents
        {home_ + "x/a.bmp", home_ + "x/a.bmp"},                     // whole folders only
        {"/elsewhere/a.bmp", "/elsewhere/a.bmp"},
        {"", ""},
    };
    for (const Case& c : cases) {
        ini.WriteMacroPath("ColorTableMap", c.path);
        EXPECT_EQ(ini.ReadString("ColorTableMap", "?"), c.stored) << c.path;
        EXPECT_EQ(ini.ReadPath("ColorTableMap", "?"), c.path) << c.stored;
    }
    // Windows-made values: backslashes after the macro, any letter case of the macro.
    ini.WriteString("ColorTableMap", "%PERSONAL%\\tables\\warm.bmp");
    EXPECT_EQ(ini.ReadPath("ColorTableMap", ""), home_ + "/Docs/tables/warm.bmp");
    ini.WriteString("ColorTableMap", "%personal%/a.bmp");
    EXPECT_EQ(ini.ReadPath("ColorTableMap", ""), home_ + "/Docs/a.bmp");
    // A Windows-only macro has no folder here: the path stays unexpanded, below the program.
    ini.WriteString("ColorTableMap", "%WINDOWS%\\web.bmp");
    EXPECT_EQ(ini.ReadPath("ColorTableMap", ""), program_ + "%WINDOWS%/web.bmp");
}

TEST_F(PathFixture, WritePathStoresRelativeToTheProgramFolder) {
    TMemIniFileEx ini(program_ + "Tinctor.ini");
    struct Case {
        std::string path, stored;
    };
    const Case cases[] = {
        {program_ + "Colors", "Colors"},
        {program_ + "Colors/", "Colors/"},
        {program_ + "lists/warm", "lists/warm"},
        {root_.Path() + "apps/other/Colors", "../other/Colors"},
        {root_.Path() + "apps/tinctor", "."},
        {program_ + "a/../b/./c", "b/c"},
        {"Colors", "Colors"},  // already relative
        {"", ""},
    };
    for (const Case& c : cases) {
        ini.WritePath("Path", "ColorDir", c.path);
        EXPECT_EQ(ini.ReadString("Path", "ColorDir", "?"), c.stored) << c.path;
    }
    // Another top folder than the program's is the other drive: stored absolute.
    const std::string top = program_.substr(0, program_.find('/', 1));
    const std::string other = top == "/srv" ? "/opt/colors" : "/srv/colors";
    ini.WritePath("Path", "ColorDir", other);
    EXPECT_EQ(ini.ReadString("Path", "ColorDir", "?"), other);
    // ... and read back as it stands, while relative values are expanded.
    EXPECT_EQ(ini.ReadPath("Path", "ColorDir", ""), other);
}

TEST_F(PathFixture, ReadPathExpandsRelativePathsAndLeavesTheCurrentFolder) {
    TMemIniFileEx ini(program_ + "Tinctor.ini");
    ini.SetText("[Path]\r\nColorDir=Colors\r\nUp=..\\shared\\lists\r\nAbs=/var/x/../y\r\nEmpty=\r\nDot=.\r\n");
    char before[4096];
    ASSERT_TRUE(getcwd(before, sizeof before));
    EXPECT_EQ(ini.ReadPath("Path", "ColorDir", ""), program_ + "Colors");
    EXPECT_EQ(ini.ReadPath("Path", "Up", ""), root_.Path() + "apps/shared/lists");
    EXPECT_EQ(ini.ReadPath("Path", "Abs", ""), "/var/x/../y");  // absolute: as it stands
    EXPECT_EQ(ini.ReadPath("Path", "Empty", "Colors"), "");    // present but empty stays empty
    EXPECT_EQ(ini.ReadPath("Path", "Dot", ""), root_.Path() + "apps/tinctor");
    EXPECT_EQ(ini.ReadPath("Path", "Absent", "Colors"), program_ + "Colors");
    EXPECT_EQ(ini.ReadPath("Path", "Absent", ""), "");
    char after[4096];
    ASSERT_TRUE(getcwd(after, sizeof after));
    EXPECT_STREQ(before, after);
}

TEST_F(PathFixture, WritePathAndReadPathRoundTrip) {
    TMemIniFileEx ini(program_ + "Tinctor.ini");
    ini.Section = "Path";
    for (const std::string& path : {program_ + "Colors", program_ + "deep/er/lists", root_.Path() + "apps/x",
                                    root_.Path() + "y/z", home_ + "/Docs/colours"}) {
        ini.WritePath("ColorDir", path);
        ASSERT_TRUE(ini.Save());
        TMemIniFileEx back(program_ + "Tinctor.ini");
        EXPECT_EQ(back.ReadPath("Path", "ColorDir", ""), path) << back.ReadString("Path", "ColorDir", "");
    }
}

TEST(PathNames, NormalizeAndRelativeSteps) {
    EXPECT_EQ(NormalizePath("/a//b/./c/../d/"), "/a/b/d/");
    EXPECT_EQ(NormalizePath("/../a"), "/a");
    EXPECT_EQ(NormalizePath("../a/../../b"), "../../b");
    EXPECT_EQ(NormalizePath("a/.."), ".");
    EXPECT_EQ(NormalizePath("/"), "/");
    EXPECT_EQ(ExpandFileName("sub\\file.bmp", "/p/q/"), "/p/q/sub/file.bmp");
    EXPECT_EQ(ExpandFileName("../x", "/p/q"), "/p/x");
    EXPECT_EQ(ExtractRelativePath("/p/q/", "/p/q/r/s.bmp"), "r/s.bmp");
    EXPECT_EQ(ExtractRelativePath("/p/q/", "/p"), "..");
    EXPECT_EQ(ExtractRelativePath("/p/q/", "/px/q"), "/px/q");
    EXPECT_EQ(ExtractRelativePath("/", "/p/q"), "p/q");
}

TEST(ProgramFolder, TinctorHomeWinsAndIsMadeWhenMissing) {
    TempFolder dir;
    EnvGuard env;
    env.Set("TINCTOR_HOME", dir / "portable/home");
    TProgramFolderInfo info = ResolveProgramFolder(ExecutableFolder());
    EXPECT_EQ(info.Folder, dir / "portable/home/");
    EXPECT_EQ(info.Source, TProgramFolderSource::Home);
    EXPECT_TRUE(info.Created);
    EXPECT_TRUE(DirectoryExists(info.Folder));
    EXPECT_FALSE(ResolveProgramFolder(ExecutableFolder()).Created);

    // A relative TINCTOR_HOME is taken from the current folder.
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    env.Set("TINCTOR_HOME", "portable/./home/");
    TProgramFolderInfo relative = ResolveProgramFolder(ExecutableFolder());
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(relative.Folder, info.Folder);
}

TEST(ProgramFolder, TheExecutablesFolderWhenWritableElseTheConfigFolder) {
    TempFolder dir;
    EnvGuard env;
    env.Set("TINCTOR_HOME", std::nullopt);
    env.Set("XDG_CONFIG_HOME", dir / "config");

    const std::string exe = ExecutableFolder();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe.back(), '/');
    EXPECT_TRUE(FileExists(exe + "settings_tests"));

    ASSERT_TRUE(ForceDirectories(dir / "portable"));
    TProgramFolderInfo portable = ResolveProgramFolder(dir / "portable");
    EXPECT_EQ(portable.Folder, dir / "portable/");
    EXPECT_EQ(portable.Source, TProgramFolderSource::Executable);
    EXPECT_FALSE(portable.Created);

    TProgramFolderInfo installed = ResolveProgramFolder(dir / "no-such-install/bin/");
    EXPECT_EQ(installed.Folder, dir / "config/tinctor/");
    EXPECT_EQ(installed.Source, TProgramFolderSource::UserConfig);
    EXPECT_TRUE(installed.Created);
    EXPECT_TRUE(DirectoryExists(installed.Folder));
    EXPECT_FALSE(ResolveProgramFolder(dir / "no-such-install/bin/").Created);

    if (geteuid() != 0) {  // root may write anywhere
        ASSERT_TRUE(ForceDirectories(dir / "readonly"));
        chmod((dir / "readonly").c_str(), 0555);
        EXPECT_EQ(ResolveProgramFolder(dir / "readonly/").Source, TProgramFolderSource::UserConfig);
    }
}
