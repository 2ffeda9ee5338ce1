#include "app/FitLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyleOption>

#include "app/GlyphLine.h"

namespace tinctor {

namespace {

// The width of Text in Font, from the glyphs kept for it where they serve.
int WidthIn(const QFont& font, const QString& text) {
    if (const std::optional<int> width = TGlyphLine::Of(font).Width(text)) return *width;
    return QFontMetrics(font).horizontalAdvance(text);
}

}  // namespace

TFitLabel::TFitLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

void TFitLabel::SetFittedText(const QString& text) {
    if (text == this->text()) return;
    setText(text);
    Fit();
}

void TFitLabel::SetClearance(int pixels) {
    clearance_ = pixels;
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
    const int room = contentsRect().width() - clearance_;
    int size = designed;
    // At most a handful of sizes between the design and the floor: measuring each is cheap.
    for (; size > MinPixelSize; --size) {
        wanted.setPixelSize(size);
        if (WidthIn(wanted, text()) <= room) break;
    }
    wanted.setPixelSize(size);
    if (wanted == font()) return;
    fitting_ = true;
    setFont(wanted);
    fitting_ = false;
}

void TFitLabel::paintEvent(QPaintEvent* event) {
    // A plain one-line label (as every fitted one is) draws its text from the glyphs kept
    // for its font, in the pen and place the label's own painting would give it.
    if (isEnabled() && frameWidth() == 0 && margin() == 0 && indent() <= 0 && !wordWrap()) {
        if (text().isEmpty()) return;
        QStyleOption option;
        option.initFrom(this);
        QPainter painter(this);
        painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
        const Qt::Alignment placed = QStyle::visualAlignment(layoutDirection(), alignment());
        if (TGlyphLine::Of(font()).Draw(painter, contentsRect(), placed, text())) return;
    }
    QLabel::paintEvent(event);
}

}  // namespace tinctor
