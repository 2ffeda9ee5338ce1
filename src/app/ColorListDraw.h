// The entries of the colour list as the list control holds and draws them.
//
// Each item carries its entry's code and comment as raw bytes (decoded only to be
// drawn). The list is owner-drawn with one fixed item height: 12 pixels show a swatch
// and the comment, 24 pixels a swatch with the code on the first line and the comment
// on the second.
#pragma once

#include <QStyledItemDelegate>

#include "app/ColorListFile.h"

class QFontMetrics;
class QListWidgetItem;

namespace tinctor {

TColorEntry EntryOf(const QListWidgetItem* item);
void SetEntry(QListWidgetItem* item, const TColorEntry& entry);

// Text shortened to Width with an ellipsis, cut at a word boundary where the text
// has one that fits, else between characters. Only the start of a long text is ever
// measured, a bounded number of times, so a huge comment paints as fast as a short one.
QString ElideAtWord(const QFontMetrics& metrics, const QString& text, int width);

class TColorListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    int ItemHeight() const { return itemHeight_; }
    // Two lines (code, then comment) or one (the comment); the caller lays the list out again.
    void SetItemHeight(int height, bool twoLines);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int itemHeight_ = 12;
    bool twoLines_ = false;
};

}  // namespace tinctor
