// The strip across the top of the main window (MainPanel): the two swatches, the six
// value labels, the code, the two clipboard buttons docked to its right end, and the
// place of the colour list selector (which the colour list panel drives).
//
// It paints its own background only to the right of the swatches: they paint every
// pixel of themselves, so the area under them is never erased and never flickers.
#pragma once

#include <QWidget>

#include "colour/stdColors.h"

class QComboBox;
class QToolButton;

namespace tinctor {

class TFitLabel;
class TSwatch;

class TTopStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 25;

    explicit TTopStrip(QWidget* parent);

    // The current colour, held by the colour view.
    TColor Color() const;
    void SetColor(TColor colour);
    TColor Complement() const;
    // The six value labels, the complement and the code for Colour.
    void ShowValues(TColor colour, const QString& code);
    // The code as shown (what the copy button puts on the clipboard).
    QString CodeText() const;

    // The colour list selector, in the part of the strip only the wide window shows.
    QComboBox* ListSelector() const { return listSelector_; }

    // Where the background starts: the right edge of the complement swatch (none: the
    // whole strip, while the window goes away).
    void PaintBehindSwatches(bool behind);
    // Docks the clipboard buttons to the right end, LoadFromClipboard outermost.
    void DockClipboardButtons();

signals:
    void ComplementClicked();
    void CopyClicked();
    void LoadClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();

    TSwatch* colorView_ = nullptr;
    TSwatch* complementColor_ = nullptr;
    TFitLabel* rLabel_ = nullptr;
    TFitLabel* gLabel_ = nullptr;
    TFitLabel* bLabel_ = nullptr;
    TFitLabel* hLabel_ = nullptr;
    TFitLabel* lLabel_ = nullptr;
    TFitLabel* sLabel_ = nullptr;
    TFitLabel* cCode_ = nullptr;
    QToolButton* copyToClipboard_ = nullptr;
    QToolButton* loadFromClipboard_ = nullptr;
    QComboBox* listSelector_ = nullptr;
    const QWidget* swatchEnd_ = nullptr;
};

}  // namespace tinctor
