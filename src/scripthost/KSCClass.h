// The Colors object of the script menu's scripts: the main window's seven sliders
// as the properties R, G, B, A (read only), H, L, S.
#pragma once

#include <cstdint>

#include "script/core/ecma_type_object.h"

namespace tinctor {

// What the Colors object works on: the sliders of the main window, 1..7 for
// R, G, B, brightness, H, L, S.
class IColorSliders {
public:
    virtual ~IColorSliders() = default;
    virtual int GetSliderValue(int index) const = 0;
    // Moves slider Index without running its move handling (the colour stays).
    virtual void SetSliderValue(int index, std::uint16_t value) = 0;
    // The slider handling at the end of a drag of slider Index: 1..3 make the colour
    // of the R, G, B sliders current, 5..7 that of the H, L, S sliders.
    virtual void SliderMoved(int index) = 0;
};

// The sliders the Colors objects act on: the program's one main window (tests put
// their own). Null when there are none; the objects then read 0 and change nothing.
IColorSliders* ColorSliders();
void SetColorSliders(IColorSliders* sliders);

// Registered with each engine as "Colors"; every run gets one global instance.
// Written properties move their sliders at once; the colour follows when the
// object dies with its run, from the group (R, G, B or H, L, S) written last.
class TColorCfg : public kestrel::TJObject {
public:
    TColorCfg(kestrel::TJBaseEngine* engine, const kestrel::TJValueList* param);
    ~TColorCfg() override;

    const kestrel::TJPropertyTable* PublishedProperties() const override;
    // A written slider property takes the script's value clamped into the slider's
    // range; other names are ordinary members.
    bool SetValueImpl(std::string_view name, const kestrel::TJValue& value,
                      const kestrel::TJValueList* param) override;

    // The index of the property written last, 0 when none was written.
    int Last() const noexcept { return last_; }

    // The range of slider Index: 0..359 for the hue, 0..255 for the others.
    static int SliderMax(int index) noexcept { return index == 5 ? 359 : 255; }

private:
    static std::int64_t GetSlider(kestrel::TJObject& self, int index);
    static void SetSlider(kestrel::TJObject& self, int index, std::int64_t value);

    int last_ = 0;
};

}  // namespace tinctor
