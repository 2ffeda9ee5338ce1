// Screen pixels read with Qt's screen grab.
#pragma once

#include "platform/Screen.h"

namespace tinctor::platform::x11 {

class TX11Screen final : public IScreen {
public:
    std::optional<std::uint32_t> PixelAt(QPoint pos) override;
};

}  // namespace tinctor::platform::x11
