#include <gtest/gtest.h>

#include <QProcess>

#include "X11Helpers.h"
#include "desktop/EditorColor.h"
#include "platform/Platform.h"

#include "OtherEditor.h"  // Xlib's macros clash with Qt's names: last

namespace tinctor {
namespace {

class X11Editor : public testing::Test {
protected:
    TEditOther editor{Platform().Windows(), 0, false};

    // How long a read or a give-up takes is measured by the desktop benchmark.
    std::optional<std::string> Extract() { return ExtractEditorSelection(editor); }
};

TEST_F(X11Editor, TheSelectionOfAListedEditorIsRead) {
    test::TOtherEditor gedit("gedit", "Gedit", "#FF8000");
    EXPECT_EQ(Platform().Windows().ClassName(Platform().Windows().ActiveWindow()), "Gedit");
    EXPECT_EQ(Extract(), "#FF8000");
}

TEST_F(X11Editor, OtherProgramsGiveNothing) {
    test::TOtherEditor terminal("xterm", "XTerm", "#FF8000");
    EXPECT_EQ(Extract(), std::nullopt);
}

TEST_F(X11Editor, AnOwnerThatDoesNotAnswerGivesNothing) {
    test::TOtherEditor mousepad("mousepad", "Mousepad", "#FF8000");
    mousepad.Answers = false;
    EXPECT_EQ(Extract(), std::nullopt);
    mousepad.Answers = true;
    EXPECT_EQ(Extract(), "#FF8000");  // stale answers of the last tick do not confuse the next
}

TEST_F(X11Editor, ASelectionOwnedByAnotherProgramDoesNotCount) {
    test::TOtherEditor geany("geany", "Geany", "#FF8000");
    QProcess xclip;
    xclip.start("xclip", {"-quiet", "-selection", "primary"});
    xclip.waitForStarted();
    xclip.write("#0000FF");
    xclip.closeWriteChannel();
    EXPECT_TRUE(test::WaitFor([&] { return !Extract().has_value(); }, 2000));
    xclip.kill();
    xclip.waitForFinished();
}

}  // namespace
}  // namespace tinctor
