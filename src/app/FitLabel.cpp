#include "app/FitLabel.h"

#include <QEvent>
#include <QFontMetrics>

namespace tinctor {

TFitLabel::TFitLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

void TFitLabel::SetFittedText(const QString& text) {
    if (text == this->text()) return;
    setText(text);
    Fit();
}

void TFitLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Fit();
}

void TFitLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    // A font inherited from the window (or set by the owner) is the size to start from.
    if (event->type() == QEvent::FontChange && !fitting_) Fit();
}

void TFitLabel::Fit() {
    QFont wanted = parentWidget() ? parentWidget()->font() : font();
    const int designed = wanted.pixelSize() > 0 ? wanted.pixelSize() : QFontMetrics(wanted).height();
    const int room = contentsRect().width();
    int size = designed;
    // At most a handful of sizes between the design and the floor: measuring each is cheap.
    for (; size > MinPixelSize; --size) {
        wanted.setPixelSize(size);
        if (QFontMetrics(wanted).horizontalAdvance(text()) <= room) break;
    }
    wanted.setPixelSize(size);
    if (wanted == font()) return;
    fitting_ = true;
    setFont(wanted);
    fitting_ = false;
}

}  // namespace tinctor
