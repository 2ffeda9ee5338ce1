// Windows of imaginary programs: a tree of windows with class names, edit-control
// text and selections, and a selected text per program.
#pragma once

#include <map>
#include <vector>

#include "platform/DesktopWindows.h"

namespace tinctor {

class TFakeDesktopWindows final : public IDesktopWindows {
public:
    struct TWindow {
        std::string ClassName;
        TWindowId Parent = 0;
        std::vector<TWindowId> Children;
        std::string Text;  // code page bytes
        TTextSelection Sel;
        std::optional<std::string> Selected;  // the program's selected text
        bool Hung = false;                    // answers nothing
    };

    // Adds a window (a top-level one without a parent) and returns its id.
    TWindowId Add(std::string className, TWindowId parent = 0);
    TWindow& Window(TWindowId id) { return windows_.at(id); }
    // An edit control's text and selection.
    void SetEdit(TWindowId id, std::string text, int selStart, int selEnd);

    TWindowId Active = 0;
    int Reads = 0;  // edit-control and selection reads that reached a window

    TWindowId ActiveWindow() override { return Active; }
    std::string ClassName(TWindowId window) override;
    TWindowId FindChild(TWindowId parent, std::string_view className) override;
    std::optional<int> TextLength(TWindowId window) override;
    std::optional<std::string> Text(TWindowId window, int maxChars) override;
    std::optional<TTextSelection> Selection(TWindowId window) override;
    std::optional<std::string> SelectedText(TWindowId window) override;

private:
    const TWindow* Answering(TWindowId window);

    std::map<TWindowId, TWindow> windows_;
    TWindowId nextId_ = 0x1000;
};

}  // namespace tinctor
