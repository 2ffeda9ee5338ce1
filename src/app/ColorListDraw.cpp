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
    if (metrics.horizontalAdvance(text) <= width) return text;
    const QString ellipsis(QChar(0x2026));
    const int room = width - metrics.horizontalAdvance(ellipsis);
    // The longest run of whole words that fits with the ellipsis.
    for (qsizetype cut = text.lastIndexOf(u' '); cut > 0; cut = text.lastIndexOf(u' ', cut - 1)) {
        const QString head = text.left(cut).trimmed();
        if (!head.isEmpty() && metrics.horizontalAdvance(head) <= room) return head + ellipsis;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
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
