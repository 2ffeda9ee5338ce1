#include <gtest/gtest.h>

#include <QEvent>
#include <QLabel>
#include <QWidget>

#include "X11Helpers.h"
#include "desktop/SpoitCursor.h"
#include "desktop/SubClass.h"
#include "desktop/TinctorMouse.h"
#include "platform/Platform.h"

namespace tinctor {
namespace {

using test::RunTool;
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

QString Num(int v) { return QString::number(v); }

TEST(X11Screen, ThePixelOfAWindowOfAKnownColour) {
    IScreen& screen = Platform().Screen();
    auto window = ColourWindow(QColor(255, 128, 0), QRect(400, 300, 200, 150));
    EXPECT_TRUE(WaitFor([&] { return screen.PixelAt({500, 375}) == Orange; }));
    EXPECT_EQ(screen.PixelAt({400, 300}), Orange);
    EXPECT_EQ(screen.PixelAt({599, 449}), Orange);
    EXPECT_EQ(screen.PixelAt({5000, 5000}), std::nullopt);  // off every screen
    EXPECT_EQ(screen.PixelAt({-3, 10}), std::nullopt);
}

TEST(X11Screen, DraggingTheEyedropperOverAWindowMakesItsColourCurrent) {
    auto target = ColourWindow(QColor(255, 128, 0), QRect(400, 300, 200, 150));
    QWidget form;
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.setGeometry(50, 50, 300, 100);
    auto* image = new QLabel(&form);
    image->setPixmap(SpoitPicture());
    image->setGeometry(10, 10, 32, 32);
    form.show();

    std::vector<std::uint32_t> colours;
    IPlatform& p = Platform();
    TTinctorMouse mouse(&form, SpoitCursor(), image, [&](std::uint32_t c) { colours.push_back(c); }, p.Pointer(),
                        p.Screen());
    TEventSubClass press(image, [&](bool&, QEvent* e) {
        if (e->type() == QEvent::MouseButtonPress) mouse.StartCapture();
    });
    ASSERT_TRUE(WaitFor([&] { return p.Screen().PixelAt({500, 375}) == Orange && form.isVisible(); }));
    test::Pump(200);

    RunTool("xdotool", {"mousemove", Num(50 + 26), Num(50 + 26)});
    test::Pump(100);
    RunTool("xdotool", {"mousedown", "1"});
    ASSERT_TRUE(WaitFor([&] { return mouse.Capturing(); }));
    EXPECT_TRUE(image->isHidden());

    RunTool("xdotool", {"mousemove", "300", "250"});
    RunTool("xdotool", {"mousemove", "450", "320"});
    EXPECT_TRUE(WaitFor([&] { return !colours.empty() && colours.back() == Orange; }));
    RunTool("xdotool", {"mouseup", "1"});
    EXPECT_TRUE(WaitFor([&] { return !mouse.Capturing(); }));
    EXPECT_FALSE(image->isHidden());
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(colours.back(), Orange);

    // After the pick, moving over the window samples nothing.
    const std::size_t sampled = colours.size();
    RunTool("xdotool", {"mousemove", "100", "60"});
    test::Pump(200);
    EXPECT_EQ(colours.size(), sampled);
}

}  // namespace
}  // namespace tinctor
