// The clipboard through QClipboard. X11 keeps no viewer chain: every joined viewer
// hears each change of the clipboard itself and has no next viewer.
#pragma once

#include <vector>

#include <QObject>

#include "platform/Clipboard.h"

namespace tinctor {

class TX11Clipboard final : public IClipboard {
public:
    bool HasText() override;
    std::string Text() override;
    void SetText(std::string_view text) override;

    TViewerId Join(IClipboardViewer& viewer) override;
    void Leave(IClipboardViewer& viewer, TViewerId next) override;
    std::intptr_t SendDrawClipboard(TViewerId) override { return 0; }
    std::intptr_t SendChangeCbChain(TViewerId, TViewerId, TViewerId) override { return 0; }

private:
    void Changed();

    std::vector<IClipboardViewer*> viewers_;
    QObject connection_;  // the context of the change signal's connection
    bool connected_ = false;
};

}  // namespace tinctor
