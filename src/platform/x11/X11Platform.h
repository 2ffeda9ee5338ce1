// The real platform services: Qt 6 on X11.
#pragma once

#include "platform/Platform.h"

typedef struct _XDisplay Display;
struct xcb_connection_t;

namespace tinctor {

// The services of this process, made on first use (after the application object).
IPlatform& RealPlatform();

// Qt's own X connection; null when the program does not run on X11 (offscreen).
Display* QtDisplay();
xcb_connection_t* QtConnection();

}  // namespace tinctor
