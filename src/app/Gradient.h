// The four-corner gradient of the colour table, computed pixel by pixel in extended
// arithmetic. No Qt here: whatever takes the pixels (a bitmap, a test) is a canvas.
#pragma once

#include <cstdint>

#include "colour/stdColors.h"
#include "util/stdWindow.h"

namespace tinctor {

// A surface that takes pixels one at a time.
class TPixelCanvas {
public:
    virtual ~TPixelCanvas() = default;
    virtual void SetPixel(int x, int y, TColor c) = 0;
};

// Fills a Rect's width and height of Canvas with the gradient running from C1 at the
// top left, C4 at the top right, C3 at the bottom left towards C2 at the bottom right
// (which it never quite reaches). Pixels are addressed from the canvas origin, not
// from Rect's left and top. Returns the milliseconds it took.
std::int64_t DrawGradient(const TRect& rect, TPixelCanvas& canvas, TColor c1, TColor c2, TColor c3, TColor c4);

}  // namespace tinctor
