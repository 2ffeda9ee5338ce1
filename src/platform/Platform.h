// The desktop services of this process: the real Qt/X11 ones, or the fakes a test
// has put in their place.
#pragma once

#include <memory>

#include "platform/Clipboard.h"
#include "platform/DesktopWindows.h"
#include "platform/GlobalKeys.h"
#include "platform/Pointer.h"
#include "platform/Screen.h"

namespace tinctor {

class IPlatform {
public:
    virtual ~IPlatform() = default;
    virtual IScreen& Screen() = 0;
    virtual IPointer& Pointer() = 0;
    virtual IClipboard& Clipboard() = 0;
    virtual IDesktopWindows& Windows() = 0;
    // A new owner of global key grabs (each hot key component has its own).
    virtual std::unique_ptr<IGlobalKeys> NewGlobalKeys() = 0;
};

// The services in use: those installed by SetPlatform, else the real ones.
IPlatform& Platform();
// Installs Platform (not owned) until the next call; null restores the real ones.
void SetPlatform(IPlatform* platform);

}  // namespace tinctor
