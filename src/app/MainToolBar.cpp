#include "app/MainToolBar.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include "app/FormControls.h"
#include "app/ToolIcons.h"

namespace tinctor {

namespace {

constexpr int ButtonTop = 2;
// A separator: a sunken line in the middle of a gap.
constexpr int SeparatorWidth = 8;
constexpr int SeparatorLineLeft = 3;
constexpr int SeparatorLineWidth = 2;
constexpr int SeparatorLineHeight = 20;
// The eyedropper: a small sunken panel with the picture inside its border.
constexpr QSize SpoitPanelSize(21, 22);
constexpr int SpoitBorder = 1;

struct TNotationButton {
    const char* Name;
    TToolIcon Icon;
    const char* Hint;
};
// In notation order: a button's index is its notation.
constexpr TNotationButton NotationButtons[] = {
    {"HTMLColor", TToolIcon::Html, "HTMLカラー(16進数)"},
    {"VBColor", TToolIcon::VisualBasic, "VisualBasicカラーコード(16進数)"},
    {"DelphiColor", TToolIcon::Delphi, "Delphiカラーコード(16進数)"},
    {"CColor", TToolIcon::CLang, "Cカラーコード(16進数)"},
    {"RGBColor", TToolIcon::RgbCall, "RGB APIカラーコード(10進数)"},
    {"DoubleWord", TToolIcon::DoubleWord, "ダブルワード 32bit数値色表現(10進数)"},
};

}  // namespace

TMainToolBar::TMainToolBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ToolBar"));
    CreateScriptButtons();
    Separator();
    CreateNotationButtons();
    Separator();
    CreateSpoit();
    Separator();  // the divider
    CreateListButtons();
}

void TMainToolBar::Place(QWidget* control) {
    control->move(nextLeft_, ButtonTop);
    nextLeft_ += control->width();
}

void TMainToolBar::Separator() {
    auto* line = new QFrame(this);
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    line->setGeometry(nextLeft_ + SeparatorLineLeft, ButtonTop + 1, SeparatorLineWidth, SeparatorLineHeight);
    nextLeft_ += SeparatorWidth;
}

void TMainToolBar::CreateScriptButtons() {
    showConfig_ = MakeButton(this, "ShowConfig", TToolIcon::Config, QStringLiteral("設定を変更します"));
    Place(showConfig_);
    showTinctors_ = MakeButton(this, "ShowTinctors", TToolIcon::ColorList, QStringLiteral("カラーリストを表示します"));
    showTinctors_->setCheckable(true);
    Place(showTinctors_);

    // The scripts of the scripts folder go above the separator.
    scriptMenu_ = new QMenu(parentWidget());
    scriptMenu_->setObjectName(QStringLiteral("ScriptMenu"));
    scriptMenu_->addSeparator()->setObjectName(QStringLiteral("N1"));
    openScriptDirectory_ = scriptMenu_->addAction(QStringLiteral("フォルダを開く(&D)"));
    openScriptDirectory_->setObjectName(QStringLiteral("OpenScriptDirectory"));
    menuRefresh_ = scriptMenu_->addAction(QStringLiteral("メニューの更新(&R)"));
    menuRefresh_->setObjectName(QStringLiteral("MenuRefresh"));

    colorConfig_ = MakeButton(this, "ColorConfig", TToolIcon::Script, QStringLiteral("色を差し替えます"),
                              DropDownButtonWidth);
    colorConfig_->setMenu(scriptMenu_);
    colorConfig_->setPopupMode(QToolButton::MenuButtonPopup);
    Place(colorConfig_);
}

void TMainToolBar::CreateNotationButtons() {
    notationGroup_ = new QButtonGroup(parentWidget());
    notationGroup_->setExclusive(true);
    int notation = 0;
    for (const TNotationButton& design : NotationButtons) {
        QToolButton* button = MakeButton(this, design.Name, design.Icon, QString::fromUtf8(design.Hint));
        button->setCheckable(true);
        SetTag(button, notation);
        notationGroup_->addButton(button, notation);
        Place(button);
        ++notation;
    }
    notationGroup_->button(0)->setChecked(true);
    connect(notationGroup_, &QButtonGroup::idClicked, this, &TMainToolBar::NotationChosen);
}

void TMainToolBar::CreateSpoit() {
    spoitColor_ = new QFrame(this);
    spoitColor_->setObjectName(QStringLiteral("SpoitColor"));
    spoitColor_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    spoitColor_->setLineWidth(SpoitBorder);
    spoitColor_->setFixedSize(SpoitPanelSize);
    spoitColor_->setAutoFillBackground(true);
    QPalette spoitPalette = spoitColor_->palette();
    spoitPalette.setColor(QPalette::Window, spoitPalette.color(QPalette::Base));
    spoitColor_->setPalette(spoitPalette);
    spoitColor_->setToolTip(QStringLiteral("色を吸い取るカーソルを使います。"));
    spoitImage_ = new QLabel(spoitColor_);
    spoitImage_->setObjectName(QStringLiteral("SpoitImage"));
    spoitImage_->setPixmap(ToolPixmap(TToolIcon::Spoit, spoitImage_->devicePixelRatioF()));
    spoitImage_->setAlignment(Qt::AlignCenter);
    spoitImage_->setGeometry(QRect(QPoint(), SpoitPanelSize).adjusted(SpoitBorder, SpoitBorder, -SpoitBorder, -SpoitBorder));
    Place(spoitColor_);
}

void TMainToolBar::CreateListButtons() {
    TListButtons& b = listButtons_;
    b.NewFile = MakeButton(this, "NewFile", TToolIcon::NewFile, QStringLiteral("新しいリストを作成します。"));
    Place(b.NewFile);
    b.DeleteFile = MakeButton(this, "DeleteFile", TToolIcon::DeleteFile, QStringLiteral("リストファイルを削除します。"));
    Place(b.DeleteFile);
    Separator();

    b.AddColor = MakeButton(this, "AddColor", TToolIcon::AddColor, QStringLiteral("選択中の色を追加します。"),
                            DropDownButtonWidth);
    b.AddColor->setPopupMode(QToolButton::MenuButtonPopup);
    Place(b.AddColor);
    b.MoveUp = MakeButton(this, "ColorListMoveUp", TToolIcon::MoveUp, QStringLiteral("色を上に移動します。"));
    Place(b.MoveUp);
    b.MoveDown = MakeButton(this, "ColorListMoveDown", TToolIcon::MoveDown, QStringLiteral("色を下に移動します。"));
    Place(b.MoveDown);
    Separator();

    b.LargeIcon = MakeButton(this, "LargeIcon", TToolIcon::LargeIcon, QStringLiteral("詳細に表示します。"));
    b.SmallIcon = MakeButton(this, "SmallIcon", TToolIcon::SmallIcon, QStringLiteral("一覧表示します。"));
    auto* sizeGroup = new QButtonGroup(parentWidget());
    sizeGroup->setObjectName(QStringLiteral("ItemSizeGroup"));
    for (QToolButton* button : {b.LargeIcon, b.SmallIcon}) {
        button->setCheckable(true);
        sizeGroup->addButton(button);
        Place(button);
    }
    b.SmallIcon->setChecked(true);
}

void TMainToolBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ShowWholeButtons();
}

void TMainToolBar::ShowWholeButtons() {
    // The narrow window shows the buttons that fit whole; a sliver of the next one
    // would look like a broken button.
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setVisible(control->geometry().right() < width());
}

}  // namespace tinctor
