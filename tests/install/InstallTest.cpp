// An install into a temporary prefix, checked file by file, and the installed programs
// at work: their options, the script library, and tinctor's first start as a user.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ProgramDriver.h"
#include "util/stdFiles.h"

extern char** environ;

namespace tinctor::test {
namespace {

namespace fs = std::filesystem;

// The exit status of a shell command, its output going to Out (when given).
int ExitOf(const std::string& command, std::string* out = nullptr) {
    const std::string captured = Shell("(" + command + ") 2>&1; echo \"exit=$?\"");
    const std::size_t at = captured.rfind("exit=");
    if (out) *out = captured.substr(0, at);
    return at == std::string::npos ? -1 : std::atoi(captured.c_str() + at + 5);
}

// Installs the build once into a prefix of its own for all tests of the suite.
class Installed : public TProgramTest {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/tinctor-install-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        prefix = pattern;
        std::string out;
        ASSERT_EQ(ExitOf(std::string(CMAKE_COMMAND) + " --install " + TINCTOR_BINARY_DIR + " --prefix " + prefix, &out), 0)
            << out;
    }
    static void TearDownTestSuite() { fs::remove_all(prefix); }

    static std::string Path(const std::string& relative) { return prefix + "/" + relative; }

    static inline std::string prefix;
};

TEST_F(Installed, PutsEveryFileInItsPlace) {
    const std::vector<std::string> files = {
        "bin/tinctor", "bin/kestrel",
        "share/tinctor/Tinctor.html", "share/tinctor/Scripts/invert.ksc", "share/tinctor/lib/colourmath.ksc",
        "share/applications/tinctor.desktop", "share/metainfo/" APPSTREAM_ID ".metainfo.xml",
        "share/mime/packages/tinctor.xml", "share/icons/hicolor/scalable/apps/tinctor.svg",
        "share/man/man1/tinctor.1.gz", "share/man/man1/kestrel.1.gz",
        "share/doc/tinctor/copyright", "share/doc/tinctor/changelog.gz",
    };
    for (const std::string& file : files) EXPECT_GT(fs::file_size(Path(file)), 0u) << file;
    for (const char* program : {"bin/tinctor", "bin/kestrel"}) EXPECT_EQ(access(Path(program).c_str(), X_OK), 0);

    // Each PNG is drawn at the size of its folder (width and height in the header).
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string dim = std::to_string(size) + "x" + std::to_string(size);
        std::string info;
        EXPECT_EQ(ExitOf("file " + Path("share/icons/hicolor/" + dim + "/apps/tinctor.png"), &info), 0);
        EXPECT_NE(info.find("PNG image data, " + std::to_string(size) + " x " + std::to_string(size)), std::string::npos)
            << info;
    }
}

TEST_F(Installed, PassesTheDesktopValidators) {
    std::string out;
    EXPECT_EQ(ExitOf("desktop-file-validate " + Path("share/applications/tinctor.desktop"), &out), 0) << out;
    EXPECT_EQ(out.find("error"), std::string::npos) << out;
    EXPECT_EQ(ExitOf("appstreamcli validate --no-net " + Path("share/metainfo/" APPSTREAM_ID ".metainfo.xml"), &out), 0)
        << out;
    // The man pages format without a warning.
    for (const char* page : {"tinctor", "kestrel"}) {
        EXPECT_EQ(ExitOf("LC_ALL=C.UTF-8 man --warnings -l -Tutf8 " + Path("share/man/man1/") + page + ".1.gz >/dev/null",
                      &out),
                  0);
        EXPECT_EQ(out, "") << page;
    }
    // The MIME database built from the package knows .ksc as a kind of text.
    ASSERT_EQ(ExitOf("update-mime-database " + Path("share/mime"), &out), 0) << out;
    std::string type;
    ASSERT_TRUE(LoadTextFile(Path("share/mime/text/x-kestrel-script.xml"), type));
    EXPECT_NE(type.find("<sub-class-of type=\"text/plain\"/>"), std::string::npos);
    std::string globs;
    ASSERT_TRUE(LoadTextFile(Path("share/mime/globs2"), globs));
    EXPECT_NE(globs.find("text/x-kestrel-script:*.ksc"), std::string::npos) << globs;
}

TEST_F(Installed, ProgramsAnswerTheirOptions) {
    struct Case {
        const char* Command;
        int Exit;
        const char* Expected;  // in the output (stdout and stderr together)
    };
    const Case cases[] = {
        {"tinctor --help", 0, "usage: tinctor"},
        {"tinctor -V", 0, "tinctor (Tinctor) "},
        {"tinctor --bogus", 2, "tinctor: unknown option --bogus"},
        {"tinctor extra", 2, "unexpected argument extra"},
        {"tinctor -display", 2, "needs a value"},
        {"kestrel --help", 0, "usage: kestrel"},
        {"kestrel --version", 0, "kestrel (Tinctor) "},
        {"kestrel -q script.ksc", 2, "kestrel: unknown option -q"},
        {"kestrel", 2, "no script file given"},
        {"kestrel -e", 2, "needs a script text"},
        {"kestrel -- -e", 2, "cannot read -e"},
    };
    for (const Case& c : cases) {
        std::string out;
        // No display: the options are answered before any window is made.
        EXPECT_EQ(ExitOf("env -u DISPLAY " + Path("bin/") + c.Command, &out), c.Exit) << c.Command;
        EXPECT_NE(out.find(c.Expected), std::string::npos) << c.Command << ": " << out;
    }
    // Help and version go to standard output; a usage error to standard error only.
    std::string out;
    EXPECT_EQ(ExitOf(Path("bin/kestrel") + " --help 2>/dev/null | grep -c 'TINCTOR_CODEPAGE'", &out), 0);
    EXPECT_EQ(ExitOf(Path("bin/tinctor") + " --bogus 2>/dev/null", &out), 2);
    EXPECT_EQ(out, "");
}

TEST_F(Installed, KestrelImportsFromTheScriptLibrary) {
    std::string out;
    const std::string script =
        "'import colourmath; println(colourmath.webSafe(30) + \",\" + colourmath.luminance(255, 128, 0));'";
    ASSERT_EQ(ExitOf("cd / && " + Path("bin/kestrel") + " -e " + script, &out), 0) << out;
    EXPECT_EQ(out, "51,151\r\n");  // println ends lines with CR LF
}

// A first start from the menu: no TINCTOR_HOME, a fresh XDG_CONFIG_HOME, and the
// desktop's opener replaced by a script that notes what it was asked to open.
TEST_F(Installed, FirstStartUsesTheConfigFolderAndTheInstalledData) {
    const std::string config = home + "/config";
    const std::string bin = home + "/bin";
    const std::string opened = home + "/opened";
    ASSERT_TRUE(ForceDirectories(bin));
    ASSERT_TRUE(SaveTextFile(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" >> " + opened + "\n"));
    fs::permissions(bin + "/xdg-open", fs::perms::owner_all);

    const std::string program = Path("bin/tinctor");
    const std::string path = bin + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
    std::vector<std::string> env = {"XDG_CONFIG_HOME=" + config, "HOME=" + home, "PATH=" + path,
                                    "XDG_DATA_DIRS=" + Path("share") + ":/usr/share"};
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        // The test's X server lets in only the clients that hold its cookie.
        if (entry.starts_with("DISPLAY=") || entry.starts_with("XAUTHORITY=") || entry.starts_with("LANG="))
            env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);

    const std::string window = FindWindow("Tinctor");
    ASSERT_FALSE(window.empty()) << "no window titled Tinctor";
    EXPECT_NE(Shell("xprop -id " + window + " WM_CLASS").find("\"Tinctor\""), std::string::npos)
        << "StartupWMClass of the desktop entry";
    EXPECT_NE(Shell("xprop -id " + window + " _NET_WM_ICON").find("Icon ("), std::string::npos)
        << "the installed icon";

    const std::string folder = config + "/tinctor/";
    EXPECT_TRUE(WaitFor([&] { return FileExists(folder + "Tinctor.ini"); }));
    EXPECT_TRUE(DirectoryExists(folder + "Colors"));
    std::vector<std::string> scripts;
    EXPECT_TRUE(ListFileNames(folder + "Scripts/", "*.ksc", scripts));
    EXPECT_EQ(scripts.size(), 5u);
    EXPECT_FALSE(FileExists(Path("bin/Tinctor.ini")));

    Keys(window, "key F1");
    std::string asked;
    EXPECT_TRUE(WaitFor([&] { return LoadTextFile(opened, asked) && !asked.empty(); }));
    EXPECT_EQ(asked, "file://" + fs::canonical(Path("share/tinctor/Tinctor.html")).string() + "\n");

    SendDeleteWindow(std::stoul(window));
    EXPECT_EQ(WaitForExit(), 0);
}

}  // namespace
}  // namespace tinctor::test
