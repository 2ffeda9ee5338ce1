// Driving the real program on a real X server: starting it in a folder of its own,
// finding its windows, clicking and typing with xdotool, reading screen pixels.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <string>

namespace tinctor::test {

// The standard output of a shell command.
std::string Shell(const std::string& command);
// The number after Name in Text (as xwininfo prints it), -1 when Name is missing.
int Field(const std::string& text, const std::string& name);
// The colour of one screen pixel as "#RRGGBB".
std::string ScreenPixel(int x, int y);
// Polls until Done holds or about ten seconds have passed (a loaded machine is slow).
bool WaitFor(const std::function<bool()>& done);
// Asks a window to close the way a window manager's close button does.
void SendDeleteWindow(unsigned long window);

// A test that runs the program with an empty program folder of its own (Home).
class TProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Start();
    // The first visible window with the title, other than Except; "" when none came.
    std::string FindWindow(const std::string& title, const std::string& except = "");
    // How many of the program's windows are on the screen (pop-up menus among them).
    int VisibleWindows() const;
    // Reads the window's place on the screen into Left and Top.
    void Locate(const std::string& window);
    // Waits for the program to end; its exit status, or -1 when it did not end.
    int WaitForExit();
    // A click at a point of the window located last.
    void Click(int x, int y, int button = 1);
    // Keys typed into the window Id, which gets the input focus first.
    void Keys(const std::string& id, const std::string& keys);

    std::string home;
    pid_t pid = -1;
    int left = 0;
    int top = 0;
};

}  // namespace tinctor::test
