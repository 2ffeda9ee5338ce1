#include "ProgramDriver.h"

#include <X11/Xlib.h>
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

extern char** environ;

namespace tinctor::test {

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
    const std::string out = Shell("import -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                                  " -depth 8 txt:- 2>/dev/null");
    const std::size_t hash = out.find('#', out.find('\n'));
    return hash == std::string::npos ? out : out.substr(hash, 7);
}

bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 100; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
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

void TProgramTest::SetUp() {
    char pattern[] = "/tmp/tinctor-x11-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home = pattern;
}

void TProgramTest::TearDown() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    std::filesystem::remove_all(home);
}

void TProgramTest::Start() {
    const std::string program = std::string(TINCTOR_BINARY_DIR) + "/src/app/tinctor";
    ASSERT_EQ(access(program.c_str(), X_OK), 0) << program;
    setenv("TINCTOR_HOME", home.c_str(), 1);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    unsetenv("TINCTOR_HOME");
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
    });
    return found;
}

int TProgramTest::VisibleWindows() const {
    const std::string ids = Shell("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null");
    return static_cast<int>(std::count(ids.begin(), ids.end(), '\n'));
}

void TProgramTest::Locate(const std::string& window) {
    const std::string info = Shell("xwininfo -id " + window);
    left = Field(info, "Absolute upper-left X:");
    top = Field(info, "Absolute upper-left Y:");
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

void TProgramTest::Click(int x, int y, int button) {
    Shell("xdotool mousemove " + std::to_string(left + x) + " " + std::to_string(top + y) + " click " +
          std::to_string(button));
    std::this_thread::sleep_for(200ms);
}

void TProgramTest::Keys(const std::string& id, const std::string& keys) {
    Shell("xdotool windowfocus --sync " + id + " " + keys);
    std::this_thread::sleep_for(200ms);
}

}  // namespace tinctor::test
