#include "desktop/ClipboardObserver.h"

namespace tinctor {

TClipboardObserver::TClipboardObserver(IClipboard& clipboard) : clipboard_(clipboard) {
    nextViewer_ = clipboard_.Join(*this);
    joined_ = true;
}

TClipboardObserver::~TClipboardObserver() {
    try {
        LeaveChain();
    } catch (...) {
    }
}

void TClipboardObserver::Loaded() {
    if (CallAtFirst && nextViewer_ && OnChange) OnChange(this);
}

void TClipboardObserver::LeaveChain() {
    if (!joined_) return;
    clipboard_.Leave(*this, nextViewer_);
    nextViewer_ = 0;
    joined_ = false;
}

std::intptr_t TClipboardObserver::DrawClipboard() {
    std::intptr_t result = 0;
    if (CallNext && nextViewer_) result = clipboard_.SendDrawClipboard(nextViewer_);
    if (OnChange) OnChange(this);
    return result;
}

std::intptr_t TClipboardObserver::ChangeCbChain(TViewerId leaving, TViewerId next) {
    if (leaving == nextViewer_) {
        nextViewer_ = next;
        return 0;
    }
    if (CallNext && nextViewer_) return clipboard_.SendChangeCbChain(nextViewer_, leaving, next);
    return 0;
}

}  // namespace tinctor
