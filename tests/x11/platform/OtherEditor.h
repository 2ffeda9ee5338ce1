// An editor of another program on the X server: a focused top-level window with a
// WM_CLASS that owns the PRIMARY selection and answers requests for it from a thread
// of its own (the way a real editor's event loop would).
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace tinctor::test {

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

    Display* display_ = nullptr;
    Window window_ = 0;
    std::string selection_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace tinctor::test
