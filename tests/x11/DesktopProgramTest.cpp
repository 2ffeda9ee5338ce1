// The real program on a real X server with its desktop parts: the clipboard observer,
// the hot key, compact mode, the eyedropper and editor colour extraction.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ProgramDriver.h"
#include "x11/platform/OtherEditor.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

using tinctor::test::Field;
using tinctor::test::Shell;
using tinctor::test::TControl;
using tinctor::test::WaitFor;

// A program's first window on a machine loaded with builds may take this long.
constexpr std::chrono::milliseconds StartLimit = 20s;

// A program of ours that runs until killed (xclip serving a selection).
class TChild {
public:
    TChild(const std::vector<std::string>& args, const std::string& input) {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[0]);
        if (write(fds[1], input.data(), input.size()) < 0) {
        }
        close(fds[1]);
    }
    ~TChild() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
};

// A plain window of one colour, made by another client.
class TColourWindow {
public:
    TColourWindow(unsigned long rgb, int x, int y, int w, int h) : display_(XOpenDisplay(nullptr)) {
        if (!display_) return;
        const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, y, w, h, 0, 0, rgb);
        XMapWindow(display_, window);
        XSync(display_, False);
    }
    ~TColourWindow() {
        if (display_) XCloseDisplay(display_);
    }

private:
    Display* display_;
};

// Openbox managing the test's screen for the lifetime of the object: a frame with a
// title bar around each window, which the toolkit learns of only after mapping. The
// server never resets, so what the manager leaves on the root window (the active
// window among it) is taken away with it.
class TWindowManager {
public:
    // Openbox runs its start-up command once it manages windows; the mark tells.
    TWindowManager()
        : before_(RootProperties()),
          ready_(std::filesystem::temp_directory_path() / ("tinctor-openbox-" + std::to_string(getpid()))),
          openbox_(std::make_unique<TChild>(Args{"openbox", "--sm-disable", "--startup", "touch " + ready_.string()},
                                            "")) {}
    ~TWindowManager() {
        openbox_.reset();
        std::filesystem::remove(ready_);
        for (const std::string& name : RootProperties())
            if (std::find(before_.begin(), before_.end(), name) == before_.end())
                Shell("xprop -root -remove " + name);
    }
    bool Running() const {
        return WaitFor([&] { return std::filesystem::exists(ready_); }, StartLimit);
    }

private:
    using Args = std::vector<std::string>;
    static std::vector<std::string> RootProperties() {
        std::vector<std::string> names;
        std::istringstream lines(Shell("xprop -root"));
        for (std::string line; std::getline(lines, line);) {
            const std::size_t end = line.find_first_of("(:");
            // Continuation lines of a value start with white space.
            if (end != std::string::npos && end > 0 && !std::isspace(static_cast<unsigned char>(line[0])))
                names.push_back(line.substr(0, end));
        }
        return names;
    }

    std::vector<std::string> before_;
    std::filesystem::path ready_;
    std::unique_ptr<TChild> openbox_;
};

// The outer rectangle of a managed window: its client area and the frame's extents.
struct TFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::pair<int, int> Centre() const { return {Left + Width / 2, Top + Height / 2}; }
};

class DesktopProgram : public tinctor::test::TProgramTest {
protected:
    void SetUp() override {
        TProgramTest::SetUp();
        MoveTo(1200, 1000);  // far from where the window opens
    }
    // Starts the program with Ini as its settings file where it opens (or where a
    // window manager puts it), once it is up and painted.
    void Start(const std::string& ini) { ASSERT_NO_FATAL_FAILURE(Open(ini, false)); }
    int Height() {
        if (!window.empty()) Locate(window);  // xwininfo would wait for a click on a window
        return height;
    }
    // The window's frame; false until the manager has drawn one.
    bool Frame(TFrame& frame) {
        if (window.empty()) return false;
        Locate(window);
        int l = 0, r = 0, t = 0, b = 0;
        const std::string extents = Shell("xprop -id " + window + " _NET_FRAME_EXTENTS");
        const std::size_t at = extents.find(" = ");
        if (at == std::string::npos || std::sscanf(extents.c_str() + at, " = %d, %d, %d, %d", &l, &r, &t, &b) != 4)
            return false;
        frame = {left - l, top - t, width + l + r, height + t + b};
        return t > 0;
    }
    std::string Current() const { return ColourAt(TControl::Swatch); }
    std::pair<int, int> Pointer() const {
        const std::string out = Shell("xdotool getmouselocation");
        return {Field(out, "x:"), Field(out, "y:")};
    }
    void MoveTo(int x, int y) const { Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)); }
};

TEST_F(DesktopProgram, CopyingAColourElsewhereMakesItCurrentWhileTheObserverIsOn) {
    Start("[Extend]\r\nClipboardObserver=1\r\n");
    TChild xclip({"xclip", "-quiet", "-selection", "clipboard"}, "#FF0000");
    EXPECT_TRUE(WaitFor([&] { return Current() == "#FF0000"; })) << Current();
}

TEST_F(DesktopProgram, WithTheObserverOffACopyChangesNothing) {
    Start("[Extend]\r\nClipboardObserver=0\r\n");
    TChild xclip({"xclip", "-quiet", "-selection", "clipboard"}, "#FF0000");
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(Current(), "#000000");
}

TEST_F(DesktopProgram, TheHotKeyPutsThePointerAtTheWindowsCentre) {
    Start("[Extend]\r\nHotkeyMode=1\r\nHotkey=Shift+Ctrl+F12\r\n");
    Shell("xdotool key ctrl+shift+F12");
    const std::pair<int, int> centre{left + width / 2, top + height / 2};
    EXPECT_TRUE(WaitFor([&] { return Pointer() == centre; }))
        << Pointer().first << "," << Pointer().second << " not " << centre.first << "," << centre.second;
}

TEST_F(DesktopProgram, CompactModeFoldsAwayFromThePointerAndTheHotKeyOpensIt) {
    Start("[Window]\r\nCompact=1\r\n[Extend]\r\nHotkeyMode=1\r\nHotkey=Shift+Ctrl+F12\r\n");
    ASSERT_TRUE(WaitFor([&] { return Height() == 25; })) << height;
    MoveTo(left + width + 5, top + 10);  // within the 10 pixels beside the window
    EXPECT_TRUE(WaitFor([&] { return Height() == 167; })) << height;
    MoveTo(left + width + 15, top + 10);
    EXPECT_TRUE(WaitFor([&] { return Height() == 25; })) << height;

    Shell("xdotool key ctrl+shift+F12");
    EXPECT_TRUE(WaitFor([&] { return Height() == 167; })) << height;
    const std::pair<int, int> centre{left + width / 2, top + 167 / 2};
    EXPECT_TRUE(WaitFor([&] { return Pointer() == centre; }));
}

// Under a window manager the hot key centres the pointer on the opened window's frame,
// also when the window was folded to its top strip (the frame grows as it opens).
TEST_F(DesktopProgram, UnderAWindowManagerTheHotKeyCentresOnTheOpenedFrame) {
    struct TCase {
        const char* Name;
        const char* Ini;
        int HeightBefore;
    };
    const TCase cases[] = {
        {"open", "[Extend]\r\nHotkeyMode=1\r\nHotkey=Shift+Ctrl+F12\r\n", 167},
        {"folded", "[Window]\r\nCompact=1\r\n[Extend]\r\nHotkeyMode=1\r\nHotkey=Shift+Ctrl+F12\r\n", 25},
    };
    TWindowManager manager;
    ASSERT_TRUE(manager.Running());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        MoveTo(1200, 1000);  // far from where the window opens, so that it can fold
        ASSERT_NO_FATAL_FAILURE(Start(c.Ini));
        TFrame frame;
        ASSERT_TRUE(WaitFor([&] { return Frame(frame) && height == c.HeightBefore; })) << height;
        Shell("xdotool key ctrl+shift+F12");
        ASSERT_TRUE(WaitFor([&] { return Height() == 167; })) << height;
        ASSERT_TRUE(Frame(frame));
        EXPECT_TRUE(WaitFor([&] { return Pointer() == frame.Centre(); }))
            << Pointer().first << "," << Pointer().second << " not " << frame.Centre().first << ","
            << frame.Centre().second << " of the frame " << frame.Left << "," << frame.Top << " " << frame.Width
            << "x" << frame.Height;
        Stop();
    }
}

TEST_F(DesktopProgram, DraggingTheEyedropperOverAWindowPicksItsColour) {
    TColourWindow orange(0xFF8000, 700, 500, 200, 150);
    Start("");
    ASSERT_TRUE(WaitFor([&] { return tinctor::test::ScreenPixel(800, 575) == "#FF8000"; }));
    Shell("xdotool mousemove " + At(TControl::Spoit));
    Shell("xdotool mousedown 1");
    MoveTo(500, 400);
    MoveTo(780, 560);
    std::this_thread::sleep_for(200ms);
    Shell("xdotool mouseup 1");
    EXPECT_TRUE(WaitFor([&] { return Current() == "#FF8000"; })) << Current();
    // The pick is over: moving on samples nothing more.
    MoveTo(300, 900);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Current(), "#FF8000");
}

// How soon it does is measured by the desktop benchmark.
TEST_F(DesktopProgram, TheSelectionOfAListedEditorBecomesCurrent) {
    Start("[Extend]\r\nSpoitTEditor=1\r\n");
    tinctor::test::TOtherEditor gedit("gedit", "Gedit", "#FF8000");
    EXPECT_TRUE(WaitFor([&] { return Current() == "#FF8000"; })) << Current();
}

}  // namespace
