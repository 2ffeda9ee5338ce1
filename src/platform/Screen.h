// Pixels of the screen.
#pragma once

#include <cstdint>
#include <optional>

#include <QPoint>

#include "colour/stdColors.h"

namespace tinctor {

class IScreen {
public:
    virtual ~IScreen() = default;
    // The colour of the screen pixel at Pos (global coordinates) as 0x00BBGGRR;
    // nothing where no screen shows a pixel.
    virtual std::optional<TColor> PixelAt(QPoint pos) = 0;
};

// Qt's 0xAARRGGBB as 0x00BBGGRR (alpha dropped).
constexpr TColor ArgbToColor(std::uint32_t argb) {
    return ((argb & 0xFFu) << 16) | (argb & 0xFF00u) | ((argb >> 16) & 0xFFu);
}

}  // namespace tinctor
