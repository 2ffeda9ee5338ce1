// The history: seven circles below the slider pages (History1 newest .. History7
// oldest). A pushed colour goes into the newest circle and the oldest falls off; a
// left click on a circle gives its colour back.
//
// The circles are the window's own controls at the design's places; this object
// makes them and keeps their order.
#pragma once

#include <QObject>

#include <array>

#include "colour/stdColors.h"

class QWidget;

namespace tinctor {

class TCircleShape;

class THistoryCircles : public QObject {
    Q_OBJECT
public:
    static constexpr int Count = 7;

    // Makes the circles on Window, every one white.
    explicit THistoryCircles(QWidget* window);

    void Push(TColor c);
    // The colour of circle N (1 newest .. 7 oldest); NoColor for another N.
    TColor Color(int n) const;

signals:
    // A left click on a circle: its colour.
    void ColorChosen(TColor colour);

private:
    std::array<TCircleShape*, Count> circles_{};
};

}  // namespace tinctor
