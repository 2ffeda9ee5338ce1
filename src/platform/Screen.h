// Pixels of the screen.
#pragma once

#include <cstdint>
#include <optional>

#include <QPoint>

namespace tinctor::platform {

class IScreen {
public:
    virtual ~IScreen() = default;
    // The colour of the screen pixel at Pos (global coordinates) as 0x00BBGGRR;
    // nothing where no screen shows a pixel.
    virtual std::optional<std::uint32_t> PixelAt(QPoint pos) = 0;
};

// Qt's 0xAARRGGBB as 0x00BBGGRR (alpha dropped).
constexpr std::uint32_t ArgbToColor(std::uint32_t argb) {
    return ((argb & 0xFFu) << 16) | (argb & 0xFF00u) | ((argb >> 16) & 0xFFu);
}

}  // namespace tinctor::platform
