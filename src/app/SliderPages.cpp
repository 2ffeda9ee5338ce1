#include "app/SliderPages.h"

#include <QSignalBlocker>

#include "app/ChannelLabel.h"
#include "app/FormControls.h"
#include "app/SliderBar.h"
#include "app/SliderKeys.h"

namespace tinctor {

namespace {

// The slider of index i is named by the i-th letter and "Value".
constexpr const char* SliderLetters = "RGBAHLS";

// Rows of a page: the label column at the left, the slider beside it.
constexpr int RowTop = 3;
constexpr int RowPitch = 16;
constexpr int RowHeight = 14;
constexpr int LabelLeft = 3;
constexpr int LabelWidth = 15;
constexpr int SliderLeft = 20;
constexpr int SliderWidth = 139;

constexpr QRect SliderPlace(int row) { return {SliderLeft, RowTop + row * RowPitch, SliderWidth, RowHeight}; }
constexpr QRect LabelPlace(int row) { return {LabelLeft, RowTop + row * RowPitch, LabelWidth, RowHeight}; }

struct TSliderDesign {
    int Maximum;
    int LargeStep;
    const char* Hint;
};
constexpr TSliderDesign SliderDesigns[SliderCount] = {
    {255, 5, "赤の割合を指定します。"}, {255, 5, "緑の割合を指定します。"}, {255, 5, "青の割合を指定します。"},
    {255, 1, "平均値を指定します。"},   {359, 5, "色相を指定します。"},     {255, 5, "明度を指定します。"},
    {255, 5, "彩度を指定します。"},
};

bool OnRgbPage(int index) { return index <= BrightnessSlider; }
int RowOf(int index) { return OnRgbPage(index) ? index - RedSlider : index - HueSlider; }

}  // namespace

TSliderPages::TSliderPages(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("BarPages"));
    auto* rgbPage = new QWidget;
    rgbPage->setObjectName(QStringLiteral("RGBSheet"));
    auto* hlsPage = new QWidget;
    hlsPage->setObjectName(QStringLiteral("HLSSheet"));
    addTab(rgbPage, QStringLiteral("RGB"));
    addTab(hlsPage, QStringLiteral("HLS"));
    CreateSliders(rgbPage, hlsPage);
    CreateLabels(rgbPage, hlsPage);
    setCurrentWidget(hlsPage);
}

void TSliderPages::CreateSliders(QWidget* rgbPage, QWidget* hlsPage) {
    for (int index = RedSlider; index <= SaturationSlider; ++index) {
        const TSliderDesign& design = SliderDesigns[index - 1];
        auto* slider = new TSliderBar(OnRgbPage(index) ? rgbPage : hlsPage);
        slider->setObjectName(QStringLiteral("%1Value").arg(QLatin1Char(SliderLetters[index - 1])));
        slider->setRange(0, design.Maximum);
        slider->setSingleStep(1);
        slider->setPageStep(design.LargeStep);
        slider->setToolTip(QString::fromUtf8(design.Hint));
        slider->setGeometry(SliderPlace(RowOf(index)));
        new TSliderKeys(slider);
        sliders_[static_cast<std::size_t>(index - 1)] = slider;
        // Only the user's moves: the program's own go through SetValue.
        connect(slider, &QAbstractSlider::actionTriggered, this, [this, index](int) { emit SliderMoved(index); });
    }
}

void TSliderPages::CreateLabels(QWidget* rgbPage, QWidget* hlsPage) {
    struct TChannel {
        TChannelLabel*& Label;
        const char* Name;
        const char* Text;
        QColor Colour;
    };
    const TChannel channels[] = {{redValue_, "RedValue", "赤", TextRed},
                                 {greenValue_, "GreenValue", "緑", TextLime},
                                 {blueValue_, "BlueValue", "青", TextBlue}};
    int row = 0;
    for (const TChannel& channel : channels) {
        channel.Label = new TChannelLabel(QString::fromUtf8(channel.Text), rgbPage);
        channel.Label->setObjectName(QString::fromLatin1(channel.Name));
        channel.Label->setGeometry(LabelPlace(row++));
        channel.Label->setAlignment(Qt::AlignCenter);
        SetTextColor(channel.Label, channel.Colour);
        TChannelLabel* label = channel.Label;
        connect(label, &TChannelLabel::clicked, this, [this, label] { ToggleFollow(label); });
    }
    MakeLabel(rgbPage, "BrightnessMark", QStringLiteral("明"), LabelPlace(RowOf(BrightnessSlider)), TextBlack,
              Qt::AlignCenter);
    MakeLabel(hlsPage, "HueMark", QStringLiteral("Ｈ"), LabelPlace(RowOf(HueSlider)), TextNavy, Qt::AlignCenter);
    MakeLabel(hlsPage, "LightnessMark", QStringLiteral("Ｌ"), LabelPlace(RowOf(LightnessSlider)), TextNavy,
              Qt::AlignCenter);
    MakeLabel(hlsPage, "SaturationMark", QStringLiteral("Ｓ"), LabelPlace(RowOf(SaturationSlider)), TextNavy,
              Qt::AlignCenter);
}

int TSliderPages::Value(int index) const {
    if (index < RedSlider || index > SaturationSlider) return 0;
    return Slider(index)->sliderPosition();
}

void TSliderPages::SetValue(int index, std::uint16_t value) {
    if (index < RedSlider || index > SaturationSlider) return;
    QScrollBar* slider = Slider(index);
    // setValue clamps to the range and, unlike a user's move, triggers no action;
    // the blocker keeps value listeners quiet as well.
    const QSignalBlocker blocker(slider);
    slider->setValue(value);
}

bool TSliderPages::RedFollows() const { return redValue_->FollowsBrightness(); }
bool TSliderPages::GreenFollows() const { return greenValue_->FollowsBrightness(); }
bool TSliderPages::BlueFollows() const { return blueValue_->FollowsBrightness(); }

void TSliderPages::ToggleFollow(TChannelLabel* label) { label->SetFollowsBrightness(!label->FollowsBrightness()); }

}  // namespace tinctor
