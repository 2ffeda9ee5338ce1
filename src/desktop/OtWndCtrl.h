// Reading the edit control of another program. Every read waits at most the
// platform's short time-out; a control that does not answer reads as empty.
#pragma once

#include <string>

#include "platform/DesktopWindows.h"

namespace tinctor {

// Holds the handle of a window that may belong to another program.
class TWinControlOther {
public:
    // With MustExist, a null handle abandons the construction silently (EAbort).
    TWinControlOther(IDesktopWindows& windows, TWindowId handle, bool mustExist);
    virtual ~TWinControlOther() = default;

    TWindowId Handle = 0;
    IDesktopWindows& Windows() const { return windows_; }

private:
    IDesktopWindows& windows_;
};

class TEditOther : public TWinControlOther {
public:
    using TWinControlOther::TWinControlOther;

    int GetTextLength();
    std::string GetText();
    void GetSel(int& start, int& end);
    int SelLength();
    // The selected characters of the text read; a selection reaching past that text
    // (the control changed between the reads, or answered nonsense) is cut to it.
    std::string SelText();
};

}  // namespace tinctor
