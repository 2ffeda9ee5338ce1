#include <gtest/gtest.h>

#include <QProcess>

#include "X11Helpers.h"
#include "desktop/ClipboardObserver.h"
#include "platform/Platform.h"

namespace tinctor {
namespace {

// Puts Text on the clipboard from another program, which serves it until killed.
class TXclip {
public:
    explicit TXclip(const QByteArray& text) {
        process_.start("xclip", {"-quiet", "-selection", "clipboard"});
        process_.waitForStarted();
        process_.write(text);
        process_.closeWriteChannel();
    }
    ~TXclip() {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

TEST(X11Clipboard, CopyingInAnotherProgramRaisesOnChange) {
    IClipboard& clipboard = Platform().Clipboard();
    TClipboardObserver observer(clipboard);
    EXPECT_EQ(observer.NextViewer(), 0u);
    std::vector<std::string> seen;
    observer.OnChange = [&](TClipboardObserver*) {
        if (clipboard.HasText()) seen.push_back(clipboard.Text());
    };
    {
        TXclip xclip("#FF0000");
        ASSERT_TRUE(test::WaitFor([&] { return !seen.empty(); }, 3000));
        EXPECT_EQ(seen.back(), "#FF0000");
    }

    // Silenced, the observer hears nothing more.
    observer.OnChange = nullptr;
    const std::size_t heard = seen.size();
    {
        TXclip xclip("#00FF00");
        test::Pump(500);
    }
    EXPECT_EQ(seen.size(), heard);
}

TEST(X11Clipboard, TextPutHereReachesOtherPrograms) {
    IClipboard& clipboard = Platform().Clipboard();
    clipboard.SetText("RGB(255,128,0);");
    EXPECT_TRUE(clipboard.HasText());
    EXPECT_EQ(clipboard.Text(), "RGB(255,128,0);");

    QProcess out;
    out.start("xclip", {"-o", "-selection", "clipboard"});
    // The answer comes from this process's event loop.
    ASSERT_TRUE(test::WaitFor([&] { return out.state() == QProcess::NotRunning; }, 3000));
    EXPECT_EQ(out.readAllStandardOutput(), QByteArray("RGB(255,128,0);"));
}

}  // namespace
}  // namespace tinctor
