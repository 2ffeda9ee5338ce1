// The real program on a real X server: the loupe of a screen pick shows the pixels
// around the pointer eight times enlarged, beside the pointer, and goes with the pick.
#include <string>
#include <vector>

#include "ProgramDriver.h"

namespace tinctor::test {
namespace {

// The loupe's own places.
constexpr int Radius = 7;
constexpr int Side = 2 * Radius + 1;
constexpr int Zoom = 8;
constexpr int Gap = 16;  // from the pointer to the loupe's top-left corner
constexpr int Border = 1;

class Magnifier : public TProgramTest {};

TEST_F(Magnifier, ShowsThePixelsAroundThePointerBesideItAndClosesWithThePick) {
    ASSERT_NO_FATAL_FAILURE(Open());

    // Over the colour table's gradient, where neighbouring pixels differ.
    const int x = left + 50, y = top + 80;
    const int width = Radius + Gap + 2 * Border + Side * Zoom, height = width;
    const std::vector<std::string> before = ScreenPixels(x - Radius, y - Radius, width, height);
    Shell("xdotool mousemove " + At(TControl::Spoit) + " mousedown 1 mousemove " + std::to_string(x + 20) + " " + std::to_string(y + 20) + " sleep 0.2 mousemove " +
          std::to_string(x) + " " + std::to_string(y));

    // Each enlarged pixel shows the screen pixel it stands for, which the loupe leaves uncovered.
    const auto wrongCells = [&](const std::vector<std::string>& screen) {
        int wrong = 0;
        for (int row = 0; row < Side; ++row)
            for (int column = 0; column < Side; ++column) {
                const int cellX = Radius + Gap + Border + column * Zoom + Zoom / 2;
                const int cellY = Radius + Gap + Border + row * Zoom + Zoom / 2;
                wrong += screen[static_cast<std::size_t>(cellY * width + cellX)] !=
                         screen[static_cast<std::size_t>(row * width + column)];
            }
        return wrong;
    };
    std::vector<std::string> during;
    EXPECT_TRUE(WaitFor([&] {
        during = ScreenPixels(x - Radius, y - Radius, width, height);
        return wrongCells(during) == 0;
    })) << wrongCells(during) << " of 225 cells differ";
    for (int i = 0; i < Side; ++i)
        EXPECT_EQ(during[static_cast<std::size_t>(i * width + i)], before[static_cast<std::size_t>(i * width + i)]);
    // The pick takes the centre pixel.
    EXPECT_TRUE(WaitFor([&] { return ColourAt(TControl::Swatch) == ScreenPixel(x, y); }));

    Shell("xdotool mouseup 1");
    const std::size_t loupeCentre = static_cast<std::size_t>((Radius + Gap + 60) * width + Radius + Gap + 60);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixels(x - Radius, y - Radius, width, height)[loupeCentre] == before[loupeCentre]; }));
}

}  // namespace
}  // namespace tinctor::test
