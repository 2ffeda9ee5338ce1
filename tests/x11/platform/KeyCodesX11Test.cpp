#include <gtest/gtest.h>

#include "X11Helpers.h"
#include "platform/KeyCodes.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace tinctor {
namespace {

// The key under a printed symbol, as the hot key entry reads Shift+1 and friends.
TEST(X11KeyCodes, AKeycodeGivesTheCodeOfItsUnshiftedSymbol) {
    test::TOtherClient other;
    const auto code = [&](unsigned long keysym) {
        return static_cast<unsigned>(XKeysymToKeycode(other.Dpy(), keysym));
    };
    ASSERT_NE(code(XK_1), 0u);
    EXPECT_EQ(VirtualKeyOfScanCode(code(XK_1)), 0x31u);
    EXPECT_EQ(VirtualKeyOfScanCode(code(XK_exclam)), 0x31u);  // Shift+1 on this layout
    EXPECT_EQ(VirtualKeyOfScanCode(code(XK_a)), 0x41u);
    EXPECT_EQ(VirtualKeyOfScanCode(code(XK_F5)), 0x74u);
    EXPECT_EQ(VirtualKeyOfScanCode(code(XK_minus)), 0xBDu);
    EXPECT_EQ(VirtualKeyOfScanCode(0), 0u);
    EXPECT_EQ(VirtualKeyOfScanCode(300), 0u);
}

}  // namespace
}  // namespace tinctor
