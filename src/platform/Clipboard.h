// The clipboard: plain text and the viewer chain that tells of every change.
//
// Viewers form a chain: a viewer that joins becomes the head and learns the viewer
// that was the head before it (its next viewer). A change notice reaches the head,
// and each viewer passes it on to its next one. When a viewer leaves, the platform
// tells the chain, so that the viewer before it can take over its next viewer.
// Where the system keeps no chain (X11), joining gives no next viewer and every
// joined viewer hears each change itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tinctor {

using TViewerId = std::uintptr_t;  // 0: no viewer

class IClipboardViewer {
public:
    virtual ~IClipboardViewer() = default;
    // The clipboard content changed; returns the notice's result.
    virtual std::intptr_t DrawClipboard() = 0;
    // Leaving leaves the chain; Next is the viewer that followed it.
    virtual std::intptr_t ChangeCbChain(TViewerId leaving, TViewerId next) = 0;
};

class IClipboard {
public:
    virtual ~IClipboard() = default;

    virtual bool HasText() = 0;
    // The text in the code page of this process ("" when there is none).
    virtual std::string Text() = 0;
    // Replaces the contents with Text (code page bytes) as plain text.
    virtual void SetText(std::string_view text) = 0;

    // Joins Viewer to the chain and returns its next viewer.
    virtual TViewerId Join(IClipboardViewer& viewer) = 0;
    // Takes Viewer out of the chain; Next is its next viewer.
    virtual void Leave(IClipboardViewer& viewer, TViewerId next) = 0;
    // Passes the notices on to another viewer of the chain and returns its result.
    virtual std::intptr_t SendDrawClipboard(TViewerId to) = 0;
    virtual std::intptr_t SendChangeCbChain(TViewerId to, TViewerId leaving, TViewerId next) = 0;
};

}  // namespace tinctor
