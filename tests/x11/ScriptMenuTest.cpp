// The real program on a real X server: the sample scripts of a first start, run
// through the script menu, change the current colour.
#include <filesystem>
#include <string>

#include "ProgramDriver.h"
#include "util/stdFiles.h"

namespace tinctor::test {
namespace {

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
        ClickOn(TControl::ColorConfig);
        Shell("xdotool key " + key);
    }
    std::string Swatch() const { return ColourAt(TControl::Swatch); }

    std::string parent_;
};

TEST_F(ScriptMenu, SampleScriptsRunFromTheMenuOnTheCurrentColour) {
    ASSERT_NO_FATAL_FAILURE(Open());
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
