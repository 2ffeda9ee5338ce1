// The real program on a real X server: the sample scripts of a first start, run
// through the script menu, change the current colour.
#include <filesystem>
#include <string>

#include "ProgramDriver.h"
#include "util/stdFiles.h"

namespace tinctor::test {
namespace {

// The script button of the toolbar (its main part, not the arrow) and the current
// colour swatch, in the window's client area.
constexpr int ToolbarY = 155;
constexpr int ColorConfigX = 56;
constexpr int SwatchX = 20;
constexpr int SwatchY = 12;

class ScriptMenu : public TProgramTest {
protected:
    // The program folder does not exist yet: the program makes it, as on a first start.
    void SetUp() override {
        TProgramTest::SetUp();
        parent_ = home;
        home += "/program";
    }
    void TearDown() override {
        TProgramTest::TearDown();
        std::filesystem::remove_all(parent_);
    }

    // Opens the script menu and chooses an item by its access key.
    void Choose(const std::string& key) {
        Click(ColorConfigX, ToolbarY);
        Shell("xdotool key " + key);
    }
    std::string Swatch() const { return ScreenPixel(left + SwatchX, top + SwatchY); }

    std::string parent_;
};

TEST_F(ScriptMenu, SampleScriptsRunFromTheMenuOnTheCurrentColour) {
    Start();
    const std::string window = FindWindow("Tinctor");
    ASSERT_FALSE(window.empty()) << "no window titled Tinctor";
    Shell("xdotool windowmove --sync " + window + " 40 40");
    Locate(window);
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(left + 60, top + 20) != "#000000"; }));
    EXPECT_TRUE(FileExists(home + "/Scripts/invert.ksc"));
    EXPECT_TRUE(FileExists(home + "/Scripts/darken.ksc"));

    // Black inverted is white; one step darker keeps it grey.
    ASSERT_EQ(Swatch(), "#000000");
    Choose("i");
    EXPECT_TRUE(WaitFor([&] { return Swatch() == "#FFFFFF"; })) << Swatch();
    Choose("k");
    EXPECT_TRUE(WaitFor([&] { return Swatch() == "#E7E7E7"; })) << Swatch();
    Choose("i");
    EXPECT_TRUE(WaitFor([&] { return Swatch() == "#181818"; })) << Swatch();
}

}  // namespace
}  // namespace tinctor::test
