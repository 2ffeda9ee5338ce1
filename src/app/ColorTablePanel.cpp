#include "app/ColorTablePanel.h"

#include "app/ColorTable.h"

namespace tinctor {

namespace {

constexpr int PanelBorder = 1;  // the sunken frame around the table

}  // namespace

TColorTablePanel::TColorTablePanel(QWidget* parent, const QRect& place) : QFrame(parent) {
    setObjectName(QStringLiteral("ColorPanel"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(PanelBorder);
    colorTable_ = new TColorTable(this);
    colorTable_->setObjectName(QStringLiteral("ColorTable"));
    setGeometry(place);
    colorTable_->setGeometry(QRect(QPoint(), place.size()).adjusted(PanelBorder, PanelBorder, -PanelBorder, -PanelBorder));
    connect(colorTable_, &TColorTable::MouseDown, this, [this](Qt::MouseButton button, QPoint) { MouseDown(button); });
    connect(colorTable_, &TColorTable::MouseMove, this, [this](QPoint pos) { MouseMove(pos); });
    connect(colorTable_, &TColorTable::MouseUp, this, [this](Qt::MouseButton, QPoint) { picking_ = false; });
}

void TColorTablePanel::LoadColorTable(const std::string& map) { colorTable_->LoadColorTable(map); }

void TColorTablePanel::MouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) picking_ = true;
}

// The table keeps the mouse while the button is held, so a drag outside it keeps the
// last colour; a click without a move picks nothing.
void TColorTablePanel::MouseMove(QPoint pos) {
    if (!picking_) return;
    if (const std::optional<TColor> colour = colorTable_->PixelAt(pos)) emit ColorPicked(*colour);
}

}  // namespace tinctor
