#include "platform/Platform.h"

#include "platform/x11/X11Platform.h"

namespace tinctor {

namespace {

IPlatform* installed = nullptr;

}  // namespace

IPlatform& Platform() { return installed ? *installed : RealPlatform(); }

void SetPlatform(IPlatform* platform) { installed = platform; }

}  // namespace tinctor
