#include "ProgramDriver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "util/stdFiles.h"

extern char** environ;

namespace tinctor::test {

using namespace std::chrono_literals;

constexpr auto PollEvery = 20ms;
// A program's first window on a machine loaded with builds may take this long.
constexpr auto StartLimit = 20s;

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

std::vector<std::string> ScreenPixels(int x, int y, int width, int height) {
    std::vector<std::string> pixels(static_cast<std::size_t>(width * height), "no pixel");
    // One connection for the test program's whole run: the server never resets.
    static Display* const display = XOpenDisplay(nullptr);
    // A rectangle beyond the screen is an X error, which would end the test program.
    if (!display || x < 0 || y < 0 || x + width > DisplayWidth(display, DefaultScreen(display)) ||
        y + height > DisplayHeight(display, DefaultScreen(display)))
        return pixels;
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, width, height, AllPlanes, ZPixmap);
    if (!image) return pixels;
    char text[8];
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            std::snprintf(text, sizeof text, "#%06lX", XGetPixel(image, column, row) & 0xFFFFFF);
            pixels[static_cast<std::size_t>(row * width + column)] = text;
        }
    XDestroyImage(image);
    return pixels;
}

std::string ScreenPixel(int x, int y) { return ScreenPixels(x, y, 1, 1).front(); }

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(PollEvery);
    }
    return done();
}

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

namespace {

// Where the window opens in the tests, away from the pictures they put on the screen.
constexpr int WindowX = 40;
constexpr int WindowY = 40;
constexpr int WideWidth = 478;

// Places of the controls in the client area, from the window's design, in global
// points: the toolbar is the bottom 25 points of the 167, the colour list the 205 at
// the right of the wide window below the 25 of the top strip, 12 per entry.
struct TPlace {
    int X, Y;
};
constexpr int ToolbarY = 155;
constexpr TPlace Places[] = {
    {20, 12},         // Swatch
    {60, 20},         // Strip
    {34, ToolbarY},   // ShowTinctors
    {56, ToolbarY},   // ColorConfig
    {246, ToolbarY},  // Spoit: after buttons of 23, 23 and 36, six notation buttons of 23, two separators of 8
    {331, ToolbarY},  // AddColor
    {389, ToolbarY},  // MoveDown
};
constexpr int ListX = 330;
constexpr int EntryY(int row) { return 25 + 2 + 12 * row + 6; }

}  // namespace

void TProgramTest::SetUp() {
    char pattern[] = "/tmp/tinctor-x11-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home = pattern;
}

void TProgramTest::TearDown() {
    Stop();
    std::filesystem::remove_all(home);
}

void TProgramTest::Stop() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
    window.clear();
}

void TProgramTest::Start() {
    const std::string program = std::string(TINCTOR_BINARY_DIR) + "/src/app/tinctor";
    ASSERT_EQ(access(program.c_str(), X_OK), 0) << program;
    setenv("TINCTOR_HOME", home.c_str(), 1);
    for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const int spawned = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ);
    unsetenv("TINCTOR_HOME");
    for (const auto& [name, value] : environment) unsetenv(name.c_str());
    ASSERT_EQ(spawned, 0);
}

void TProgramTest::Open(const std::string& ini, bool place) {
    if (!ini.empty()) {
        ASSERT_TRUE(SaveTextFile(home + "/Tinctor.ini", ini));
    }
    ASSERT_NO_FATAL_FAILURE(Start());
    window = FindWindow("Tinctor");
    ASSERT_FALSE(window.empty()) << "no window titled Tinctor";
    if (place) Shell("xdotool windowmove --sync " + window + " " + std::to_string(WindowX) + " " + std::to_string(WindowY));
    Locate(window);
    ASSERT_TRUE(WaitFor([&] { return ColourAt(TControl::Strip) != "#000000"; }, StartLimit)) << "no paint";
}

// The device pixel of a point of the window under a scale factor.
static int Device(int origin, double ratio, int point) { return origin + static_cast<int>(point * ratio); }

static std::string ScreenPoint(int left, int top, double ratio, int x, int y) {
    return std::to_string(Device(left, ratio, x)) + " " + std::to_string(Device(top, ratio, y));
}

std::string TProgramTest::At(TControl control) const {
    const TPlace place = Places[static_cast<int>(control)];
    return ScreenPoint(left, top, ratio, place.X, place.Y);
}

std::string TProgramTest::AtEntry(int row) const { return ScreenPoint(left, top, ratio, ListX, EntryY(row)); }

std::string TProgramTest::ColourAt(TControl control) const {
    const TPlace place = Places[static_cast<int>(control)];
    return ScreenPixel(Device(left, ratio, place.X), Device(top, ratio, place.Y));
}

static void ClickAt(const std::string& point, int button) {
    Shell("xdotool mousemove " + point + " click " + std::to_string(button));
    std::this_thread::sleep_for(200ms);
}

void TProgramTest::ClickOn(TControl control, int button) { ClickAt(At(control), button); }

void TProgramTest::ClickOnEntry(int row, int button) { ClickAt(AtEntry(row), button); }

void TProgramTest::Widen() {
    ClickOn(TControl::ShowTinctors);
    ASSERT_TRUE(WaitFor([&] { return Field(Shell("xwininfo -id " + window), "Width:") == WideWidth; }))
        << "the window stays narrow";
}

std::string TProgramTest::FindWindow(const std::string& title, const std::string& except) {
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
    }, StartLimit);
    return found;
}

int TProgramTest::VisibleWindows() const {
    const std::string ids = Shell("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null");
    return static_cast<int>(std::count(ids.begin(), ids.end(), '\n'));
}

void TProgramTest::Locate(const std::string& id) {
    const std::string info = Shell("xwininfo -id " + id);
    left = Field(info, "Absolute upper-left X:");
    top = Field(info, "Absolute upper-left Y:");
    width = Field(info, "Width:");
    height = Field(info, "Height:");
}

int TProgramTest::WaitForExit() {
    int code = -1;
    WaitFor([&] {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) != pid) return false;
        pid = -1;
        code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    });
    return code;
}

void TProgramTest::Keys(const std::string& id, const std::string& keys) {
    Shell("xdotool windowfocus --sync " + id + " " + keys);
    std::this_thread::sleep_for(200ms);
}

}  // namespace tinctor::test
