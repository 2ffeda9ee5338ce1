// The eyedropper ("SPOIT"): a 32 x 32 picture of a dropper lying diagonally, its tip
// at the hot spot (7, 24) in the lower left, and the cursor made from it.
#pragma once

#include <QCursor>
#include <QPixmap>
#include <QPoint>

namespace tinctor {

inline constexpr QPoint SpoitHotSpot{7, 24};

// The picture (transparent around the dropper). Needs the application object.
QPixmap SpoitPicture();
QCursor SpoitCursor();

}  // namespace tinctor
