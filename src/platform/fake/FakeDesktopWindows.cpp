#include "platform/fake/FakeDesktopWindows.h"

#include "util/CodePage.h"

namespace tinctor {

TWindowId TFakeDesktopWindows::Add(std::string className, TWindowId parent) {
    const TWindowId id = nextId_++;
    windows_[id].ClassName = std::move(className);
    windows_[id].Parent = parent;
    if (parent) windows_.at(parent).Children.push_back(id);
    return id;
}

void TFakeDesktopWindows::SetEdit(TWindowId id, std::string text, int selStart, int selEnd) {
    TWindow& w = windows_.at(id);
    w.Text = std::move(text);
    w.Sel = {selStart, selEnd};
}

std::string TFakeDesktopWindows::ClassName(TWindowId window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? std::string() : it->second.ClassName;
}

TWindowId TFakeDesktopWindows::FindChild(TWindowId parent, std::string_view className) {
    auto it = windows_.find(parent);
    if (it == windows_.end()) return 0;
    for (TWindowId child : it->second.Children)
        if (windows_.at(child).ClassName == className) return child;
    return 0;
}

const TFakeDesktopWindows::TWindow* TFakeDesktopWindows::Answering(TWindowId window) {
    auto it = windows_.find(window);
    if (it == windows_.end() || it->second.Hung) return nullptr;
    ++Reads;
    return &it->second;
}

std::optional<int> TFakeDesktopWindows::TextLength(TWindowId window) {
    const TWindow* w = Answering(window);
    if (!w) return std::nullopt;
    return static_cast<int>(CodePage::Current().CharCount(w->Text));
}

std::optional<std::string> TFakeDesktopWindows::Text(TWindowId window, int maxChars) {
    const TWindow* w = Answering(window);
    if (!w) return std::nullopt;
    const std::size_t n = maxChars < 0 ? 0 : static_cast<std::size_t>(maxChars);
    return w->Text.substr(0, CodePage::Current().ByteOffset(w->Text, n));
}

std::optional<TTextSelection> TFakeDesktopWindows::Selection(TWindowId window) {
    const TWindow* w = Answering(window);
    if (!w) return std::nullopt;
    return w->Sel;
}

std::optional<std::string> TFakeDesktopWindows::SelectedText(TWindowId window) {
    const TWindow* w = Answering(window);
    if (!w) return std::nullopt;
    return w->Selected;
}

}  // namespace tinctor
