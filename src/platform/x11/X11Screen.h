// Screen pixels read with Qt's screen grab.
#pragma once

#include "platform/Screen.h"

namespace tinctor {

class TX11Screen final : public IScreen {
public:
    std::optional<TColor> PixelAt(QPoint pos) override;
};

}  // namespace tinctor
