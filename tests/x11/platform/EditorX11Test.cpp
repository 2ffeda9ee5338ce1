#include <gtest/gtest.h>

#include <QElapsedTimer>
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

    std::optional<std::string> Extract(qint64& ms) {
        QElapsedTimer timer;
        timer.start();
        auto text = ExtractEditorSelection(editor);
        ms = timer.elapsed();
        return text;
    }
};

TEST_F(X11Editor, TheSelectionOfAListedEditorIsReadQuickly) {
    test::TOtherEditor gedit("gedit", "Gedit", "#FF8000");
    EXPECT_EQ(Platform().Windows().ClassName(Platform().Windows().ActiveWindow()), "Gedit");
    qint64 ms = 0;
    EXPECT_EQ(Extract(ms), "#FF8000");
    EXPECT_LT(ms, 200);
}

TEST_F(X11Editor, OtherProgramsGiveNothing) {
    test::TOtherEditor terminal("xterm", "XTerm", "#FF8000");
    qint64 ms = 0;
    EXPECT_EQ(Extract(ms), std::nullopt);
}

TEST_F(X11Editor, AnOwnerThatDoesNotAnswerGivesNothingWithoutWaiting) {
    test::TOtherEditor mousepad("mousepad", "Mousepad", "#FF8000");
    mousepad.Answers = false;
    qint64 ms = 0;
    EXPECT_EQ(Extract(ms), std::nullopt);
    EXPECT_LT(ms, 150);
    mousepad.Answers = true;
    EXPECT_EQ(Extract(ms), "#FF8000");  // stale answers of the last tick do not confuse the next
}

TEST_F(X11Editor, ASelectionOwnedByAnotherProgramDoesNotCount) {
    test::TOtherEditor geany("geany", "Geany", "#FF8000");
    QProcess xclip;
    xclip.start("xclip", {"-quiet", "-selection", "primary"});
    xclip.waitForStarted();
    xclip.write("#0000FF");
    xclip.closeWriteChannel();
    qint64 ms = 0;
    EXPECT_TRUE(test::WaitFor([&] { return !Extract(ms).has_value(); }, 2000));
    xclip.kill();
    xclip.waitForFinished();
}

}  // namespace
}  // namespace tinctor
