// The real program on a real X server with "always on top" on: every box and dialog
// belongs to the visible main window (its transient-for window) and stays on top with
// it, so none can open behind the window whose clicks it refuses.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "ProgramDriver.h"
#include "util/stdFiles.h"

namespace tinctor::test {
namespace {

// The window a box or dialog says it belongs to (0 when it names none).
unsigned long TransientFor(const std::string& id) {
    const std::string out = Shell("xprop -id " + id + " WM_TRANSIENT_FOR");
    const std::size_t hash = out.find("# ");
    return hash == std::string::npos ? 0 : std::strtoul(out.c_str() + hash + 2, nullptr, 0);
}

bool StaysOnTop(const std::string& id) {
    return Shell("xprop -id " + id + " _NET_WM_STATE").find("_NET_WM_STATE_ABOVE") != std::string::npos;
}

// The centre of a window's client area on the screen: a box's is its owner's, give or
// take the half pixel of an odd size.
std::pair<int, int> Centre(const std::string& id) {
    const std::string info = Shell("xwininfo -id " + id);
    return {Field(info, "Absolute upper-left X:") + Field(info, "Width:") / 2,
            Field(info, "Absolute upper-left Y:") + Field(info, "Height:") / 2};
}

class DialogOwner : public TProgramTest {
protected:
    void ExpectCentredOnTheWindow(const std::string& box) const {
        const auto [x, y] = Centre(box);
        const auto [mainX, mainY] = Centre(window);
        EXPECT_NEAR(x, mainX, 1);
        EXPECT_NEAR(y, mainY, 1);
    }
};

TEST_F(DialogOwner, BoxesAndDialogsBelongToTheMainWindowThatStaysOnTop) {
    std::filesystem::create_directories(home + "/Colors");
    const std::string list = home + "/Colors/Web.clr";
    ASSERT_TRUE(SaveTextFile(list, "[COLORS]\r\nTotal=1\r\n0=#FF0000,red\r\n"));
    ASSERT_EQ(chmod(list.c_str(), 0444), 0);  // every save of the list is refused with a box
    ASSERT_NO_FATAL_FAILURE(Open("[Window]\r\nTopMost=1\r\n"));
    const unsigned long main = std::stoul(window);
    ASSERT_TRUE(StaysOnTop(window));
    ASSERT_NO_FATAL_FAILURE(Widen());

    // The code-entry dialog, then the box that refuses the save.
    ClickOn(TControl::AddColor);
    const std::string dialog = FindWindow("カラーコード入力");
    ASSERT_FALSE(dialog.empty()) << "no code-entry dialog";
    EXPECT_EQ(TransientFor(dialog), main);
    EXPECT_TRUE(StaysOnTop(dialog));
    Keys(dialog, "key Return");
    std::string box = FindWindow("Tinctor", window);
    ASSERT_FALSE(box.empty()) << "no error box";
    EXPECT_EQ(TransientFor(box), main);
    EXPECT_TRUE(StaysOnTop(box));
    ExpectCentredOnTheWindow(box);
    Keys(box, "key Return");
    ASSERT_TRUE(WaitFor([&] { return Shell("xwininfo -id " + box + " 2>&1").find("IsViewable") == std::string::npos; }));

    // The question before a delete, and the refusal after it.
    ClickOnEntry(0);
    Keys(window, "key Delete");
    box = FindWindow("Tinctor", window);
    ASSERT_FALSE(box.empty()) << "no question";
    EXPECT_EQ(TransientFor(box), main);
    EXPECT_TRUE(StaysOnTop(box));
    ExpectCentredOnTheWindow(box);
    Keys(box, "key Return");
    box = WaitFor([&] { return !FindWindow("Tinctor", window).empty(); }) ? FindWindow("Tinctor", window) : "";
    ASSERT_FALSE(box.empty()) << "no error box";
    EXPECT_EQ(TransientFor(box), main);
    ExpectCentredOnTheWindow(box);
}

}  // namespace
}  // namespace tinctor::test
