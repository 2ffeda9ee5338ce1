// Seven sliders in memory for the Colors object, recording the slider handling run.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "scripthost/KSCClass.h"

namespace tinctor::testing {

class TFakeSliders final : public IColorSliders {
public:
    // Installs itself for its lifetime.
    TFakeSliders() { SetColorSliders(this); }
    ~TFakeSliders() override {
        if (ColorSliders() == this) SetColorSliders(nullptr);
    }

    int GetSliderValue(int index) const override { return Values[static_cast<std::size_t>(index - 1)]; }
    void SetSliderValue(int index, std::uint16_t value) override {
        Values[static_cast<std::size_t>(index - 1)] = value;
    }
    void SliderMoved(int index) override { Moved.push_back(index); }

    // R, G, B, brightness, H, L, S.
    std::array<int, 7> Values{20, 128, 255, 134, 210, 137, 255};
    std::vector<int> Moved;
};

}  // namespace tinctor::testing
