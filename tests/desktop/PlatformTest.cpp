#include <gtest/gtest.h>

#include "platform/ErrorGuard.h"
#include "platform/Platform.h"
#include "platform/Screen.h"
#include "platform/fake/FakeDialogs.h"
#include "platform/fake/FakePlatform.h"

namespace tinctor {
namespace {

TEST(Platform, QtPixelsBecomeBgrColours) {
    EXPECT_EQ(ArgbToColor(0xFFFF0000), 0x0000FFu);
    EXPECT_EQ(ArgbToColor(0x80FF8000), 0x0080FFu);
    EXPECT_EQ(ArgbToColor(0x00123456), 0x563412u);
}

TEST(Platform, TheSilentAbortShowsNoErrorBox) {
    TFakeDialogs dialogs;
    EXPECT_FALSE(Guarded([] { throw EAbort(); }));
    EXPECT_FALSE(Guarded([] { throw std::runtime_error("one"); }));
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{"one"});
}

TEST(Platform, AFakeTakesThePlaceOfTheRealServicesWhileItLives) {
    IPlatform* real = nullptr;
    {
        TFakePlatform fake;
        EXPECT_EQ(&Platform(), &fake);
        EXPECT_EQ(&Platform().Pointer(), &fake.Pointer());
        SetPlatform(nullptr);
        real = &Platform();
        EXPECT_NE(real, &fake);
        SetPlatform(&fake);
    }
    EXPECT_EQ(&Platform(), real);
}

}  // namespace
}  // namespace tinctor
