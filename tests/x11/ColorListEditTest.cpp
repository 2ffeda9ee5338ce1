// The real program on a real X server: a colour list edited with the mouse and the
// keyboard, and the list file on disk after every step.
#include <filesystem>
#include <string>

#include "ProgramDriver.h"
#include "util/stdFiles.h"

namespace tinctor::test {
namespace {

class ColorListEdit : public TProgramTest {
protected:
    void SetUp() override {
        TProgramTest::SetUp();
        std::filesystem::create_directories(home + "/Colors");
    }
    std::string List() const {
        std::string text;
        LoadTextFile(home + "/Colors/Web.clr", text);
        return text;
    }
    bool ListBecomes(const std::string& text) {
        return WaitFor([&] { return List() == text; });
    }
};

TEST_F(ColorListEdit, TakesMovesDeletesAndAddsThroughTheWindowAndWritesEachStep) {
    ASSERT_TRUE(SaveTextFile(home + "/Colors/Web.clr",
                                      "[COLORS]\r\nTotal=3\r\n0=#FF0000,red\r\n1=#00FF00,green\r\n2=#0000FF,blue\r\n"));
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(Widen());

    // Clicking the red entry makes red the current colour.
    ClickOnEntry(0);
    EXPECT_TRUE(WaitFor([&] { return ColourAt(TControl::Swatch) == "#FF0000"; })) << ColourAt(TControl::Swatch);

    // A right click elsewhere leaves the selection where it is: moving down moves red.
    // Escape closes the pop-up menu once it is up (a loaded machine is slow to show it).
    const int windows = VisibleWindows();
    ClickOnEntry(2, 3);
    ASSERT_TRUE(WaitFor([&] { return VisibleWindows() > windows; })) << "no pop-up menu";
    Shell("xdotool key Escape");
    ASSERT_TRUE(WaitFor([&] { return VisibleWindows() == windows; })) << "the pop-up menu stays";
    ClickOn(TControl::MoveDown);
    EXPECT_TRUE(ListBecomes("[COLORS]\r\nTotal=3\r\n0=#00FF00,green\r\n1=#FF0000,red\r\n2=#0000FF,blue\r\n\r\n"))
        << List();

    // The Delete key asks first; Return answers with the default, Yes.
    Keys(window, "key Delete");
    const std::string question = FindWindow("Tinctor", window);
    ASSERT_FALSE(question.empty()) << "no confirmation box";
    Keys(question, "key Return");
    EXPECT_TRUE(ListBecomes("[COLORS]\r\nTotal=2\r\n0=#00FF00,green\r\n1=#0000FF,blue\r\n2=#0000FF,blue\r\n\r\n"))
        << List();

    // Adding the current colour: the dialog offers its code and typing goes to the comment.
    ClickOn(TControl::AddColor);
    const std::string dialog = FindWindow("カラーコード入力");
    ASSERT_FALSE(dialog.empty()) << "no code-entry dialog";
    Keys(dialog, "type 'for headings, bold'");
    Keys(dialog, "key Return");
    EXPECT_TRUE(ListBecomes("[COLORS]\r\nTotal=3\r\n0=#00FF00,green\r\n1=#0000FF,blue\r\n2=#FF0000,for headings, bold\r\n"
                            "\r\n"))
        << List();
}

}  // namespace
}  // namespace tinctor::test
