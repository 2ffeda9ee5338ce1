// Pixels of the screen.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QPoint>

#include "colour/stdColors.h"

namespace tinctor {

class IScreen {
public:
    virtual ~IScreen() = default;
    // The colour of the screen pixel at Pos (global coordinates) as 0x00BBGGRR;
    // nothing where no screen shows a pixel.
    virtual std::optional<TColor> PixelAt(QPoint pos) = 0;
    // The square of (2 × Radius + 1)² screen pixels centred on the pixel at Pos, row by
    // row into Pixels; nothing where no screen shows a pixel. One pixel at a time unless
    // the screen can read the square at once.
    virtual void PixelsAround(QPoint pos, int radius, std::vector<std::optional<TColor>>& pixels) {
        pixels.clear();
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) pixels.push_back(PixelAt(pos + QPoint(dx, dy)));
    }
    // The same at Pos in device pixels, as the pointer's DevicePos gives it. Under a
    // scale factor of 2 one global point stands for four device pixels and only device
    // coordinates name each of them. A screen without a scale factor has one kind of
    // coordinates.
    virtual std::optional<TColor> DevicePixelAt(QPoint pos) { return PixelAt(pos); }
    virtual void DevicePixelsAround(QPoint pos, int radius, std::vector<std::optional<TColor>>& pixels) {
        PixelsAround(pos, radius, pixels);
    }
};

// Qt's 0xAARRGGBB as 0x00BBGGRR (alpha dropped).
constexpr TColor ArgbToColor(std::uint32_t argb) {
    return ((argb & 0xFFu) << 16) | (argb & 0xFF00u) | ((argb >> 16) & 0xFFu);
}

}  // namespace tinctor
