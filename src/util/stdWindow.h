// Rectangles in screen or client coordinates, with the right and bottom edges outside.
#pragma once

namespace tinctor {

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    // Left and top edges are inside, right and bottom edges outside.
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    bool operator==(const TRect&) const = default;
};

// Widens R by Dx on the left and right and by Dy at the top and bottom.
constexpr TRect WidenRect(TRect r, int dx, int dy) {
    return TRect{r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}

}  // namespace tinctor
