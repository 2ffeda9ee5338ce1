// Documents opened through QDesktopServices, which runs xdg-open on X11.
#pragma once

#include "platform/Shell.h"

namespace tinctor {

class TQtShell final : public IShell {
public:
    bool OpenDocument(const std::string& path) override;
};

}  // namespace tinctor
