// A screen made of one background colour and single pixels that tests set.
#pragma once

#include <map>
#include <utility>

#include <QRect>

#include "platform/Screen.h"

namespace tinctor {

class TFakeScreen final : public IScreen {
public:
    // Outside Bounds there is no pixel.
    QRect Bounds{0, 0, 1280, 1024};
    TColor Background = 0xFFFFFF;
    int Reads = 0;

    void SetPixel(QPoint pos, TColor color) { pixels_[{pos.x(), pos.y()}] = color; }
    // Paints Rect with Color.
    void Fill(const QRect& rect, TColor color) {
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x) SetPixel({x, y}, color);
    }

    std::optional<TColor> PixelAt(QPoint pos) override {
        ++Reads;
        if (!Bounds.contains(pos)) return std::nullopt;
        auto it = pixels_.find({pos.x(), pos.y()});
        return it == pixels_.end() ? Background : it->second;
    }

private:
    std::map<std::pair<int, int>, TColor> pixels_;
};

}  // namespace tinctor
