// The real program on a real X server: what a first start in an empty folder does.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// The colour of one screen pixel as ImageMagick writes it ("#RRGGBB").
std::string ScreenPixel(int x, int y) {
    const std::string out =
        Shell("import -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) + " txt:- 2>/dev/null");
    const std::size_t hash = out.find('#', out.find('\n'));
    return hash == std::string::npos ? out : out.substr(hash, 7);
}

// Asks the window to close the way a window manager's close button does.
void SendDeleteWindow(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
}

class FirstStart : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tinctor-x11-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home = pattern;
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

    // The id of the program's visible top-level window, waiting for it to appear.
    unsigned long WaitForWindow() {
        for (int i = 0; i < 100; ++i) {
            const std::string id = Shell("xdotool search --onlyvisible --name '^Tinctor$' 2>/dev/null | head -1");
            if (!id.empty()) return std::stoul(id);
            std::this_thread::sleep_for(100ms);
        }
        return 0;
    }

    // Waits for the program to end; its exit status, or -1 when it did not end.
    int WaitForExit() {
        for (int i = 0; i < 100; ++i) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(100ms);
        }
        return -1;
    }

    std::string home;
    pid_t pid = -1;
};

TEST_F(FirstStart, OpensNarrowAndBlackAndSavesThePositionAtExit) {
    Start();
    const unsigned long window = WaitForWindow();
    ASSERT_NE(window, 0u) << "no window titled Tinctor";

    const std::string info = Shell("xwininfo -id " + std::to_string(window));
    EXPECT_EQ(Field(info, "Width:"), 273) << info;
    EXPECT_EQ(Field(info, "Height:"), 167) << info;
    const int left = Field(info, "Absolute upper-left X:");
    const int top = Field(info, "Absolute upper-left Y:");

    // Once the window has painted (the root is black, the strip is not), the current
    // colour swatch and the complement are black and the swatch's rounded corner
    // shows the strip's background.
    std::string corner = "#000000";
    for (int i = 0; i < 50 && corner == "#000000"; ++i) {
        std::this_thread::sleep_for(100ms);
        corner = ScreenPixel(left, top);
    }
    EXPECT_NE(corner, "#000000");
    EXPECT_EQ(ScreenPixel(left + 20, top + 12), "#000000");
    EXPECT_EQ(ScreenPixel(left + 47, top + 12), "#000000");
    EXPECT_NE(ScreenPixel(left + 60, top + 20), "#000000");  // the strip beside the swatches

    std::string ini;
    ASSERT_TRUE(tinctor::LoadTextFile(home + "/Tinctor.ini", ini));
    EXPECT_EQ(ini, "[Path]\r\nColorDir=Colors\r\n\r\n");
    EXPECT_TRUE(tinctor::DirectoryExists(home + "/Colors"));

    Shell("xdotool windowmove " + std::to_string(window) + " 57 63");
    std::this_thread::sleep_for(500ms);
    SendDeleteWindow(window);
    EXPECT_EQ(WaitForExit(), 0);

    ASSERT_TRUE(tinctor::LoadTextFile(home + "/Tinctor.ini", ini));
    EXPECT_EQ(ini, "[Path]\r\nColorDir=Colors\r\n\r\n[Window]\r\nX=57\r\nY=63\r\n\r\n");
}

}  // namespace
