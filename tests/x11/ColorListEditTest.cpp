// The real program on a real X server: a colour list edited with the mouse and the
// keyboard, and the list file on disk after every step.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "util/stdFiles.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[512];
        while (std::size_t n = fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
        pclose(pipe);
    }
    return out;
}

int Field(const std::string& text, const std::string& name) {
    const std::size_t at = text.find(name);
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + name.size());
}

std::string ScreenPixel(int x, int y) {
    const std::string out =
        Shell("import -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) + " -depth 8 txt:- 2>/dev/null");
    const std::size_t hash = out.find('#', out.find('\n'));
    return hash == std::string::npos ? out : out.substr(hash, 7);
}

// Polls until Done holds or about five seconds have passed.
bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 50; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return done();
}

// Places in the wide window's client area, from its design: the toolbar is the
// bottom 25 pixels, the colour list the 205 pixels at the right below the top strip.
constexpr int ToolbarY = 155;
constexpr int ShowTinctorsX = 34;
constexpr int AddColorX = 331;
constexpr int MoveDownX = 389;
constexpr int ListX = 330;
int EntryY(int row) { return 25 + 2 + 12 * row + 6; }

class ColorListEdit : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tinctor-x11-lists-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home = pattern;
        std::filesystem::create_directories(home + "/Colors");
    }
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        std::filesystem::remove_all(home);
    }

    void Start() {
        const std::string program = std::string(TINCTOR_BINARY_DIR) + "/src/app/tinctor";
        ASSERT_EQ(access(program.c_str(), X_OK), 0) << program;
        setenv("TINCTOR_HOME", home.c_str(), 1);
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
        unsetenv("TINCTOR_HOME");
    }

    // The first visible window with the title, other than Except; "" when none came.
    std::string FindWindow(const std::string& title, const std::string& except = "") {
        std::string found;
        WaitFor([&] {
            const std::string ids = Shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null");
            std::size_t start = 0;
            while (start < ids.size()) {
                const std::size_t end = ids.find('\n', start);
                const std::string id = ids.substr(start, end - start);
                if (!id.empty() && id != except) {
                    found = id;
                    return true;
                }
                if (end == std::string::npos) break;
                start = end + 1;
            }
            return false;
        });
        return found;
    }
    void Click(int x, int y, int button = 1) {
        Shell("xdotool mousemove " + std::to_string(left + x) + " " + std::to_string(top + y) + " click " +
            std::to_string(button));
        std::this_thread::sleep_for(200ms);
    }
    // Keys typed into the window Id, which gets the input focus first.
    void Keys(const std::string& id, const std::string& keys) {
        Shell("xdotool windowfocus --sync " + id + " " + keys);
        std::this_thread::sleep_for(200ms);
    }
    std::string List() const {
        std::string text;
        tinctor::LoadTextFile(home + "/Colors/Web.clr", text);
        return text;
    }
    bool ListBecomes(const std::string& text) {
        return WaitFor([&] { return List() == text; });
    }

    std::string home;
    pid_t pid = -1;
    int left = 0;
    int top = 0;
};

TEST_F(ColorListEdit, TakesMovesDeletesAndAddsThroughTheWindowAndWritesEachStep) {
    ASSERT_TRUE(tinctor::SaveTextFile(home + "/Colors/Web.clr",
                                      "[COLORS]\r\nTotal=3\r\n0=#FF0000,red\r\n1=#00FF00,green\r\n2=#0000FF,blue\r\n"));
    Start();
    const std::string window = FindWindow("Tinctor");
    ASSERT_FALSE(window.empty()) << "no window titled Tinctor";
    Shell("xdotool windowmove --sync " + window + " 40 40");
    const std::string info = Shell("xwininfo -id " + window);
    left = Field(info, "Absolute upper-left X:");
    top = Field(info, "Absolute upper-left Y:");
    // Painted once the strip beside the swatches is no longer the black root.
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(left + 60, top + 20) != "#000000"; }));

    Click(ShowTinctorsX, ToolbarY);
    ASSERT_TRUE(WaitFor([&] { return Field(Shell("xwininfo -id " + window), "Width:") == 478; }));

    // Clicking the red entry makes red the current colour.
    Click(ListX, EntryY(0));
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(left + 20, top + 12) == "#FF0000"; }))
        << ScreenPixel(left + 20, top + 12);

    // A right click elsewhere leaves the selection where it is: moving down moves red.
    Click(ListX, EntryY(2), 3);
    Shell("xdotool key Escape");
    Click(MoveDownX, ToolbarY);
    EXPECT_TRUE(ListBecomes("[COLORS]\r\nTotal=3\r\n0=#00FF00,green\r\n1=#FF0000,red\r\n2=#0000FF,blue\r\n\r\n"))
        << List();

    // The Delete key asks first; Return answers with the default, Yes.
    Keys(window, "key Delete");
    const std::string question = FindWindow("Tinctor", window);
    ASSERT_FALSE(question.empty()) << "no confirmation box";
    Keys(question, "key Return");
    EXPECT_TRUE(ListBecomes("[COLORS]\r\nTotal=2\r\n0=#00FF00,green\r\n1=#0000FF,blue\r\n2=#0000FF,blue\r\n\r\n"))
        << List();

    // Adding the current colour: the dialog offers its code and typing goes to the comment.
    Click(AddColorX, ToolbarY);
    const std::string dialog = FindWindow("カラーコード入力");
    ASSERT_FALSE(dialog.empty()) << "no code-entry dialog";
    Keys(dialog, "type 'for headings, bold'");
    Keys(dialog, "key Return");
    EXPECT_TRUE(ListBecomes("[COLORS]\r\nTotal=3\r\n0=#00FF00,green\r\n1=#0000FF,blue\r\n2=#FF0000,for headings, bold\r\n"
                            "\r\n"))
        << List();
}

}  // namespace
