// The two slider pages of the main window (BarPages): "RGB" with red, green, blue and
// brightness, "HLS" with hue, lightness and saturation, and the three channel labels
// whose flags say which channels follow the brightness slider.
#pragma once

#include <QTabWidget>

#include <array>
#include <cstdint>

class QScrollBar;

namespace tinctor {

class TChannelLabel;

// The sliders by their index, as the window and the scripts address them.
enum TSliderIndex : int {
    RedSlider = 1,
    GreenSlider,
    BlueSlider,
    BrightnessSlider,
    HueSlider,
    LightnessSlider,
    SaturationSlider,
};
inline constexpr int SliderCount = SaturationSlider;

class TSliderPages : public QTabWidget {
    Q_OBJECT
public:
    explicit TSliderPages(QWidget* parent);

    // The position of slider Index (1..7); 0 for another index.
    int Value(int index) const;
    // Sets slider Index to Value clamped to its range, without running its move handling.
    void SetValue(int index, std::uint16_t value);

    // Whether the red, green or blue channel follows the brightness slider.
    bool RedFollows() const;
    bool GreenFollows() const;
    bool BlueFollows() const;
    // A click on a channel label: its channel is held or follows again.
    void ToggleFollow(TChannelLabel* label);

signals:
    // The user moved slider Index (keys, mouse, wheel).
    void SliderMoved(int index);

private:
    void CreateSliders(QWidget* rgbPage, QWidget* hlsPage);
    void CreateLabels(QWidget* rgbPage, QWidget* hlsPage);
    QScrollBar* Slider(int index) const { return sliders_[static_cast<std::size_t>(index - 1)]; }

    std::array<QScrollBar*, SliderCount> sliders_{};
    TChannelLabel* redValue_ = nullptr;
    TChannelLabel* greenValue_ = nullptr;
    TChannelLabel* blueValue_ = nullptr;
};

}  // namespace tinctor
