// Compact mode: the main window folds while the pointer is away from it and unfolds
// when the pointer comes back. The window's 100 ms timer runs the check.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

#include "platform/Pointer.h"
#include "util/stdWindow.h"

class QWidget;

namespace tinctor {

class TWinShader;

// How far around the window the pointer still counts as near.
inline constexpr int CompactMarginX = 10;
inline constexpr int CompactMarginY = 20;

// The window's outer rectangle on the screen, frame included.
TRect WindowBounds(const QWidget& form);
// Its centre: left + width div 2, top + height div 2.
QPoint WindowCentre(const QWidget& form);
// The frame the window manager draws around the form (zero without one).
QMargins FrameMarginsOf(const QWidget& form);
// The centre of the outer rectangle of a window whose client area is Client, in a
// frame of Margins.
QPoint FrameCentre(const QRect& client, const QMargins& margins);

// Pos lies within the bounds widened by the margins; (-1, -1) is never near.
bool IsPointerNear(const TRect& bounds, QPoint pos);

// One tick, when the Compact setting is on: unless one of the program's other
// windows is active, the form folds when the pointer is not near and unfolds when it is.
void CompactModeCheck(TWinShader& shader, const QWidget& form, const IPointer& pointer);

}  // namespace tinctor
