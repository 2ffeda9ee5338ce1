#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
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

// The loupe's square comes in one read; it must show what reading pixel by pixel shows,
// across a window edge and where the square leaves the screen.
TEST(X11Screen, ASquareReadsAsItsPixelsOneByOne) {
    IScreen& screen = Platform().Screen();
    auto orange = ColourWindow(QColor(255, 128, 0), QRect(400, 300, 200, 150));
    auto blue = ColourWindow(QColor(0, 0, 255), QRect(600, 300, 100, 150));
    ASSERT_TRUE(WaitFor([&] { return screen.PixelAt({650, 375}) == 0xFF0000u && screen.PixelAt({500, 375}) == Orange; }));
    const QRect desktop = QGuiApplication::primaryScreen()->geometry();
    const QPoint centres[] = {{600, 375}, {595, 300}, {2, 3}, {desktop.right() - 1, desktop.bottom()}};
    std::vector<std::optional<TColor>> square;
    for (const QPoint centre : centres) {
        screen.PixelsAround(centre, 7, square);
        ASSERT_EQ(square.size(), 15u * 15u);
        int different = 0, known = 0;
        for (int row = 0; row < 15; ++row)
            for (int column = 0; column < 15; ++column) {
                const std::optional<TColor> one = screen.PixelAt(centre + QPoint(column - 7, row - 7));
                different += square[static_cast<std::size_t>(row * 15 + column)] != one;
                known += one.has_value();
            }
        EXPECT_EQ(different, 0) << centre.x() << "," << centre.y();
        EXPECT_GT(known, 0) << centre.x() << "," << centre.y();
    }
}

}  // namespace
}  // namespace tinctor
