// The Colors object on its own: the sliders it reads and moves, the clamping of the
// values scripts write, and the colour group it applies when it dies.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeSliders.h"
#include "scripthost/KSCClass.h"

namespace tinctor {
namespace {

using kestrel::DoubleValue;
using kestrel::IntegerValue;
using kestrel::StringValue;
using kestrel::TJObject;
using kestrel::TJString;
using kestrel::TJValue;
using ::testing::ElementsAre;
using testing::TFakeSliders;

class ColorCfgTest : public ::testing::Test {
protected:
    ColorCfgTest() : colors(TJObject::New<TColorCfg>(nullptr, false)) {}
    ~ColorCfgTest() override { Free(); }

    void Free() {
        if (colors) colors->Destroy();
        colors = nullptr;
    }
    int Read(const char* name) {
        TJValue value;
        colors->GetValue(name, false, value);
        EXPECT_TRUE(value.IsInteger()) << name;
        return value.AsInteger();
    }
    void Write(const char* name, const TJValue& value) { colors->SetValue(name, value); }

    TFakeSliders sliders;
    TColorCfg* colors;
};

TEST_F(ColorCfgTest, WrittenValuesAreClampedIntoTheSliderRange) {
    // R - 50 at R = 20: clamped before any narrowing, so 0 and not 65506 cut to 255.
    Write("R", IntegerValue(20 - 50));
    EXPECT_EQ(sliders.Values[0], 0);
    Write("G", IntegerValue(300));
    EXPECT_EQ(sliders.Values[1], 255);
    Write("B", IntegerValue(65536 + 7));  // no 16-bit wrap-around either
    EXPECT_EQ(sliders.Values[2], 255);
    Write("H", IntegerValue(400));
    EXPECT_EQ(sliders.Values[4], 359);
    Write("H", IntegerValue(-1));
    EXPECT_EQ(sliders.Values[4], 0);
    Write("L", DoubleValue(2.5));  // nearest integer, ties to even
    EXPECT_EQ(sliders.Values[5], 2);
    Write("S", StringValue(TJString("77")));
    EXPECT_EQ(sliders.Values[6], 77);
    // Numbers far out of range and infinities stop at the nearer end, never wrap.
    Write("S", DoubleValue(-1e12));
    EXPECT_EQ(sliders.Values[6], 0);
    Write("S", DoubleValue(4294967296.0 + 100));
    EXPECT_EQ(sliders.Values[6], 255);
    Write("R", kestrel::InfinityValue(false));
    EXPECT_EQ(sliders.Values[0], 255);
    Write("R", kestrel::InfinityValue(true));
    EXPECT_EQ(sliders.Values[0], 0);
    Write("R", kestrel::NaNValue());
    EXPECT_EQ(sliders.Values[0], 0);
    Write("r", IntegerValue(33));  // property names in any case
    EXPECT_EQ(sliders.Values[0], 33);
    EXPECT_TRUE(sliders.Moved.empty());  // the colour waits for the end of the run
}

TEST_F(ColorCfgTest, BrightnessIsReadOnlyAndWritingItStoresAMember) {
    Write("A", IntegerValue(5));
    EXPECT_EQ(sliders.Values[3], 134);
    EXPECT_EQ(Read("A"), 134);  // the property still answers first
    EXPECT_TRUE(colors->Members().HasKey("A"));
    EXPECT_EQ(colors->Last(), 0);
    Free();
    EXPECT_TRUE(sliders.Moved.empty());
}

}  // namespace
}  // namespace tinctor
