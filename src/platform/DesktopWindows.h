// Windows of other programs, as far as editor colour extraction reads them.
//
// Every read answers within a short time-out: a program that does not answer gives
// nothing, and the caller never waits longer than that.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tinctor {

using TWindowId = std::uintptr_t;  // 0: no window

struct TTextSelection {
    int Start = 0, End = 0;  // character positions from 0
};

class IDesktopWindows {
public:
    virtual ~IDesktopWindows() = default;

    // The active top-level window (0 when there is none).
    virtual TWindowId ActiveWindow() = 0;
    // The whole class name of Window ("" when unknown).
    virtual std::string ClassName(TWindowId window) = 0;
    // The first child window of Parent with the class name Class (0 when none).
    virtual TWindowId FindChild(TWindowId parent, std::string_view className) = 0;

    // The edit-control reads of Window: text length, text (at most MaxChars
    // characters) and selection; nothing when the window does not answer.
    virtual std::optional<int> TextLength(TWindowId window) = 0;
    virtual std::optional<std::string> Text(TWindowId window, int maxChars) = 0;
    virtual std::optional<TTextSelection> Selection(TWindowId window) = 0;

    // The text the user has selected in Window's program (the PRIMARY selection on
    // X11), in the code page of this process; nothing when the selection belongs to
    // another program, there is none, or its owner does not answer in time.
    virtual std::optional<std::string> SelectedText(TWindowId window) = 0;
};

}  // namespace tinctor
