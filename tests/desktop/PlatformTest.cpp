#include <gtest/gtest.h>

#include "platform/ErrorGuard.h"
#include "platform/Platform.h"
#include "platform/Screen.h"
#include "platform/SystemError.h"
#include "platform/fake/FakePlatform.h"

namespace tinctor::platform {
namespace {

TEST(Platform, QtPixelsBecomeBgrColours) {
    EXPECT_EQ(ArgbToColor(0xFFFF0000), 0x0000FFu);
    EXPECT_EQ(ArgbToColor(0x80FF8000), 0x0080FFu);
    EXPECT_EQ(ArgbToColor(0x00123456), 0x563412u);
}

TEST(Platform, SystemErrorsCarryCodeAndDescription) {
    const ESystemError e(1409, SystemErrorDescription(1409));
    EXPECT_EQ(e.Code(), 1409);
    EXPECT_STREQ(e.what(), "システムエラー。コード：1409.\nホット キーは既に登録されています。");
    try {
        RaiseSystemError(10, "BadAccess");
    } catch (const ESystemError& x) {
        EXPECT_STREQ(x.what(), "システムエラー。コード：10.\nBadAccess");
    }
}

TEST(Platform, TheGuardReportsErrorsButNotTheSilentAbort) {
    std::vector<std::string> reported;
    auto previous = SetApplicationExceptionHandler([&](const std::exception_ptr& e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            reported.push_back(x.what());
        }
    });
    Guarded([] { throw std::runtime_error("one"); });
    Guarded([] { throw EAbort(); });
    Guarded([] {});
    SetApplicationExceptionHandler([](const std::exception_ptr&) { throw 1; });
    EXPECT_NO_FATAL_FAILURE(Guarded([] { throw std::runtime_error("handler fails"); }));
    SetApplicationExceptionHandler(previous);
    EXPECT_EQ(reported, std::vector<std::string>{"one"});
}

TEST(Platform, AScopedFakeTakesThePlaceOfTheRealServices) {
    fake::TFakePlatform outer, inner;
    {
        TScopedPlatform a(outer);
        EXPECT_EQ(&Current(), &outer);
        {
            TScopedPlatform b(inner);
            EXPECT_EQ(&Current().Pointer(), &inner.Pointer());
        }
        EXPECT_EQ(&Current(), &outer);
    }
    EXPECT_NE(&Current(), &outer);
}

}  // namespace
}  // namespace tinctor::platform
