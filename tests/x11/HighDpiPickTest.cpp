// The real program under a desktop scale factor: the eyedropper picks the very device
// pixel under the pointer, also where one global point stands for several of them.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "ProgramDriver.h"

// Xlib's macros clash with test names: X headers come last.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace tinctor::test {
namespace {

// A board of 1-pixel cells of distinct colours, away from where the program opens;
// the origin is odd, so that cells fall on both halves of a scaled point.
constexpr int BoardX = 1001;
constexpr int BoardY = 701;
constexpr int BoardSide = 8;

unsigned long CellColour(int column, int row) {
    const unsigned long red = 0x10 + 0x20 * column, green = 0x10 + 0x20 * row;
    const unsigned long blue = (column + row) % 2 ? 0xC0 : 0x40;
    return red << 16 | green << 8 | blue;
}

std::string Hex(unsigned long rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "#%06lX", rgb & 0xFFFFFF);
    return text;
}

// The board as the background of a window of another client: the server paints it.
class TBoard {
public:
    TBoard() : display_(XOpenDisplay(nullptr)) {
        if (!display_) return;
        const Window root = DefaultRootWindow(display_);
        const int depth = DefaultDepth(display_, DefaultScreen(display_));
        const Pixmap tiles = XCreatePixmap(display_, root, BoardSide, BoardSide, depth);
        const GC gc = XCreateGC(display_, tiles, 0, nullptr);
        for (int row = 0; row < BoardSide; ++row)
            for (int column = 0; column < BoardSide; ++column) {
                XSetForeground(display_, gc, CellColour(column, row));
                XDrawPoint(display_, tiles, gc, column, row);
            }
        XFreeGC(display_, gc);
        const Window window = XCreateSimpleWindow(display_, root, BoardX, BoardY, BoardSide, BoardSide, 0, 0, 0);
        XSetWindowBackgroundPixmap(display_, window, tiles);
        XFreePixmap(display_, tiles);
        XMapWindow(display_, window);
        XSync(display_, False);
    }
    ~TBoard() {
        if (display_) XCloseDisplay(display_);
    }
    TBoard(const TBoard&) = delete;
    TBoard& operator=(const TBoard&) = delete;
    bool Shown() const { return display_ != nullptr; }

private:
    Display* display_;
};

// The pointer's cursor as the server shows it: its size, hot spot and opacity.
class TCursorShape {
public:
    TCursorShape() {
        Display* display = XOpenDisplay(nullptr);
        if (!display) return;
        if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
            width_ = image->width;
            height_ = image->height;
            hot_ = {image->xhot, image->yhot};
            for (int i = 0; i < width_ * height_; ++i) alpha_.push_back(static_cast<int>(image->pixels[i] >> 24 & 0xFF));
            XFree(image);
        }
        XCloseDisplay(display);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::pair<int, int> Hot() const { return hot_; }
    // Transparent outside the picture.
    int Alpha(int x, int y) const {
        return x < 0 || y < 0 || x >= width_ || y >= height_ ? 0 : alpha_[static_cast<std::size_t>(y * width_ + x)];
    }

private:
    int width_ = 0, height_ = 0;
    std::pair<int, int> hot_;
    std::vector<int> alpha_;
};

// X resources loaded on the server for the object's lifetime: the server serves every
// test of the program, so what it had before comes back.
class TXResources {
public:
    explicit TXResources(const std::string& lines) : before_(Shell("xrdb -query")) {
        if (!lines.empty()) Shell("printf '%s\\n' '" + lines + "' | xrdb -merge");
    }
    ~TXResources() {
        if (before_.empty())
            Shell("xrdb -remove");
        else
            Shell("printf '%s' '" + before_ + "' | xrdb -load");
    }
    TXResources(const TXResources&) = delete;
    TXResources& operator=(const TXResources&) = delete;

private:
    std::string before_;
};

// How the desktop asks Qt to scale: an environment variable or the X resources that
// desktops set for the font resolution.
struct TScaleCase {
    const char* Name;
    const char* Variable;
    const char* Value;
    const char* Resources;
    double Ratio;  // device pixels per global point
};

class HighDpiPick : public TProgramTest, public ::testing::WithParamInterface<TScaleCase> {};

TEST_P(HighDpiPick, TheEyedropperPicksTheDevicePixelUnderThePointer) {
    const TScaleCase scale = GetParam();
    TBoard board;
    ASSERT_TRUE(board.Shown());
    ASSERT_TRUE(WaitFor([] { return ScreenPixel(BoardX + 1, BoardY) == Hex(CellColour(1, 0)); }));
    const TXResources resources(scale.Resources);
    if (*scale.Variable) environment = {{scale.Variable, scale.Value}};
    ratio = scale.Ratio;
    // Without the loupe: this is about the pick alone.
    ASSERT_NO_FATAL_FAILURE(Open("[Window]\r\nMagnifier=0\r\n")) << "the window at scale " << scale.Ratio;
    const auto swatch = [&] { return ColourAt(TControl::Swatch); };
    ASSERT_EQ(swatch(), "#000000");

    // The eyedropper of a pick is drawn at the screen's pixels, and the hot spot that
    // picks is on its tip: a dropper's length beyond it there is nothing.
    constexpr int Side = 32, TipLength = 3;
    Shell("xdotool mousemove " + At(TControl::Spoit) + " mousedown 1 mousemove 600 500");
    TCursorShape cursor;
    EXPECT_TRUE(WaitFor([&] {
        cursor = TCursorShape();
        return cursor.Width() == static_cast<int>(std::ceil(Side * scale.Ratio));
    })) << "a cursor of " << cursor.Width() << " pixels at scale " << scale.Ratio;
    Shell("xdotool mouseup 1");
    EXPECT_EQ(cursor.Height(), cursor.Width());
    const auto [hotX, hotY] = cursor.Hot();
    EXPECT_GT(cursor.Alpha(hotX, hotY), 0) << "the hot spot " << hotX << "," << hotY;
    const int beyond = static_cast<int>(std::ceil(TipLength * scale.Ratio));
    EXPECT_EQ(cursor.Alpha(hotX - beyond, hotY + beyond), 0) << "the hot spot " << hotX << "," << hotY;

    const std::vector<std::pair<int, int>> cells = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {6, 3}, {3, 6}};
    for (const auto& [column, row] : cells) {
        const int x = BoardX + column, y = BoardY + row;
        Shell("xdotool mousemove " + At(TControl::Spoit) + " mousedown 1 mousemove " + std::to_string(x + 30) + " " +
              std::to_string(y + 30) + " sleep 0.1 mousemove " + std::to_string(x) + " " + std::to_string(y) +
              " sleep 0.3 mouseup 1");
        const std::string expected = Hex(CellColour(column, row));
        EXPECT_TRUE(WaitFor([&] { return swatch() == expected; }))
            << "cell " << column << "," << row << " at scale " << scale.Ratio << ": " << swatch() << " not "
            << expected;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, HighDpiPick,
                         ::testing::Values(TScaleCase{"QT_SCALE_FACTOR_1", "QT_SCALE_FACTOR", "1", "", 1},
                                           TScaleCase{"QT_SCALE_FACTOR_2", "QT_SCALE_FACTOR", "2", "", 2},
                                           TScaleCase{"QT_SCREEN_SCALE_FACTORS_2", "QT_SCREEN_SCALE_FACTORS", "2", "", 2},
                                           TScaleCase{"Xft_dpi_192", "", "", "Xft.dpi: 192", 2},
                                           TScaleCase{"QT_SCALE_FACTOR_1_5", "QT_SCALE_FACTOR", "1.5", "", 1.5},
                                           TScaleCase{"Xft_dpi_144", "", "", "Xft.dpi: 144", 1.5}),
                         [](const ::testing::TestParamInfo<TScaleCase>& info) { return info.param.Name; });

}  // namespace
}  // namespace tinctor::test
