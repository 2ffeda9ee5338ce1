#include "platform/x11/X11DesktopWindows.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/x11/X11Platform.h"
#include "util/CodePage.h"

// Xlib's macros clash with Qt's names: X headers come last.
#include <X11/Xlib.h>
#include <poll.h>
#include <xcb/xcb.h>

namespace tinctor {

namespace {

struct TFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using TReply = std::unique_ptr<T, TFree>;

}  // namespace

TX11DesktopWindows::~TX11DesktopWindows() {
    if (c_) xcb_disconnect(c_);
}

bool TX11DesktopWindows::Connect() {
    if (c_) return true;
    if (failed_) return false;
    // The server Qt talks to; without Qt on X11, the one DISPLAY names.
    Display* qt = QtDisplay();
    c_ = xcb_connect(qt ? DisplayString(qt) : nullptr, nullptr);
    if (xcb_connection_has_error(c_)) {
        xcb_disconnect(c_);
        c_ = nullptr;
        failed_ = true;
        return false;
    }
    const xcb_setup_t* setup = xcb_get_setup(c_);
    root_ = xcb_setup_roots_iterator(setup).data->root;
    resourceMask_ = setup->resource_id_mask;
    requestor_ = xcb_generate_id(c_);
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, requestor_, root_, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    activeAtom_ = Atom("_NET_ACTIVE_WINDOW");
    classAtom_ = XCB_ATOM_WM_CLASS;
    primaryAtom_ = XCB_ATOM_PRIMARY;
    utf8Atom_ = Atom("UTF8_STRING");
    propertyAtom_ = Atom("TINCTOR_SELECTION");
    incrAtom_ = Atom("INCR");
    return true;
}

std::uint32_t TX11DesktopWindows::Atom(const char* name) {
    TReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : 0;
}

TWindowId TX11DesktopWindows::ActiveWindow() {
    if (!Connect()) return 0;
    TReply<xcb_get_property_reply_t> active(
        xcb_get_property_reply(c_, xcb_get_property(c_, 0, root_, activeAtom_, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (active && active->type == XCB_ATOM_WINDOW && xcb_get_property_value_length(active.get()) >= 4)
        return *static_cast<const std::uint32_t*>(xcb_get_property_value(active.get()));

    // No window manager: the top-level window that holds the focus.
    TReply<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus->focus == root_) return 0;
    std::uint32_t window = focus->focus;
    for (;;) {
        TReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c_, xcb_query_tree(c_, window), nullptr));
        if (!tree) return 0;
        if (tree->parent == root_ || tree->parent == XCB_NONE) return window;
        window = tree->parent;
    }
}

std::string TX11DesktopWindows::ClassName(TWindowId window) {
    if (!window || !Connect()) return {};
    TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c_, xcb_get_property(c_, 0, static_cast<std::uint32_t>(window), classAtom_, XCB_ATOM_STRING, 0, 256),
        nullptr));
    if (!reply) return {};
    // "instance\0class\0": the class is the second string.
    const char* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
    const std::string_view all(value, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    const std::size_t end = all.find('\0');
    if (end == std::string_view::npos) return {};
    std::string_view cls = all.substr(end + 1);
    if (const std::size_t z = cls.find('\0'); z != std::string_view::npos) cls = cls.substr(0, z);
    return std::string(cls);
}

std::optional<std::string> TX11DesktopWindows::SelectedText(TWindowId window) {
    if (!window || !Connect()) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + SelectionTimeout;
    TReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, primaryAtom_), nullptr));
    if (!owner || owner->owner == XCB_NONE) return std::nullopt;
    // The same client made both windows when their resource ids share the base.
    if ((owner->owner & ~resourceMask_) != (static_cast<std::uint32_t>(window) & ~resourceMask_))
        return std::nullopt;
    if (auto text = Convert(utf8Atom_, deadline)) return CodePage::Current().FromUtf8(*text);
    if (auto latin1 = Convert(XCB_ATOM_STRING, deadline)) {
        std::u16string u;  // Latin-1 is the first 256 code points
        for (unsigned char ch : *latin1) u.push_back(ch);
        return CodePage::Current().FromUtf16(u);
    }
    return std::nullopt;
}

std::optional<std::string> TX11DesktopWindows::Convert(std::uint32_t target,
                                                       std::chrono::steady_clock::time_point deadline) {
    // Answers that came too late for an earlier request are dropped first.
    while (xcb_generic_event_t* stale = xcb_poll_for_event(c_)) std::free(stale);
    xcb_convert_selection(c_, requestor_, primaryAtom_, target, propertyAtom_, XCB_CURRENT_TIME);
    xcb_flush(c_);

    for (;;) {
        TReply<xcb_generic_event_t> event(xcb_poll_for_event(c_));
        if (!event) {
            if (xcb_connection_has_error(c_)) return std::nullopt;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return std::nullopt;
            pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
            continue;
        }
        if ((event->response_type & 0x7F) != XCB_SELECTION_NOTIFY) continue;
        const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event.get());
        if (notify->requestor != requestor_ || notify->selection != primaryAtom_) continue;
        if (notify->property == XCB_NONE) return std::nullopt;

        TReply<xcb_get_property_reply_t> value(xcb_get_property_reply(
            c_, xcb_get_property(c_, 1, requestor_, propertyAtom_, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16),
            nullptr));
        // A selection too large for one property (INCR) is no colour code.
        if (!value || value->type == incrAtom_ || value->format != 8) return std::nullopt;
        return std::string(static_cast<const char*>(xcb_get_property_value(value.get())),
                           static_cast<std::size_t>(xcb_get_property_value_length(value.get())));
    }
}

}  // namespace tinctor
