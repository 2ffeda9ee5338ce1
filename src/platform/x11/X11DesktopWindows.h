// Other programs' windows on X11, read over a connection of our own, so that waiting
// for another program's answer never touches Qt's event queue.
//
// The active window is the one named by _NET_ACTIVE_WINDOW, or, without a window
// manager, the top-level window that holds the input focus; its class is the class
// part of WM_CLASS. Edit controls cannot be read on X11; the selected text is the
// PRIMARY selection, and counts only while it belongs to the client of the window.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/DesktopWindows.h"

struct xcb_connection_t;

namespace tinctor {

class TX11DesktopWindows final : public IDesktopWindows {
public:
    // How long a selection owner may take to answer.
    static constexpr std::chrono::milliseconds SelectionTimeout{50};

    TX11DesktopWindows() = default;
    ~TX11DesktopWindows() override;
    TX11DesktopWindows(const TX11DesktopWindows&) = delete;
    TX11DesktopWindows& operator=(const TX11DesktopWindows&) = delete;

    TWindowId ActiveWindow() override;
    std::string ClassName(TWindowId window) override;
    TWindowId FindChild(TWindowId, std::string_view) override { return 0; }
    std::optional<int> TextLength(TWindowId) override { return std::nullopt; }
    std::optional<std::string> Text(TWindowId, int) override { return std::nullopt; }
    std::optional<TTextSelection> Selection(TWindowId) override { return std::nullopt; }
    std::optional<std::string> SelectedText(TWindowId window) override;

private:
    bool Connect();
    std::uint32_t Atom(const char* name);
    std::optional<std::string> Convert(std::uint32_t target, std::chrono::steady_clock::time_point deadline);

    xcb_connection_t* c_ = nullptr;
    bool failed_ = false;
    std::uint32_t root_ = 0, requestor_ = 0, resourceMask_ = 0;
    std::uint32_t activeAtom_ = 0, classAtom_ = 0, primaryAtom_ = 0, utf8Atom_ = 0, propertyAtom_ = 0,
                  incrAtom_ = 0;
};

}  // namespace tinctor
