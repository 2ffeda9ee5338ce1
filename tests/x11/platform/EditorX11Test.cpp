#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <atomic>
#include <thread>

#include "X11Helpers.h"
#include "desktop/EditorColor.h"
#include "platform/Platform.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tinctor {
namespace {

// An editor of another program: a focused top-level window with a WM_CLASS that owns
// the PRIMARY selection and answers requests for it from a thread of its own.
class TOtherEditor {
public:
    TOtherEditor(const char* instance, const char* className, std::string selection)
        : display_(XOpenDisplay(nullptr)), selection_(std::move(selection)) {
        const Window root = DefaultRootWindow(display_);
        window_ = XCreateSimpleWindow(display_, root, 700, 600, 200, 100, 0, 0, 0xFFFFFF);
        XClassHint hint{const_cast<char*>(instance), const_cast<char*>(className)};
        XSetClassHint(display_, window_, &hint);
        XSelectInput(display_, window_, StructureNotifyMask);
        XMapWindow(display_, window_);
        for (XEvent e;;) {
            XNextEvent(display_, &e);
            if (e.type == MapNotify) break;
        }
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSetSelectionOwner(display_, XA_PRIMARY, window_, CurrentTime);
        XSync(display_, False);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TOtherEditor() {
        stop_ = true;
        thread_.join();
        XCloseDisplay(display_);
    }

    std::atomic<bool> Answers{true};

private:
    void Serve() {
        const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        while (!stop_) {
            if (!XPending(display_)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            XEvent e;
            XNextEvent(display_, &e);
            if (e.type != SelectionRequest || !Answers) continue;
            const XSelectionRequestEvent& r = e.xselectionrequest;
            XSelectionEvent reply{};
            reply.type = SelectionNotify;
            reply.requestor = r.requestor;
            reply.selection = r.selection;
            reply.target = r.target;
            reply.time = r.time;
            reply.property = None;
            if (r.target == utf8 || r.target == XA_STRING) {
                XChangeProperty(display_, r.requestor, r.property, r.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(selection_.data()),
                                static_cast<int>(selection_.size()));
                reply.property = r.property;
            }
            XSendEvent(display_, r.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
            XFlush(display_);
        }
    }

    Display* display_;
    Window window_ = 0;
    std::string selection_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

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
    TOtherEditor gedit("gedit", "Gedit", "#FF8000");
    EXPECT_EQ(Platform().Windows().ClassName(Platform().Windows().ActiveWindow()), "Gedit");
    qint64 ms = 0;
    EXPECT_EQ(Extract(ms), "#FF8000");
    EXPECT_LT(ms, 200);
}

TEST_F(X11Editor, OtherProgramsGiveNothing) {
    TOtherEditor terminal("xterm", "XTerm", "#FF8000");
    qint64 ms = 0;
    EXPECT_EQ(Extract(ms), std::nullopt);
}

TEST_F(X11Editor, AnOwnerThatDoesNotAnswerGivesNothingWithoutWaiting) {
    TOtherEditor mousepad("mousepad", "Mousepad", "#FF8000");
    mousepad.Answers = false;
    qint64 ms = 0;
    EXPECT_EQ(Extract(ms), std::nullopt);
    EXPECT_LT(ms, 150);
    mousepad.Answers = true;
    EXPECT_EQ(Extract(ms), "#FF8000");  // stale answers of the last tick do not confuse the next
}

TEST_F(X11Editor, ASelectionOwnedByAnotherProgramDoesNotCount) {
    TOtherEditor geany("geany", "Geany", "#FF8000");
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
