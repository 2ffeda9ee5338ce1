// A colour swatch of the top strip: a rounded rectangle in its own colour.
//
// It paints every pixel of itself, so the strip never has to erase the area beneath it
// and a dragged slider does not flicker. Its picture is drawn once; a new colour only
// refills the rows inside the outline.
#pragma once

#include <QImage>
#include <QWidget>

#include <vector>

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
    // The picture of the swatch at Ratio on Background, and the rows inside its outline.
    void MakePicture(qreal ratio, const QColor& background);

    struct TSpan {
        int First, Last;  // device columns
    };
    TColor color_ = 0;
    QImage picture_;
    QColor background_;
    std::vector<std::vector<TSpan>> inside_;  // by device row
    bool pressed_ = false;
};

// The Qt colour of a colour value; the top byte is ignored.
QColor ToQColor(TColor color);

// A swatch of Size in Colour: a rounded rectangle with a black outline on Background.
void PaintSwatch(QPainter& painter, QSize size, const QColor& background, const QColor& colour);

}  // namespace tinctor
