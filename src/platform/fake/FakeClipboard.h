// A clipboard with a viewer chain that behaves like the Windows one: tests join
// viewers of other programs, change the text and watch the notices travel.
#pragma once

#include <map>
#include <optional>

#include "platform/Clipboard.h"

namespace tinctor {

class TFakeClipboard final : public IClipboard {
public:
    // What another program does: put Text on the clipboard (or clear it, with
    // nothing) and tell the head of the chain.
    void Change(std::optional<std::string> text);

    // The id the chain knows Viewer by (0 when it has not joined).
    TViewerId IdOf(const IClipboardViewer& viewer) const;
    TViewerId Head() const { return head_; }

    bool HasText() override { return text_.has_value(); }
    std::string Text() override { return text_.value_or(std::string()); }
    void SetText(std::string_view text) override { Change(std::string(text)); }

    TViewerId Join(IClipboardViewer& viewer) override;
    void Leave(IClipboardViewer& viewer, TViewerId next) override;
    std::intptr_t SendDrawClipboard(TViewerId to) override;
    std::intptr_t SendChangeCbChain(TViewerId to, TViewerId leaving, TViewerId next) override;

private:
    std::optional<std::string> text_;
    std::map<TViewerId, IClipboardViewer*> viewers_;
    TViewerId head_ = 0, nextId_ = 0x100;
};

}  // namespace tinctor
