// The eyedropper ("SPOIT"): a 32 x 32 picture of a dropper lying diagonally, its tip
// at the hot spot (7, 24) in the lower left, and the cursor made from it. Under a
// scale factor the picture is drawn at the screen's own pixels, not stretched, with
// the tip on the device pixel that the hot spot stands for.
#pragma once

#include <QCursor>
#include <QPixmap>
#include <QPoint>

namespace tinctor {

inline constexpr int SpoitSide = 32;
inline constexpr QPoint SpoitHotSpot{7, 24};

// The picture (transparent around the dropper) with Ratio device pixels per point.
// Needs the application object.
QPixmap SpoitPicture(qreal ratio = 1);
// The device pixel of the picture that the hot spot stands for.
QPoint SpoitHotPixel(qreal ratio);
// The cursor, drawn for the finest screen of the application.
QCursor SpoitCursor();

}  // namespace tinctor
