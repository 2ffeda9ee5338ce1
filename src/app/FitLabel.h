// A one-line label that always shows its whole text: when the text is wider than
// the label, the font shrinks (down to a legible floor) instead of the text being
// clipped. The label keeps its place and size.
#pragma once

#include <QLabel>

namespace tinctor {

class TFitLabel : public QLabel {
    Q_OBJECT
public:
    // Below this pixel size Japanese and digits stop being readable.
    static constexpr int MinPixelSize = 8;

    explicit TFitLabel(QWidget* parent);

    // The text, in the largest font up to the label's own that fits the width.
    void SetFittedText(const QString& text);
    // Pixels kept free at the end of the text, for a label whose neighbour's box begins
    // right where its own ends: the two texts never run together.
    void SetClearance(int pixels);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Fit();

    bool fitting_ = false;
    int clearance_ = 0;
};

}  // namespace tinctor
