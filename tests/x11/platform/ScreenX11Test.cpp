#include <gtest/gtest.h>

#include <QWidget>

#include "X11Helpers.h"
#include "platform/Platform.h"

namespace tinctor {
namespace {

using test::WaitFor;

constexpr std::uint32_t Orange = 0x0080FF;  // (255, 128, 0)

std::unique_ptr<QWidget> ColourWindow(QColor colour, QRect geometry) {
    auto w = std::make_unique<QWidget>();
    w->setWindowFlag(Qt::FramelessWindowHint);
    w->setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, colour);
    w->setPalette(palette);
    w->setGeometry(geometry);
    w->show();
    return w;
}

TEST(X11Screen, ThePixelOfAWindowOfAKnownColour) {
    IScreen& screen = Platform().Screen();
    auto window = ColourWindow(QColor(255, 128, 0), QRect(400, 300, 200, 150));
    EXPECT_TRUE(WaitFor([&] { return screen.PixelAt({500, 375}) == Orange; }));
    EXPECT_EQ(screen.PixelAt({400, 300}), Orange);
    EXPECT_EQ(screen.PixelAt({599, 449}), Orange);
    EXPECT_EQ(screen.PixelAt({5000, 5000}), std::nullopt);  // off every screen
    EXPECT_EQ(screen.PixelAt({-3, 10}), std::nullopt);
}

}  // namespace
}  // namespace tinctor
