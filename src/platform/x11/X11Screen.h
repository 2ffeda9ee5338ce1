// Screen pixels read straight from the X server: one 1×1 GetImage of the root window
// per sample (one round trip), in the root visual's own pixel layout. Without Qt on
// X11 (another platform plugin) Qt's screen grab stands in.
#pragma once

#include <cstdint>

#include "platform/Screen.h"

namespace tinctor {

class TX11Screen final : public IScreen {
public:
    std::optional<TColor> PixelAt(QPoint pos) override;

private:
    // Where each channel sits in a pixel of the root visual (found on first use).
    struct TLayout {
        bool Known = false;
        bool Usable = false;
        std::uint32_t Root = 0;
        int BytesPerPixel = 0;
        bool LittleEndian = true;
        std::uint32_t Masks[3] = {};  // red, green, blue
    };
    bool Prepare();
    std::optional<TColor> GrabbedPixelAt(QPoint pos) const;

    TLayout layout_;
};

}  // namespace tinctor
