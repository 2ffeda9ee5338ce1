#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <QtMath>

#include "QtApp.h"
#include "desktop/SpoitCursor.h"
#include "desktop/SubClass.h"
#include "desktop/TinctorMouse.h"
#include "platform/ErrorGuard.h"
#include "platform/fake/FakeDialogs.h"
#include "platform/fake/FakePointer.h"
#include "platform/fake/FakeScreen.h"

namespace tinctor {
namespace {

// Counts the key presses that reach it.
class TKeyCounter : public QWidget {
public:
    int Keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++Keys; }
};

void PressKey(QWidget& w) {
    QKeyEvent e(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

// A move (with Held down, as in a drag) or a release of Button.
void Mouse(QWidget& w, QEvent::Type type, Qt::MouseButton button = Qt::NoButton,
           Qt::MouseButtons held = Qt::NoButton) {
    QMouseEvent e(type, QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

TEST(SubClass, TheHookDecidesAndGoesAwayWithTheObject) {
    test::App();
    TKeyCounter control;
    class TSwallowKeys : public TSubClass {
    public:
        using TSubClass::TSubClass;
        bool WndProc(QEvent* e) override { return e->type() == QEvent::KeyPress || TSubClass::WndProc(e); }
    };
    {
        TSwallowKeys hook(&control);
        PressKey(control);
        EXPECT_EQ(control.Keys, 0);
    }
    PressKey(control);
    EXPECT_EQ(control.Keys, 1);
    {
        TSubClass plain(&control);  // passes everything on
        PressKey(control);
    }
    EXPECT_EQ(control.Keys, 2);
}

TEST(SubClass, TheEventHookHandlerClearsCallDefaultToKeepTheEvent) {
    test::App();
    TKeyCounter control;
    bool keep = false;
    int seen = 0;
    TEventSubClass hook(&control, [&](bool& callDefault, QEvent* e) {
        if (e->type() != QEvent::KeyPress) return;
        EXPECT_TRUE(callDefault);
        ++seen;
        if (keep) callDefault = false;
    });
    PressKey(control);
    keep = true;
    PressKey(control);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(control.Keys, 1);
}

TEST(SubClass, AControlDestroyedFirstLeavesNothingBehind) {
    test::App();
    auto control = std::make_unique<QWidget>();
    TSubClass hook(control.get());
    control.reset();
    EXPECT_EQ(hook.Control(), nullptr);
}

class TinctorMouseTest : public testing::Test {
protected:
    void SetUp() override {
        test::App();
        image = new QLabel(&form);
        form.show();
        screen.Fill(QRect(200, 200, 10, 10), 0x0000FF);  // pure red
    }
    std::unique_ptr<TTinctorMouse> Make() {
        return std::make_unique<TTinctorMouse>(
            &form, SpoitCursor(), image, [this](std::uint32_t c) { colors.push_back(c); }, pointer, screen);
    }

    QWidget form;
    QLabel* image = nullptr;
    TFakePointer pointer;
    TFakeScreen screen;
    std::vector<std::uint32_t> colors;
};

TEST_F(TinctorMouseTest, APickSamplesEveryMoveAndKeepsTheLastColour) {
    auto mouse = Make();
    mouse->StartCapture();
    EXPECT_TRUE(mouse->Capturing());
    EXPECT_EQ(pointer.Grabber, &form);
    EXPECT_EQ(pointer.GrabCursor.hotSpot(), QPoint(7, 24));
    EXPECT_TRUE(image->isHidden());

    pointer.Position = {205, 205};
    Mouse(form, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    pointer.Position = {20, 20};
    Mouse(form, QEvent::MouseMove);  // the button was let go elsewhere: still sampling
    pointer.Position = {5000, 5000};  // no screen here: the colour stays
    Mouse(form, QEvent::MouseMove);
    EXPECT_EQ(colors, (std::vector<std::uint32_t>{0x0000FF, 0xFFFFFF}));

    Mouse(form, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_FALSE(mouse->Capturing());
    EXPECT_EQ(pointer.Grabber, nullptr);
    EXPECT_FALSE(image->isHidden());
    Mouse(form, QEvent::MouseMove);  // idle: no sampling, and releasing does not sample
    EXPECT_EQ(colors.size(), 2u);
    EXPECT_EQ(screen.Reads, 3);
}

TEST_F(TinctorMouseTest, PressAndReleaseWithoutMovingChangesNothing) {
    auto mouse = Make();
    mouse->StartCapture();
    Mouse(form, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_TRUE(colors.empty());
    EXPECT_EQ(screen.Reads, 0);
    EXPECT_FALSE(image->isHidden());
    EXPECT_EQ(pointer.Releases, 1);
}

TEST_F(TinctorMouseTest, RightAndMiddleReleasesEndThePickToo) {
    auto mouse = Make();
    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
        mouse->StartCapture();
        Mouse(form, QEvent::MouseButtonRelease, b);
        EXPECT_FALSE(mouse->Capturing());
    }
    EXPECT_EQ(pointer.Releases, 2);
    Mouse(form, QEvent::MouseButtonRelease, Qt::LeftButton);  // idle release: nothing to end
    EXPECT_EQ(pointer.Releases, 2);
}

TEST_F(TinctorMouseTest, DestroyingItDuringAPickEndsThePick) {
    auto mouse = Make();
    mouse->StartCapture();
    mouse.reset();
    EXPECT_EQ(pointer.Grabber, nullptr);
    EXPECT_FALSE(image->isHidden());
    pointer.Position = {205, 205};
    Mouse(form, QEvent::MouseMove);
    EXPECT_TRUE(colors.empty());
}

TEST_F(TinctorMouseTest, AnErrorWhileSamplingGoesToTheStandardErrorBox) {
    TFakeDialogs dialogs;
    TTinctorMouse mouse(&form, SpoitCursor(), image, [](std::uint32_t) { throw std::runtime_error("x"); }, pointer,
                        screen);
    mouse.StartCapture();
    pointer.Position = {205, 205};
    Mouse(form, QEvent::MouseMove);
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{"x"});
    EXPECT_TRUE(mouse.Capturing());
}

TEST(Spoit, PictureIsThirtyTwoSquareWithItsTipAtTheHotSpot) {
    test::App();
    const QImage picture = SpoitPicture().toImage();
    EXPECT_EQ(picture.size(), QSize(32, 32));
    EXPECT_GT(qAlpha(picture.pixel(SpoitHotSpot.x() + 1, SpoitHotSpot.y() - 1)), 0);  // the tip
    EXPECT_EQ(qAlpha(picture.pixel(2, 29)), 0);                                      // beyond it
    EXPECT_EQ(qAlpha(picture.pixel(2, 2)), 0);
    EXPECT_EQ(SpoitCursor().hotSpot(), QPoint(7, 24));
}

// Under a scale factor the picture has the screen's pixels, drawn anew rather than
// stretched, and the tip lies on the device pixel the hot spot stands for.
TEST(Spoit, UnderAScaleFactorThePictureIsDrawnAtDevicePixelsWithTheTipAtTheHotSpot) {
    test::App();
    const struct {
        qreal Ratio;
        int Side;
        QPoint Hot;
    } cases[] = {{1, 32, {7, 24}}, {1.5, 48, {10, 36}}, {2, 64, {14, 48}}, {3, 96, {21, 72}}};
    const QImage single = SpoitPicture(1).toImage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Ratio);
        const QPixmap pixmap = SpoitPicture(c.Ratio);
        EXPECT_EQ(pixmap.devicePixelRatio(), c.Ratio);
        const QImage picture = pixmap.toImage();
        ASSERT_EQ(picture.size(), QSize(c.Side, c.Side));
        EXPECT_EQ(SpoitHotPixel(c.Ratio), c.Hot);
        EXPECT_GT(qAlpha(picture.pixel(c.Hot)), 0);  // the tip
        // Beyond the tip, along the dropper, and in the far corners: nothing.
        const int beyond = qCeil(3 * c.Ratio);
        EXPECT_EQ(qAlpha(picture.pixel(c.Hot + QPoint(-beyond, beyond))), 0);
        EXPECT_EQ(qAlpha(picture.pixel(1, 1)), 0);
        EXPECT_EQ(qAlpha(picture.pixel(c.Side - 2, c.Side - 2)), 0);
        if (c.Ratio > 1) {
            const QImage stretched = single.scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
            EXPECT_NE(picture.convertToFormat(stretched.format()), stretched) << "stretched, not drawn";
        }
    }
}

}  // namespace
}  // namespace tinctor
