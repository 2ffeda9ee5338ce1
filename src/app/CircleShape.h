// A circle filled with one colour and outlined in black: the history circles.
#pragma once

#include <QWidget>

#include "colour/stdColors.h"

namespace tinctor {

class TCircleShape : public QWidget {
    Q_OBJECT
public:
    TCircleShape(TColor color, QWidget* parent);

    TColor Color() const { return color_; }
    void SetColor(TColor color);

signals:
    // A mouse button released over the circle.
    void mouseUp(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TColor color_;
};

}  // namespace tinctor
