// The loupe of screen picking: a small window beside the pointer that shows the
// 15 × 15 screen pixels around it eight times enlarged, the centre pixel (the one
// picked) framed, and that pixel's code beneath.
//
// It never covers the pixels it shows: it sits diagonally off the pointer, on the side
// where it fits on the screen. It never takes the focus nor the mouse. Pixels it may
// still have covered a moment ago (a fast move towards it) are left out and read again
// shortly after, once the windows beneath have repainted.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "colour/stdColors.h"

namespace tinctor {

class IScreen;

class TMagnifier : public QWidget {
    Q_OBJECT
public:
    static constexpr int Radius = 7;  // 15 × 15 pixels
    static constexpr int Side = 2 * Radius + 1;
    static constexpr int Zoom = 8;
    // From the pointer to the loupe's near corner, on both axes: clear of the pixels
    // shown and of the eyedropper cursor's lower edge.
    static constexpr int Gap = 16;
    static constexpr int Border = 1;
    static constexpr int CodeHeight = 16;
    static constexpr QSize Size{2 * Border + Side * Zoom, 2 * Border + Side * Zoom + CodeHeight};
    // How long the windows beneath get to repaint before covered pixels are read again.
    static constexpr int ReadAgainDelay = 60;  // ms

    // The code of a colour in the window's current notation.
    using TCodeOf = std::function<QString(TColor colour)>;

    // Owner is the main window (the loupe goes with it); it reads pixels from Screen.
    TMagnifier(QWidget* owner, IScreen& screen, TCodeOf codeOf);

    // The loupe's top-left corner for the pointer at Pointer on a screen of Bounds:
    // below and right of the pointer, flipped to the other side where it would leave
    // the screen.
    static QPoint PlaceFor(QPoint pointer, QSize size, const QRect& bounds);

    // Moves beside the pointer at Pointer, shows itself and shows the pixels around it.
    void Follow(QPoint pointer) { Follow(pointer, std::nullopt); }
    // The same with the device pixel under the pointer: the square read is then the
    // device pixels around it, so that under a scale factor the centre is the very
    // pixel the eyedropper picks.
    void Follow(QPoint pointer, std::optional<QPoint> devicePointer);
    // Reads the pixels around the last pointer again (what the delay after a covering
    // move runs).
    void ReadAgain();

    // The pixels shown, row by row (none: outside every screen, or covered by the loupe).
    const std::vector<std::optional<TColor>>& Pixels() const { return pixels_; }
    // The centre pixel as last read (none: covered by the loupe, or off every screen).
    std::optional<TColor> Centre() const;
    // The centre pixel when it had been covered and has now been read: the pick takes it.
    std::function<void(TColor colour)> OnLateCentre;

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Reads the square around Pointer, leaving out the pixels under Covered.
    void Sample(QPoint pointer, std::optional<QPoint> devicePointer, const QRect& covered);

    IScreen& screen_;
    TCodeOf codeOf_;
    QPoint pointer_;
    std::optional<QPoint> devicePointer_;
    std::vector<std::optional<TColor>> pixels_;
    QString code_;
    QImage enlarged_;  // the pixels as painted last, its memory kept for the next
    bool centreCovered_ = false;
    QTimer readAgain_;
};

}  // namespace tinctor
