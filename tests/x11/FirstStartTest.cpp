// The real program on a real X server: what a first start in an empty folder does.
#include <chrono>
#include <string>
#include <thread>

#include "ProgramDriver.h"
#include "util/stdFiles.h"

namespace tinctor::test {
namespace {

using namespace std::chrono_literals;

using FirstStart = TProgramTest;

TEST_F(FirstStart, OpensNarrowAndBlackAndSavesThePositionAtExit) {
    Start();
    const std::string window = FindWindow("Tinctor");
    ASSERT_FALSE(window.empty()) << "no window titled Tinctor";

    const std::string info = Shell("xwininfo -id " + window);
    EXPECT_EQ(Field(info, "Width:"), 273) << info;
    EXPECT_EQ(Field(info, "Height:"), 167) << info;
    Locate(window);

    // Once the window has painted (the root is black, the strip is not), the current
    // colour swatch and the complement are black and the swatch's rounded corner
    // shows the strip's background.
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(left, top) != "#000000"; }));
    EXPECT_EQ(ColourAt(TControl::Swatch), "#000000");
    EXPECT_EQ(ScreenPixel(left + 47, top + 12), "#000000");
    EXPECT_NE(ColourAt(TControl::Strip), "#000000");

    std::string ini;
    ASSERT_TRUE(LoadTextFile(home + "/Tinctor.ini", ini));
    EXPECT_EQ(ini, "[Path]\r\nColorDir=Colors\r\n\r\n");
    EXPECT_TRUE(DirectoryExists(home + "/Colors"));

    Shell("xdotool windowmove " + window + " 57 63");
    std::this_thread::sleep_for(500ms);
    SendDeleteWindow(std::stoul(window));
    EXPECT_EQ(WaitForExit(), 0);

    ASSERT_TRUE(LoadTextFile(home + "/Tinctor.ini", ini));
    EXPECT_EQ(ini, "[Path]\r\nColorDir=Colors\r\n\r\n[Window]\r\nX=57\r\nY=63\r\n\r\n");
}

}  // namespace
}  // namespace tinctor::test
