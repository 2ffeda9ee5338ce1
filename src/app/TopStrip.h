// The strip across the top of the main window (MainPanel).
//
// It paints its own background only to the right of the swatches: they paint every
// pixel of themselves, so the area under them is never erased and never flickers.
#pragma once

#include <QWidget>

namespace tinctor {

class TTopStrip : public QWidget {
    Q_OBJECT
public:
    explicit TTopStrip(QWidget* parent);

    // The widget whose right edge is where the background starts (the complement swatch).
    void SetBackgroundStart(const QWidget* leftmostUnpainted) { swatchEnd_ = leftmostUnpainted; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QWidget* swatchEnd_ = nullptr;
};

}  // namespace tinctor
