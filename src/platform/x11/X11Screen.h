// Screen pixels read straight from the X server: one 1×1 GetImage of the root window
// per sample (one round trip), in the root visual's own pixel layout. Without Qt on
// X11 (another platform plugin) Qt's screen grab stands in.
#pragma once

#include <cstdint>

#include "platform/Screen.h"

class QScreen;

namespace tinctor {

class TX11Screen final : public IScreen {
public:
    std::optional<TColor> PixelAt(QPoint pos) override;
    // The whole square in one GetImage (one round trip).
    void PixelsAround(QPoint pos, int radius, std::vector<std::optional<TColor>>& pixels) override;

private:
    // Where each channel sits in a pixel of the root visual (found on first use).
    struct TLayout {
        bool Known = false;
        bool Usable = false;
        std::uint32_t Root = 0;
        int RootWidth = 0, RootHeight = 0;
        int BytesPerPixel = 0;
        bool LittleEndian = true;
        std::uint32_t Masks[3] = {};  // red, green, blue
    };
    bool Prepare();
    // The server's pixel of the root window under Pos on Screen.
    static QPoint ServerPixel(const QScreen& screen, QPoint pos);
    // The colour of one pixel of a Z-pixmap image in the root visual's layout.
    TColor Decode(const std::uint8_t* data) const;
    std::optional<TColor> GrabbedPixelAt(QPoint pos) const;

    TLayout layout_;
};

}  // namespace tinctor
