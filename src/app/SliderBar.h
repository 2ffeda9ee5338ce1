// A slider of the slider pages: a horizontal scroll bar that paints itself from two
// pictures the style drew once, the bar without its handle and the handle, so that a
// move repaints with two copies instead of the style's gradients and arrows. It looks,
// steps and answers the mouse and keys exactly as the plain scroll bar does.
//
// The pictures are drawn again whenever what the style draws may change (size, device
// pixel ratio, palette, enabled, hover or pressed parts); in any state where the bar
// beneath the handle is not the same along its length (a pressed page, a style of
// another kind) the style paints as usual.
#pragma once

#include <QImage>
#include <QScrollBar>

#include <map>

namespace tinctor {

class TSliderBar : public QScrollBar {
    Q_OBJECT
public:
    explicit TSliderBar(QWidget* parent);

    // Whether the last paint came from the pictures (false: the style's own path).
    bool PaintedFromPictures() const { return fromPictures_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The key of what the style draws, apart from where the handle is.
    struct TLook {
        QSize Size;
        qreal Ratio = 0;
        qint64 Palette = 0;
        int State = 0;
        int Active = 0;
        int HandleLength = 0;
        bool operator==(const TLook&) const = default;
    };
    // Draws the two pictures for Look; false when this look cannot be painted from them.
    bool DrawPictures(const TLook& look, const QStyleOptionSlider& option);

    TLook look_;
    bool usable_ = false;
    QImage bare_;    // the bar without its handle, at the device pixel ratio
    QImage handle_;  // the handle's columns, with the bar beneath them
    int handleLeft_ = 0;  // device columns from the handle's place to the picture's left
    // The device columns of the groove that look as its middle does.
    int uniformLow_ = 0;
    int uniformHigh_ = -1;
    std::map<int, QImage> ends_;  // whole pictures by the handle's device column, near the ends
    bool opaque_ = false;
    bool fromPictures_ = false;
    bool pressed_ = false;  // a button held on the bar (its parts show pressed)
};

}  // namespace tinctor
