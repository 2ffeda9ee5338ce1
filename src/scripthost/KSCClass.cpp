#include "scripthost/KSCClass.h"

#include "platform/ErrorGuard.h"
#include "util/stdInt.h"

namespace tinctor {

using kestrel::IntegerProperty;
using kestrel::TJOrdinalType;

namespace {

IColorSliders* installedSliders = nullptr;

// The script's value as a slider position, before any narrowing: integers as they
// are, numbers beyond the 32-bit range and infinities at the nearer end instead of
// wrapping round, everything else by the integer conversion.
std::int64_t ScriptLevel(const kestrel::TJValue& value) {
    constexpr double kLimit = 2147483647.0;
    if (value.IsInfinity()) return value.vNegative() ? -1 : 0x10000;
    if (value.IsDouble() && !(value.vDouble() < kLimit && value.vDouble() > -kLimit))
        return value.vDouble() < 0 ? -1 : 0x10000;
    return value.AsInteger();
}

}  // namespace

IColorSliders* ColorSliders() { return installedSliders; }
void SetColorSliders(IColorSliders* sliders) { installedSliders = sliders; }

TColorCfg::TColorCfg(kestrel::TJBaseEngine* engine, const kestrel::TJValueList* param) : TJObject(engine, param) {}

TColorCfg::~TColorCfg() {
    IColorSliders* sliders = ColorSliders();
    if (!sliders || last_ == 0 || last_ == 4) return;
    // The run is over: the group written last decides the colour.
    Guarded([&] { sliders->SliderMoved(last_); });
}

const kestrel::TJPropertyTable* TColorCfg::PublishedProperties() const {
    // Writes come through SetValueImpl with the script's own value, so that R - 50 at
    // R = 20 gives 0, not a 16-bit wrap-around to 65506 clamped to 255. A has no
    // setter; writing it stores a plain member instead.
    static const kestrel::TJPropertyTable table{
        IntegerProperty("R", TJOrdinalType::S32, &GetSlider, &SetSlider, 1),
        IntegerProperty("G", TJOrdinalType::S32, &GetSlider, &SetSlider, 2),
        IntegerProperty("B", TJOrdinalType::S32, &GetSlider, &SetSlider, 3),
        IntegerProperty("A", TJOrdinalType::S32, &GetSlider, nullptr, 4),
        IntegerProperty("H", TJOrdinalType::S32, &GetSlider, &SetSlider, 5),
        IntegerProperty("L", TJOrdinalType::S32, &GetSlider, &SetSlider, 6),
        IntegerProperty("S", TJOrdinalType::S32, &GetSlider, &SetSlider, 7),
    };
    return &table;
}

bool TColorCfg::SetValueImpl(std::string_view name, const kestrel::TJValue& value,
                             const kestrel::TJValueList* param) {
    const kestrel::TJPropertyInfo* info = PublishedProperties()->Find(name);
    if (!info || !info->SetOrdinal) return TJObject::SetValueImpl(name, value, param);
    info->SetOrdinal(*this, info->Index, ScriptLevel(value));
    return true;
}

std::int64_t TColorCfg::GetSlider(kestrel::TJObject&, int index) {
    const IColorSliders* sliders = ColorSliders();
    return sliders ? sliders->GetSliderValue(index) : 0;
}

void TColorCfg::SetSlider(kestrel::TJObject& self, int index, std::int64_t value) {
    auto& colors = static_cast<TColorCfg&>(self);
    if (IColorSliders* sliders = ColorSliders())
        sliders->SetSliderValue(index, static_cast<std::uint16_t>(Clamp<std::int64_t>(value, 0, SliderMax(index))));
    colors.last_ = index;
}

}  // namespace tinctor
