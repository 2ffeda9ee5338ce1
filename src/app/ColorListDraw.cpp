#include "app/ColorListDraw.h"

#include <QFontMetrics>
#include <QListWidgetItem>
#include <QPainter>

#include "platform/QtText.h"

namespace tinctor {

namespace {

enum : int { CodeRole = Qt::UserRole, CommentRole = Qt::UserRole + 1 };

// The upper text line of a large item is this high; the comment goes below it.
constexpr int LineHeight = 12;
// Characters of a comment that eliding looks at.
constexpr qsizetype MaxMeasuredLength = 512;

std::string BytesOf(const QVariant& value) {
    const QByteArray bytes = value.toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QByteArray ToBytes(const std::string& text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

void DrawLine(QPainter* painter, const QRect& rect, const std::string& text) {
    const QString shown = ElideAtWord(painter->fontMetrics(), ToQString(text), rect.width());
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

}  // namespace

TColorEntry EntryOf(const QListWidgetItem* item) {
    return {BytesOf(item->data(CodeRole)), BytesOf(item->data(CommentRole))};
}

void SetEntry(QListWidgetItem* item, const TColorEntry& entry) {
    item->setData(CodeRole, ToBytes(entry.Code));
    item->setData(CommentRole, ToBytes(entry.Comment));
}

QString ElideAtWord(const QFontMetrics& metrics, const QString& text, int width) {
    // No list is wide enough to show more characters than this; the rest is never measured.
    const QString shown = text.left(MaxMeasuredLength);
    if (shown.size() == text.size() && metrics.horizontalAdvance(shown) <= width) return text;
    const QString ellipsis(QChar(0x2026));
    const int room = width - metrics.horizontalAdvance(ellipsis);
    // The longest start that fits with the ellipsis, by halving: widths grow with length.
    qsizetype fits = 0, tooLong = shown.size() + 1;
    while (tooLong - fits > 1) {
        const qsizetype middle = fits + (tooLong - fits) / 2;
        if (metrics.horizontalAdvance(shown.left(middle)) <= room)
            fits = middle;
        else
            tooLong = middle;
    }
    // Cut there at the last word boundary: the run of whole words before it.
    qsizetype cut = -1;
    if (fits < shown.size() && shown[fits] == u' ')
        cut = fits;
    else if (fits > 0)
        cut = shown.lastIndexOf(u' ', fits - 1);
    if (cut > 0) {
        const QString head = shown.left(cut).trimmed();
        if (!head.isEmpty()) return head + ellipsis;
    }
    return metrics.elidedText(shown, Qt::ElideRight, width);
}

void TColorListDelegate::SetItemHeight(int height, bool twoLines) {
    itemHeight_ = height;
    twoLines_ = twoLines;
}

QSize TColorListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    // No width of its own: every item spans the list, and long text is shortened instead.
    return QSize(0, itemHeight_);
}

void TColorListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    QRect r = option.rect;
    painter->save();
    painter->fillRect(r, selected ? palette.highlight() : palette.base());

    const TColorEntry entry{BytesOf(index.data(CodeRole)), BytesOf(index.data(CommentRole))};
    if (twoLines_) r.setBottom(r.bottom() - LineHeight);

    // The swatch: an eighth of the width, 2 pixels in from the item's edges.
    const QRect swatch(r.left() + 2, r.top() + 2, r.width() / 8 - 4, r.height() - 4);
    const TColor colour = ColorOfEntryCode(entry.Code);
    painter->setPen(QPen(Qt::black, 1));
    if (colour == NoColor) {
        painter->setBrush(Qt::NoBrush);  // a code that gives no colour: the outline only
    } else {
        const TRGB rgb = SplitColor(colour);
        painter->setBrush(QColor(rgb.R, rgb.G, rgb.B));
    }
    painter->drawRect(swatch.adjusted(0, 0, -1, -1));

    QRect text = r;
    text.setLeft(r.left() + r.width() / 8);
    painter->setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
    if (!twoLines_) {
        DrawLine(painter, text, entry.Comment);
    } else {
        DrawLine(painter, text, entry.Code);
        DrawLine(painter, r.translated(0, LineHeight), entry.Comment);
    }
    painter->restore();
}

}  // namespace tinctor
