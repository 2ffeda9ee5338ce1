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
    // The whole square in one GetImage (one round trip).
    void PixelsAround(QPoint pos, int radius, std::vector<std::optional<TColor>>& pixels) override;
    // The root window's coordinates are the server's (device) pixels.
    std::optional<TColor> DevicePixelAt(QPoint pos) override;
    void DevicePixelsAround(QPoint pos, int radius, std::vector<std::optional<TColor>>& pixels) override;

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
    // One pixel and a square of pixels of the root window, each in one GetImage.
    std::optional<TColor> ReadPixel(QPoint pixel) const;
    void ReadSquare(QPoint centre, int radius, std::vector<std::optional<TColor>>& pixels) const;
    // The colour of one pixel of a Z-pixmap image in the root visual's layout.
    TColor Decode(const std::uint8_t* data) const;
    std::optional<TColor> GrabbedPixelAt(QPoint pos) const;

    TLayout layout_;
};

}  // namespace tinctor
