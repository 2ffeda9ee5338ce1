// Keyboard, Mouse and Clipboard of kestrel scripts against the X server, driven with
// xdotool and xclip.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "ext/KestrelProcess.h"
#include "scripthost/TempFolder.h"

namespace tinctor::testing {
namespace {

// The output of a shell command (xclip, which stays to serve the clipboard, is
// given other output, or reading would wait for it).
std::string Shell(const std::string& command) {
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char block[256];
        std::size_t n;
        while ((n = fread(block, 1, sizeof block, pipe)) > 0) out.append(block, n);
        pclose(pipe);
    }
    return out;
}

class DesktopObjectsTest : public ::testing::Test {
protected:
    // The server resets its keys, pointer and selections when its last client leaves:
    // this connection stays for the test's whole length.
    void SetUp() override { ASSERT_NE(keeper_.get(), nullptr); }

    // Puts something on the clipboard with xclip and returns once the server knows the
    // new owner: xclip forks and its parent exits before the child has sent the server
    // anything, so a reader started right after it may find no owner yet.
    void Offer(const std::string& command) {
        Display* d = keeper_.get();
        const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
        const Window before = XGetSelectionOwner(d, clipboard);
        Shell(command);
        bool owned = false;
        for (int i = 0; i < kOwnerPolls && !owned; ++i) {
            const Window now = XGetSelectionOwner(d, clipboard);
            owned = now != None && now != before;
            if (!owned) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(owned) << command;
    }

    std::string Run(const std::string& text) {
        temp.Write("t.js", text);
        TKestrelProcess run(temp.Path() + "t.js", {{"LC_ALL", "C.UTF-8"}});
        return run.Finish().first;
    }

    TTempFolder temp;

private:
    static constexpr int kOwnerPolls = 1000;  // ten seconds: a loaded machine is slow
    std::unique_ptr<Display, int (*)(Display*)> keeper_{XOpenDisplay(nullptr), &XCloseDisplay};
};

TEST_F(DesktopObjectsTest, KeyboardReadsHeldKeysByVirtualKeyCode) {
    const std::string probe = R"(print(Keyboard.isDown("A"), Keyboard.isDown("a"), Keyboard.shift, Keyboard.ctrl);)";
    EXPECT_EQ(Run(probe), "falsefalsefalsefalse");
    Shell("xdotool keydown a");
    // "a" is 0x61, the numeric-pad 1 key, not the A key.
    EXPECT_EQ(Run(probe), "truefalsefalsefalse");
    Shell("xdotool keydown Shift_R keydown KP_1 keydown Control_L");
    EXPECT_EQ(Run(probe), "truetruetruetrue");
    Shell("xdotool keyup Control_L keyup KP_1 keyup Shift_R keyup a");
    EXPECT_EQ(Run(probe), "falsefalsefalsefalse");
    EXPECT_EQ(Run(R"(print(Keyboard.isDown(), "|", Keyboard.isDown(""));)"), "undefined|undefined");
}

TEST_F(DesktopObjectsTest, MouseReadsPositionAndButtons) {
    Shell("xdotool mousemove 123 456 mousedown 3");
    EXPECT_EQ(Run("print(Mouse.x, \",\", Mouse.y, Mouse.lbutton, Mouse.mbutton, Mouse.rbutton);"),
              "123,456falsefalsetrue");
    Shell("xdotool mouseup 3");
}

TEST_F(DesktopObjectsTest, ClipboardTextGoesBothWays) {
    const std::string probe = R"(print(Clipboard.hasText(), "[", Clipboard.asText, "][", Clipboard, "]");)";
    ASSERT_NO_FATAL_FAILURE(Offer("printf 'h\\303\\251llo' | xclip -selection clipboard >/dev/null 2>&1"));
    EXPECT_EQ(Run(probe), "true[h\xC3\xA9llo][h\xC3\xA9llo]");
    ASSERT_NO_FATAL_FAILURE(Offer("printf '\\211PNG' | xclip -selection clipboard -t image/png >/dev/null 2>&1"));
    EXPECT_EQ(Run(probe), "false[][]");

    temp.Write("set.js", "Clipboard.asText = \"from \xE6\x97\xA5 script\"; println(Clipboard.asText); readln();");
    TKestrelProcess holder(temp.Path() + "set.js", {{"LC_ALL", "C.UTF-8"}});
    EXPECT_EQ(holder.ReadLine(), "from \xE6\x97\xA5 script\r");
    EXPECT_EQ(Shell("xclip -o -selection clipboard"), "from \xE6\x97\xA5 script");
}

}  // namespace
}  // namespace tinctor::testing
