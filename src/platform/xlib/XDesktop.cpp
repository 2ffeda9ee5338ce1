// TXDesktop: key and pointer queries, the clipboard reader (with the INCR transfer of
// large texts) and the clipboard owner's thread.
#include "platform/xlib/XDesktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/xlib/VirtualKeys.h"

namespace tinctor {

namespace {

constexpr unsigned kVkLeftButton = 0x01, kVkRightButton = 0x02, kVkMiddleButton = 0x04;
constexpr unsigned kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;
// How long another program may take to hand over the clipboard's text.
constexpr auto kTransferTimeout = std::chrono::milliseconds(1000);
constexpr long kPropertyChunkWords = 1 << 20;

struct TAtoms {
    Atom Clipboard, Utf8, Targets, Text, Incr, Property;
    explicit TAtoms(Display* d)
        : Clipboard(XInternAtom(d, "CLIPBOARD", False)), Utf8(XInternAtom(d, "UTF8_STRING", False)),
          Targets(XInternAtom(d, "TARGETS", False)), Text(XInternAtom(d, "TEXT", False)),
          Incr(XInternAtom(d, "INCR", False)), Property(XInternAtom(d, "TINCTOR_CLIPBOARD", False)) {}
};

Window MakeWindow(Display* d) {
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    return XCreateWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                         CWEventMask, &attributes);
}

// Waits for an event of Type on Window of the connection D until Deadline.
bool WaitEvent(Display* d, Window window, int type, XEvent& event,
               std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (XCheckTypedWindowEvent(d, window, type, &event)) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, static_cast<int>(left.count()));
        XPending(d);  // reads what arrived into the queue
    }
}

// The whole value of Property on Window (deleted afterwards) and its type.
bool TakeProperty(Display* d, Window window, Atom property, std::string& value, Atom& type) {
    value.clear();
    long offset = 0;
    for (;;) {
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, window, property, offset, kPropertyChunkWords, False, AnyPropertyType, &type,
                               &format, &count, &after, &data) != Success)
            return false;
        if (data) {
            value.append(reinterpret_cast<const char*>(data), count * (format / 8));
            XFree(data);
        }
        if (after == 0) break;
        offset += static_cast<long>(count * (format / 8) / 4);
    }
    XDeleteProperty(d, window, property);
    return true;
}

}  // namespace

// The clipboard owner: a connection and window of its own, served by its thread.
class TClipboardOwner {
public:
    explicit TClipboardOwner(Display* display) : display_(display), atoms_(display), window_(MakeWindow(display)) {
        if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
        thread_ = std::thread([this] { Serve(); });
    }
    ~TClipboardOwner() {
        {
            const std::lock_guard guard(mutex_);
            stop_ = true;
        }
        Wake();
        thread_.join();
        XCloseDisplay(display_);
        close(wake_[0]);
        close(wake_[1]);
    }

    // Takes the clipboard with Text; returns once the server knows the new owner.
    void Take(std::string_view text) {
        std::unique_lock lock(mutex_);
        text_.assign(text);
        const unsigned wanted = ++requested_;
        lock.unlock();
        Wake();
        lock.lock();
        done_.wait_for(lock, kTransferTimeout, [&] { return taken_ >= wanted; });
    }

private:
    void Wake() {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = write(wake_[1], &byte, 1);
    }

    void Serve() {
        for (;;) {
            pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
            poll(fds, 2, -1);
            char drain[64];
            while (read(wake_[0], drain, sizeof drain) > 0) {
            }
            {
                std::unique_lock lock(mutex_);
                if (stop_) return;
                if (taken_ != requested_) {
                    const unsigned request = requested_;
                    lock.unlock();
                    XSetSelectionOwner(display_, atoms_.Clipboard, window_, CurrentTime);
                    XSync(display_, False);
                    lock.lock();
                    taken_ = request;
                    done_.notify_all();
                }
            }
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == SelectionRequest) Answer(event.xselectionrequest);
                if (event.type == SelectionClear) {
                    const std::lock_guard guard(mutex_);
                    text_.clear();
                }
            }
        }
    }

    void Answer(const XSelectionRequestEvent& request) {
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        // Clients of the old protocol name no property: the target is the property.
        const Atom property = request.property != None ? request.property : request.target;
        const std::size_t maxBytes = static_cast<std::size_t>(XMaxRequestSize(display_)) * 4 - 64;
        if (request.target == atoms_.Targets) {
            const Atom targets[] = {atoms_.Targets, atoms_.Utf8, atoms_.Text};
            XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), std::size(targets));
            reply.property = property;
        } else if (request.target == atoms_.Utf8 || request.target == atoms_.Text) {
            const std::lock_guard guard(mutex_);
            // Texts beyond one request would need the INCR transfer: refused instead.
            if (text_.size() <= maxBytes) {
                XChangeProperty(display_, request.requestor, property, atoms_.Utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text_.data()), static_cast<int>(text_.size()));
                reply.property = property;
            }
        }
        XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
        XFlush(display_);
    }

    Display* display_;
    TAtoms atoms_;
    Window window_;
    int wake_[2] = {-1, -1};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable done_;
    std::string text_;
    unsigned requested_ = 0, taken_ = 0;
    bool stop_ = false;
};

struct TXDesktop::TImpl {
    explicit TImpl(Display* d) : Display_(d), Atoms(d), Window_(MakeWindow(d)) {}
    ~TImpl() {
        Owner.reset();
        XCloseDisplay(Display_);
    }
    Display* Display_;
    TAtoms Atoms;
    Window Window_;
    std::unique_ptr<TClipboardOwner> Owner;
};

std::unique_ptr<TXDesktop> TXDesktop::Open() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    return std::unique_ptr<TXDesktop>(new TXDesktop(std::make_unique<TImpl>(display)));
}

TXDesktop::TXDesktop(std::unique_ptr<TImpl> impl) : impl_(std::move(impl)) {}
TXDesktop::~TXDesktop() = default;

TXPointer TXDesktop::Pointer() {
    Window root, child;
    int rootX = 0, rootY = 0, x, y;
    unsigned mask = 0;
    TXPointer pointer;
    if (!XQueryPointer(impl_->Display_, DefaultRootWindow(impl_->Display_), &root, &child, &rootX, &rootY, &x, &y,
                       &mask))
        return pointer;
    return {rootX, rootY, (mask & Button1Mask) != 0, (mask & Button2Mask) != 0, (mask & Button3Mask) != 0};
}

bool TXDesktop::IsKeyDown(unsigned vk) {
    if (vk == kVkLeftButton) return Pointer().Left;
    if (vk == kVkRightButton) return Pointer().Right;
    if (vk == kVkMiddleButton) return Pointer().Middle;
    char keys[32];
    XQueryKeymap(impl_->Display_, keys);
    auto held = [&](KeySym keysym) {
        const KeyCode code = keysym ? XKeysymToKeycode(impl_->Display_, keysym) : 0;
        return code != 0 && (keys[code / 8] & (1 << (code % 8))) != 0;
    };
    // The generic modifier codes stand for either key.
    if (vk == kVkShift) return held(XK_Shift_L) || held(XK_Shift_R);
    if (vk == kVkControl) return held(XK_Control_L) || held(XK_Control_R);
    if (vk == kVkMenu) return held(XK_Alt_L) || held(XK_Alt_R);
    return held(VirtualKeyToKeysym(vk));
}

bool TXDesktop::ClipboardText(std::string& utf8) {
    Display* d = impl_->Display_;
    const TAtoms& atoms = impl_->Atoms;
    utf8.clear();
    XEvent event;
    while (XCheckTypedWindowEvent(d, impl_->Window_, PropertyNotify, &event)) {
    }  // the deletions of earlier transfers
    if (XGetSelectionOwner(d, atoms.Clipboard) == None) return false;
    XConvertSelection(d, atoms.Clipboard, atoms.Utf8, atoms.Property, impl_->Window_, CurrentTime);
    XFlush(d);
    auto deadline = std::chrono::steady_clock::now() + kTransferTimeout;
    if (!WaitEvent(d, impl_->Window_, SelectionNotify, event, deadline) || event.xselection.property == None)
        return false;
    Atom type = None;
    if (!TakeProperty(d, impl_->Window_, atoms.Property, utf8, type)) return false;
    if (type != atoms.Incr) return type == atoms.Utf8 || type == XA_STRING || type == atoms.Text;
    // A large text comes in pieces, each announced by a new value of the property.
    utf8.clear();
    for (;;) {
        deadline = std::chrono::steady_clock::now() + kTransferTimeout;
        do {
            if (!WaitEvent(d, impl_->Window_, PropertyNotify, event, deadline)) return false;
        } while (event.xproperty.atom != atoms.Property || event.xproperty.state != PropertyNewValue);
        std::string piece;
        if (!TakeProperty(d, impl_->Window_, atoms.Property, piece, type)) return false;
        if (piece.empty()) return true;
        utf8 += piece;
    }
}

void TXDesktop::SetClipboardText(std::string_view utf8) {
    if (!impl_->Owner) {
        Display* own = XOpenDisplay(DisplayString(impl_->Display_));
        if (!own) return;
        impl_->Owner = std::make_unique<TClipboardOwner>(own);
    }
    impl_->Owner->Take(utf8);
}

}  // namespace tinctor
