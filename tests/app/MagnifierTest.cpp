// The loupe of screen picking: where it goes, what it shows, the pixels it may still
// cover, and the setting that turns it off.
#include <QMouseEvent>

#include "FormFixture.h"
#include "app/Magnifier.h"
#include "platform/fake/FakePlatform.h"

namespace tinctor::testing {
namespace {

constexpr QSize LoupeSize = TMagnifier::Size;

// The square of pixels the loupe shows around Pointer.
QRect SampledSquare(QPoint pointer) {
    return {pointer - QPoint(TMagnifier::Radius, TMagnifier::Radius), QSize(TMagnifier::Side, TMagnifier::Side)};
}

TEST(MagnifierPlace, BesideThePointerOnTheSideWhereItFits) {
    const QRect screen(0, 0, 800, 600);
    const QRect second(800, 0, 1024, 768);  // a screen right of the first
    const struct {
        const char* Case;
        QPoint Pointer;
        QRect Screen;
        QPoint Place;
    } cases[] = {
        {"middle", {400, 300}, screen, {416, 316}},
        {"top left corner", {0, 0}, screen, {16, 16}},
        {"right edge", {790, 300}, screen, {790 - 16 - 122 + 1, 316}},
        {"bottom edge", {400, 590}, screen, {416, 590 - 16 - 138 + 1}},
        {"bottom right corner", {799, 599}, screen, {662, 446}},
        {"just fits after", {800 - 16 - 122, 300}, screen, {800 - 122, 316}},
        {"one too far", {800 - 16 - 121, 300}, screen, {800 - 16 - 121 - 16 - 122 + 1, 316}},
        {"left edge of the second screen", {805, 10}, second, {821, 26}},
    };
    for (const auto& c : cases) {
        const QPoint place = TMagnifier::PlaceFor(c.Pointer, LoupeSize, c.Screen);
        EXPECT_EQ(place, c.Place) << c.Case;
        const QRect loupe(place, LoupeSize);
        EXPECT_TRUE(c.Screen.contains(loupe)) << c.Case;
        EXPECT_FALSE(loupe.intersects(SampledSquare(c.Pointer))) << c.Case;
    }
}

class MagnifierTest : public ::testing::Test {
protected:
    TTinctorApplication& application = Application();  // before any widget

    // Every pixel of the area gets a colour of its own.
    void Paint(const QRect& area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) screen.SetPixel({x, y}, ColourAt(x, y));
    }
    static TColor ColourAt(int x, int y) {
        return RGBToColor(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x ^ y));
    }
    // The loupe's picture holds the device's pixels: under a scale factor N of them per point.
    int Ratio() const { return qRound(loupe.devicePixelRatioF()); }
    // The colour of the picture at the point At (its first device pixel).
    TColor ShownAt(const QImage& picture, QPoint at) const { return ArgbToColor(picture.pixel(at * Ratio())); }
    // The colour the loupe shows in the middle of the cell of the pixel at Column, Row.
    TColor Shown(const QImage& picture, int column, int row) const {
        const int half = TMagnifier::Zoom / 2;
        return ShownAt(picture, {TMagnifier::Border + column * TMagnifier::Zoom + half,
                                 TMagnifier::Border + row * TMagnifier::Zoom + half});
    }
    int Unknown() const {
        int count = 0;
        for (const auto& pixel : loupe.Pixels()) count += !pixel;
        return count;
    }

    TFakeScreen screen;
    std::vector<TColor> codes;  // the colours whose code the loupe asked for
    TMagnifier loupe{nullptr, screen, [this](TColor c) {
                         codes.push_back(c);
                         return QStringLiteral("#code");
                     }};
};

TEST_F(MagnifierTest, ShowsTheSquareAroundThePointerEightTimesWithTheCentreFramed) {
    const QPoint pointer(100, 200);
    Paint(SampledSquare(pointer).adjusted(-3, -3, 3, 3));
    loupe.Follow(pointer);
    EXPECT_TRUE(loupe.isVisible());
    EXPECT_EQ(loupe.pos(), pointer + QPoint(TMagnifier::Gap, TMagnifier::Gap));

    const QImage picture = loupe.grab().toImage();
    ASSERT_EQ(picture.size(), LoupeSize * Ratio());
    int wrong = 0;
    for (int row = 0; row < TMagnifier::Side; ++row)
        for (int column = 0; column < TMagnifier::Side; ++column) {
            const TColor expected = ColourAt(pointer.x() + column - TMagnifier::Radius,
                                             pointer.y() + row - TMagnifier::Radius);
            wrong += loupe.Pixels()[row * TMagnifier::Side + column] != expected;
            wrong += Shown(picture, column, row) != expected;
        }
    EXPECT_EQ(wrong, 0);
    // The frame lies just outside the centre cell: black, then white.
    const int centreLeft = TMagnifier::Border + TMagnifier::Radius * TMagnifier::Zoom;
    const int middle = centreLeft + TMagnifier::Zoom / 2;
    EXPECT_EQ(ShownAt(picture, {centreLeft - 2, middle}), RGBToColor(0, 0, 0));
    EXPECT_EQ(ShownAt(picture, {centreLeft - 1, middle}), RGBToColor(255, 255, 255));
    EXPECT_EQ(ShownAt(picture, {centreLeft, middle}), ColourAt(pointer.x(), pointer.y()));
    // The code beneath is the centre pixel's.
    EXPECT_EQ(codes, std::vector<TColor>{ColourAt(pointer.x(), pointer.y())});
}

TEST_F(MagnifierTest, PixelsOffTheScreenAreUnknownNotAColour) {
    screen.Bounds = QRect(0, 0, 640, 480);
    const struct {
        QPoint Pointer;
        int Unknown;
    } cases[] = {{{2, 2}, 225 - 10 * 10}, {{639, 240}, 225 - 8 * 15}, {{320, 240}, 0}};
    for (const auto& c : cases) {
        loupe.hide();
        loupe.Follow(c.Pointer);
        EXPECT_EQ(Unknown(), c.Unknown) << c.Pointer.x() << "," << c.Pointer.y();
    }
}

TEST_F(MagnifierTest, PixelsTheLoupeMayStillCoverAreLeftOutAndReadAgain) {
    Paint(QRect(0, 0, 400, 400));
    const struct {
        const char* Case;
        QPoint From, To;
        int Covered;
        bool CentreCovered;
    } cases[] = {
        // The loupe stood at From + 16: (116, 116) to (237, 253).
        {"a jump into the loupe", {100, 100}, {140, 140}, 225, true},
        {"a corner of the square", {100, 100}, {110, 110}, 4, false},
        {"away from the loupe", {100, 100}, {90, 95}, 0, false},
        {"just past its right edge", {100, 100}, {238 + 7, 150}, 0, false},
    };
    for (const auto& c : cases) {
        loupe.hide();
        loupe.Follow(c.From);
        std::vector<TColor> late;
        loupe.OnLateCentre = [&late](TColor colour) { late.push_back(colour); };
        loupe.Follow(c.To);
        EXPECT_EQ(Unknown(), c.Covered) << c.Case;
        loupe.ReadAgain();
        EXPECT_EQ(Unknown(), 0) << c.Case;
        EXPECT_EQ(loupe.Pixels()[TMagnifier::Radius * TMagnifier::Side + TMagnifier::Radius],
                  ColourAt(c.To.x(), c.To.y()))
            << c.Case;
        EXPECT_EQ(late, c.CentreCovered ? std::vector<TColor>{ColourAt(c.To.x(), c.To.y())} : std::vector<TColor>{})
            << c.Case;
        loupe.OnLateCentre = nullptr;
    }
}

class LoupeFormTest : public FormTest {
protected:
    TFakePlatform desktop;

    void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held = Qt::NoButton) {
        QMouseEvent e(type, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
};

TEST_F(LoupeFormTest, APickShowsTheLoupeUnlessTheSettingsTurnItOff) {
    const struct {
        const char* Ini;
        bool Shown;
    } cases[] = {{"", true}, {"[Window]\r\nMagnifier=1\r\n", true}, {"[Window]\r\nMagnifier=0\r\n", false}};
    for (const auto& c : cases) {
        WriteIni(c.Ini);
        Open();
        form->show();
        auto* loupe = form->findChild<TMagnifier*>(QStringLiteral("Magnifier"));
        ASSERT_NE(loupe, nullptr);
        // Near the top left: the loupe fits after the pointer on the test's screen also at
        // a scale of 2, where the screen has half as many points.
        desktop.Screen().Fill(QRect(100, 100, 20, 20), RGBToColor(0, 0, 255));

        desktop.Pointer().Position = {110, 110};
        Send(Control("SpoitImage"), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
        EXPECT_EQ(loupe->isVisible(), c.Shown) << c.Ini;
        desktop.Pointer().Position = {112, 111};
        Send(form.get(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(loupe->isVisible(), c.Shown) << c.Ini;
        EXPECT_EQ(Text("CCode"), "#0000FF") << c.Ini;  // the pick itself is the same either way
        if (c.Shown) EXPECT_EQ(loupe->pos(), QPoint(112 + 16, 111 + 16)) << c.Ini;
        Send(form.get(), QEvent::MouseButtonRelease, Qt::LeftButton);
        EXPECT_FALSE(loupe->isVisible()) << c.Ini;
        form.reset();
    }
}

}  // namespace
}  // namespace tinctor::testing
