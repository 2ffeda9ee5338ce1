#include "desktop/OtWndCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ErrorGuard.h"
#include "util/CodePage.h"
#include "util/stdInt.h"

namespace tinctor {

TWinControlOther::TWinControlOther(IDesktopWindows& windows, TWindowId handle, bool mustExist)
    : Handle(handle), windows_(windows) {
    if (mustExist && !handle) throw EAbort();
}

int TEditOther::GetTextLength() { return std::max(0, Windows().TextLength(Handle).value_or(0)); }

std::string TEditOther::GetText() {
    const int length = GetTextLength();
    if (length == 0) return {};
    return Windows().Text(Handle, length).value_or(std::string());
}

void TEditOther::GetSel(int& start, int& end) {
    const TTextSelection sel = Windows().Selection(Handle).value_or(TTextSelection{});
    start = sel.Start;
    end = sel.End;
}

int TEditOther::SelLength() {
    int start = 0, end = 0;
    GetSel(start, end);
    return std::abs(end - start);
}

std::string TEditOther::SelText() {
    int start = 0, end = 0;
    GetSel(start, end);
    const std::string text = GetText();
    const CodePage& cp = CodePage::Current();
    const int count = static_cast<int>(cp.CharCount(text));
    const int first = Clamp(std::min(start, end), 0, count);
    const int last = Clamp(std::max(start, end), 0, count);
    const std::size_t from = cp.ByteOffset(text, static_cast<std::size_t>(first));
    const std::size_t to = cp.ByteOffset(text, static_cast<std::size_t>(last));
    return text.substr(from, to - from);
}

}  // namespace tinctor
