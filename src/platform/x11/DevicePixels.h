// Qt's global coordinates and the X server's own (device) pixels under a scale factor.
// A screen keeps its top-left corner in both; in device pixels it is its global size
// times its device pixel ratio.
#pragma once

#include <QPoint>
#include <QRect>

class QScreen;

namespace tinctor {

// The device pixel that the global point Pos of Screen stands for.
QPoint DevicePixel(const QScreen& screen, QPoint pos);
// The global point that stands for the device pixel Pixel of Screen.
QPoint GlobalPoint(const QScreen& screen, QPoint pixel);
// The screen that shows the device pixel, null where none does.
QScreen* ScreenAtDevicePixel(QPoint pixel);

}  // namespace tinctor
