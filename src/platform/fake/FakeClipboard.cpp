#include "platform/fake/FakeClipboard.h"

namespace tinctor {

void TFakeClipboard::Change(std::optional<std::string> text) {
    text_ = std::move(text);
    if (head_) SendDrawClipboard(head_);
}

TViewerId TFakeClipboard::IdOf(const IClipboardViewer& viewer) const {
    for (const auto& [id, v] : viewers_)
        if (v == &viewer) return id;
    return 0;
}

TViewerId TFakeClipboard::Join(IClipboardViewer& viewer) {
    const TViewerId id = nextId_++;
    viewers_[id] = &viewer;
    const TViewerId next = head_;
    head_ = id;
    return next;
}

void TFakeClipboard::Leave(IClipboardViewer& viewer, TViewerId next) {
    const TViewerId id = IdOf(viewer);
    if (!id) return;
    // The head simply hands over; otherwise the chain is told from its head down.
    if (head_ == id)
        head_ = next;
    else if (head_)
        SendChangeCbChain(head_, id, next);
    viewers_.erase(id);
}

std::intptr_t TFakeClipboard::SendDrawClipboard(TViewerId to) {
    auto it = viewers_.find(to);
    return it == viewers_.end() ? 0 : it->second->DrawClipboard();
}

std::intptr_t TFakeClipboard::SendChangeCbChain(TViewerId to, TViewerId leaving, TViewerId next) {
    auto it = viewers_.find(to);
    return it == viewers_.end() ? 0 : it->second->ChangeCbChain(leaving, next);
}

}  // namespace tinctor
