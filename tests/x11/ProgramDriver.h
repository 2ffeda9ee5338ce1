// Driving the real program on a real X server: starting it in a folder of its own,
// finding its windows, clicking and typing with xdotool, reading screen pixels.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tinctor::test {

// The standard output of a shell command.
std::string Shell(const std::string& command);
// The number after Name in Text (as xwininfo prints it), -1 when Name is missing.
int Field(const std::string& text, const std::string& name);
// The colour of one screen pixel as "#RRGGBB", and of a rectangle's row by row.
std::string ScreenPixel(int x, int y);
std::vector<std::string> ScreenPixels(int x, int y, int width, int height);
// Polls until Done holds or Limit has passed (a loaded machine is slow).
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));
// Asks a window to close the way a window manager's close button does.
void SendDeleteWindow(unsigned long window);

// Controls of the main window that the tests point at.
enum class TControl {
    Swatch,        // the current colour
    Strip,         // the top strip beside the swatches, never black once painted
    ShowTinctors,  // the toolbar's buttons
    ColorConfig,   // the script button (its main part, not the arrow)
    Spoit,         // the eyedropper's holder
    AddColor,
    MoveDown,
};

// A test that runs the program with an empty program folder of its own (Home).
class TProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Start();
    // Ends the program, if it runs.
    void Stop();
    // Starts the program with Ini as its settings file (none when empty), waits for its
    // window, moves it to a place of its own unless told to stay (a window manager
    // places it) and waits until it has painted.
    void Open(const std::string& ini = "", bool place = true);
    // The screen point of a control as xdotool takes it ("X Y"), and of a list entry.
    std::string At(TControl control) const;
    std::string AtEntry(int row) const;
    // The colour of the screen pixel at a control.
    std::string ColourAt(TControl control) const;
    void ClickOn(TControl control, int button = 1);
    void ClickOnEntry(int row, int button = 1);
    // Shows the colour list with its toolbar button and waits for the wide window.
    void Widen();
    // The first visible window with the title, other than Except; "" when none came.
    std::string FindWindow(const std::string& title, const std::string& except = "");
    // How many of the program's windows are on the screen (pop-up menus among them).
    int VisibleWindows() const;
    // Reads the window's place and size on the screen into Left, Top, Width and Height.
    void Locate(const std::string& id);
    // Waits for the program to end; its exit status, or -1 when it did not end.
    int WaitForExit();
    // Keys typed into the window Id, which gets the input focus first.
    void Keys(const std::string& id, const std::string& keys);

    std::string home;
    // Variables set for the program only; Ratio is the device pixels per global point
    // that they make it use.
    std::vector<std::pair<std::string, std::string>> environment;
    double ratio = 1;
    std::string window;  // the main window's id, once Open has found it
    pid_t pid = -1;
    int left = 0, top = 0, width = 0, height = 0;
};

}  // namespace tinctor::test
