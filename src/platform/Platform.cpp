#include "platform/Platform.h"

#include "platform/x11/X11Platform.h"

namespace tinctor::platform {

namespace {

IPlatform*& Installed() {
    static IPlatform* installed = nullptr;
    return installed;
}

}  // namespace

IPlatform& Current() {
    if (IPlatform* p = Installed()) return *p;
    return x11::RealPlatform();
}

TScopedPlatform::TScopedPlatform(IPlatform& platform) : previous_(Installed()) { Installed() = &platform; }

TScopedPlatform::~TScopedPlatform() { Installed() = previous_; }

}  // namespace tinctor::platform
