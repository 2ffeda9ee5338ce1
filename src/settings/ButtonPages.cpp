#include "settings/ButtonPages.h"

#include <QButtonGroup>
#include <QPushButton>

namespace tinctor {

namespace {

constexpr int kButtonGap = 3;    // between buttons and between rows
constexpr int kSheetMargin = 4;  // around the page below the buttons
constexpr int kButtonPadding = 16;

}  // namespace

TButtonPages::TButtonPages(QWidget* parent) : QWidget(parent), group_(new QButtonGroup(this)) {
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) { SetCurrentIndex(id); });
}

QWidget* TButtonPages::AddPage(const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    auto* sheet = new QWidget(this);
    sheet->setObjectName(name);
    sheet->hide();
    group_->addButton(button, Count());
    pages_.push_back({button, sheet});
    if (current_ < 0) SetCurrentIndex(0);
    Relayout();
    return sheet;
}

void TButtonPages::SetCurrentIndex(int index) {
    if (index < 0 || index >= Count()) return;
    current_ = index;
    for (int i = 0; i < Count(); ++i) {
        PageButton(i)->setChecked(i == index);
        Page(i)->setVisible(i == index);
    }
}

void TButtonPages::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

void TButtonPages::Relayout() {
    // Buttons left to right, starting a new row when the next one would stick out.
    int x = 0, y = 0;
    for (const TPage& page : pages_) {
        const int w = page.button->fontMetrics().horizontalAdvance(page.button->text().remove(QLatin1Char('&'))) +
                      kButtonPadding;
        if (x > 0 && x + w > width()) {
            x = 0;
            y += ButtonHeight + kButtonGap;
        }
        page.button->setGeometry(x, y, w, ButtonHeight);
        x += w + kButtonGap;
    }
    const int top = pages_.empty() ? 0 : y + ButtonHeight + kSheetMargin;
    for (const TPage& page : pages_)
        page.sheet->setGeometry(kSheetMargin, top, width() - 2 * kSheetMargin, height() - top - kSheetMargin);
}

}  // namespace tinctor
