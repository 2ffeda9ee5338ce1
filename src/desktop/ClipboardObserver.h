// Raises OnChange whenever the clipboard content changes. The component joins the
// clipboard viewer chain for its whole life and keeps the chain's rules: it passes
// every notice on to its next viewer (unless CallNext is off) and takes over the
// next viewer's successor when that one leaves. On X11 there is no chain and the
// next viewer stays empty.
#pragma once

#include <functional>

#include "platform/Clipboard.h"

namespace tinctor {

class TClipboardObserver : private IClipboardViewer {
public:
    using TNotifyEvent = std::function<void(TClipboardObserver* sender)>;

    explicit TClipboardObserver(IClipboard& clipboard);
    ~TClipboardObserver() override;
    TClipboardObserver(const TClipboardObserver&) = delete;
    TClipboardObserver& operator=(const TClipboardObserver&) = delete;

    bool CallNext = true;     // pass notices on to the next viewer
    bool CallAtFirst = true;  // raise OnChange once when loaded
    TNotifyEvent OnChange;    // may be set and cleared at any time

    // The owner has set the properties up: with CallAtFirst, a next viewer and a
    // handler, OnChange is raised once.
    void Loaded();
    TViewerId NextViewer() const { return nextViewer_; }
    // Leaves the chain early (the hidden window is going away); later notices are not heard.
    void LeaveChain();

private:
    std::intptr_t DrawClipboard() override;
    std::intptr_t ChangeCbChain(TViewerId leaving, TViewerId next) override;

    IClipboard& clipboard_;
    TViewerId nextViewer_ = 0;
    bool joined_ = false;
};

}  // namespace tinctor
