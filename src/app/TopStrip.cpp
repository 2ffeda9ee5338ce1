#include "app/TopStrip.h"

#include <QComboBox>
#include <QPaintEvent>
#include <QPainter>
#include <QToolButton>

#include "app/FitLabel.h"
#include "app/FormControls.h"
#include "app/Swatch.h"
#include "app/ToolIcons.h"
#include "colour/ColorCodes.h"

namespace tinctor {

namespace {

constexpr QRect ColorViewPlace(0, 0, 41, TTopStrip::Height);
constexpr QRect ComplementPlace(41, 0, 12, TTopStrip::Height);
constexpr QRect RLabelPlace(53, 1, 36, 12);
constexpr QRect GLabelPlace(91, 1, 36, 12);
constexpr QRect BLabelPlace(129, 1, 36, 12);
constexpr QRect HLabelPlace(181, 1, 44, 12);
constexpr QRect LLabelPlace(149, 13, 34, 12);
constexpr QRect SLabelPlace(183, 13, 36, 12);
constexpr QRect CodePlace(54, 12, 93, 13);
constexpr int ClipboardButtonSize = 24;
// The least room between the texts of two labels side by side, so that they read apart
// ("L：080 S：255", not "L：080S：255") at any scale.
constexpr int LabelGap = 2;
constexpr QRect ListSelectorPlace(274, 3, 151, 20);

// One value label text: a printf format (UTF-8) with one number.
QString InfoText(const char* format, int value) { return QString::asprintf(format, value); }

}  // namespace

TTopStrip::TTopStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainPanel"));
    // Nothing is filled for us: the swatches and paintEvent cover every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    CreateControls();
    connect(complementColor_, &TSwatch::clicked, this, &TTopStrip::ComplementClicked);
    connect(copyToClipboard_, &QToolButton::clicked, this, &TTopStrip::CopyClicked);
    connect(loadFromClipboard_, &QToolButton::clicked, this, &TTopStrip::LoadClicked);
}

void TTopStrip::CreateControls() {
    colorView_ = new TSwatch(this);
    colorView_->setObjectName(QStringLiteral("ColorView"));
    colorView_->setGeometry(ColorViewPlace);
    colorView_->setToolTip(QStringLiteral("現在選択中の色です"));

    complementColor_ = new TSwatch(this);
    complementColor_->setObjectName(QStringLiteral("ComplementColor"));
    complementColor_->setGeometry(ComplementPlace);
    complementColor_->setToolTip(QStringLiteral("選択中の色の補色です。クリックで交換できます"));

    // The values and the code shrink their font rather than run together or lose characters.
    rLabel_ = MakeLabel<TFitLabel>(this, "RLabel", QString(), RLabelPlace, TextRed);
    gLabel_ = MakeLabel<TFitLabel>(this, "GLabel", QString(), GLabelPlace, TextLime);
    bLabel_ = MakeLabel<TFitLabel>(this, "BLabel", QString(), BLabelPlace, TextBlue);
    hLabel_ = MakeLabel<TFitLabel>(this, "HLabel", QString(), HLabelPlace, TextNavy);
    lLabel_ = MakeLabel<TFitLabel>(this, "LLabel", QString(), LLabelPlace, TextNavy);
    sLabel_ = MakeLabel<TFitLabel>(this, "SLabel", QString(), SLabelPlace, TextNavy);
    cCode_ = MakeLabel<TFitLabel>(this, "CCode", QString(), CodePlace, TextBlack, Qt::AlignRight | Qt::AlignVCenter);
    // The others have LabelGap between their boxes; S's box begins where L's ends.
    static_assert(SLabelPlace.left() == LLabelPlace.left() + LLabelPlace.width());
    static_assert(GLabelPlace.left() - RLabelPlace.right() - 1 >= LabelGap &&
                  BLabelPlace.left() - GLabelPlace.right() - 1 >= LabelGap &&
                  LLabelPlace.left() - CodePlace.right() - 1 >= LabelGap);
    lLabel_->SetClearance(LabelGap);

    copyToClipboard_ = MakeButton(this, "CopyToClipboard", TToolIcon::CopyToClipboard,
                                  QStringLiteral("クリップボードにカラー値をコピーします。"), ClipboardButtonSize,
                                  ClipboardButtonSize);
    loadFromClipboard_ = MakeButton(this, "LoadFromClipboard", TToolIcon::LoadFromClipboard,
                                    QStringLiteral("クリップボード内を解析します。"), ClipboardButtonSize,
                                    ClipboardButtonSize);

    listSelector_ = new QComboBox(this);
    listSelector_->setObjectName(QStringLiteral("ColorListFileName"));
    listSelector_->setEditable(false);
    listSelector_->setGeometry(ListSelectorPlace);
}

TColor TTopStrip::Color() const { return colorView_->Color(); }

void TTopStrip::SetColor(TColor colour) { colorView_->SetColor(colour); }

TColor TTopStrip::Complement() const { return complementColor_->Color(); }

void TTopStrip::ShowValues(TColor colour, const QString& code) {
    const THLS hls = ColorToHLS(colour);
    const TRGB rgb = SplitColor(colour);
    rLabel_->SetFittedText(InfoText("R：%.2X", rgb.R));
    gLabel_->SetFittedText(InfoText("G：%.2X", rgb.G));
    bLabel_->SetFittedText(InfoText("B：%.2X", rgb.B));
    hLabel_->SetFittedText(InfoText("H：%.3d°", hls.H));
    lLabel_->SetFittedText(InfoText("L：%.3d", hls.L));
    sLabel_->SetFittedText(InfoText("S：%.3d", hls.S));
    complementColor_->SetColor(ComplementOf(colour));
    cCode_->SetFittedText(code);
}

QString TTopStrip::CodeText() const { return cCode_->text(); }

void TTopStrip::PaintBehindSwatches(bool behind) { swatchEnd_ = behind ? complementColor_ : nullptr; }

void TTopStrip::DockClipboardButtons() {
    loadFromClipboard_->move(width() - loadFromClipboard_->width(), 0);
    copyToClipboard_->move(loadFromClipboard_->x() - copyToClipboard_->width(), 0);
}

void TTopStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    DockClipboardButtons();
}

void TTopStrip::paintEvent(QPaintEvent* event) {
    const int left = swatchEnd_ ? swatchEnd_->geometry().right() + 1 : 0;
    const QRect background = QRect(left, 0, width() - left, height()).intersected(event->rect());
    if (background.isEmpty()) return;
    QPainter(this).fillRect(background, palette().brush(QPalette::Window));
}

}  // namespace tinctor
