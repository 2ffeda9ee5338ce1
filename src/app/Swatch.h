// A colour swatch of the top strip: a rounded rectangle in its own colour.
//
// It paints every pixel of itself (through an off-screen pixmap), so the strip never
// has to erase the area beneath it and a dragged slider does not flicker.
#pragma once

#include <QWidget>

#include "colour/stdColors.h"

namespace tinctor {

class TSwatch : public QWidget {
    Q_OBJECT
public:
    explicit TSwatch(QWidget* parent);

    TColor Color() const { return color_; }
    // Stores the colour and repaints.
    void SetColor(TColor color);

signals:
    // A left click released over the swatch.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TColor color_ = 0;
    bool pressed_ = false;
};

// The Qt colour of a colour value; the top byte is ignored.
QColor ToQColor(TColor color);

}  // namespace tinctor
