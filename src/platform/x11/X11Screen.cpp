#include "platform/x11/X11Screen.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <bit>
#include <cstdlib>
#include <memory>

#include "platform/x11/DevicePixels.h"
#include "platform/x11/X11Platform.h"

// Xlib's macros clash with Qt's names: X headers come last.
#include <xcb/xcb.h>

namespace tinctor {

namespace {

constexpr std::uint32_t AllPlanes = ~0u;

struct TFree {
    void operator()(void* p) const { std::free(p); }
};

// The 8-bit value of the channel under Mask in Pixel.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const std::uint32_t value = (pixel & mask) >> std::countr_zero(mask);
    const int bits = std::popcount(mask);
    return bits >= 8 ? value >> (bits - 8) : (value * 255u) / ((1u << bits) - 1u);
}

}  // namespace

bool TX11Screen::Prepare() {
    if (layout_.Known) return layout_.Usable;
    layout_.Known = true;
    xcb_connection_t* c = QtConnection();
    if (!c) return false;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    layout_.Root = screen->root;
    layout_.RootWidth = screen->width_in_pixels;
    layout_.RootHeight = screen->height_in_pixels;
    layout_.LittleEndian = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths)) {
        if (depths.data->depth != screen->root_depth) continue;
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
            const xcb_visualtype_t* v = visuals.data;
            if (v->visual_id != screen->root_visual || v->_class != XCB_VISUAL_CLASS_TRUE_COLOR) continue;
            layout_.Masks[0] = v->red_mask;
            layout_.Masks[1] = v->green_mask;
            layout_.Masks[2] = v->blue_mask;
        }
    }
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats))
        if (formats.data->depth == screen->root_depth) layout_.BytesPerPixel = formats.data->bits_per_pixel / 8;
    layout_.Usable = layout_.Masks[0] && (layout_.BytesPerPixel == 2 || layout_.BytesPerPixel == 4);
    return layout_.Usable;
}

std::optional<TColor> TX11Screen::PixelAt(QPoint pos) {
    QScreen* screen = QGuiApplication::screenAt(pos);
    if (!screen) return std::nullopt;
    if (!Prepare()) return GrabbedPixelAt(pos);
    return ReadPixel(DevicePixel(*screen, pos));
}

std::optional<TColor> TX11Screen::DevicePixelAt(QPoint pos) {
    QScreen* screen = ScreenAtDevicePixel(pos);
    if (!screen) return std::nullopt;
    if (!Prepare()) return GrabbedPixelAt(GlobalPoint(*screen, pos));
    return ReadPixel(pos);
}

std::optional<TColor> TX11Screen::ReadPixel(QPoint pixel) const {
    xcb_connection_t* c = QtConnection();
    const std::unique_ptr<xcb_get_image_reply_t, TFree> reply(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, layout_.Root, static_cast<std::int16_t>(pixel.x()),
                      static_cast<std::int16_t>(pixel.y()), 1, 1, AllPlanes),
        nullptr));
    if (!reply || xcb_get_image_data_length(reply.get()) < layout_.BytesPerPixel) return std::nullopt;
    return Decode(xcb_get_image_data(reply.get()));
}

TColor TX11Screen::Decode(const std::uint8_t* data) const {
    std::uint32_t pixel = 0;
    for (int i = 0; i < layout_.BytesPerPixel; ++i) {
        const int at = layout_.LittleEndian ? layout_.BytesPerPixel - 1 - i : i;
        pixel = (pixel << 8) | data[at];
    }
    return RGBToColor(static_cast<std::uint8_t>(Channel(pixel, layout_.Masks[0])),
                      static_cast<std::uint8_t>(Channel(pixel, layout_.Masks[1])),
                      static_cast<std::uint8_t>(Channel(pixel, layout_.Masks[2])));
}

void TX11Screen::PixelsAround(QPoint pos, int radius, std::vector<std::optional<TColor>>& pixels) {
    QScreen* screen = QGuiApplication::screenAt(pos);
    if (!screen || !Prepare()) return IScreen::PixelsAround(pos, radius, pixels);
    ReadSquare(DevicePixel(*screen, pos), radius, pixels);
}

void TX11Screen::DevicePixelsAround(QPoint pos, int radius, std::vector<std::optional<TColor>>& pixels) {
    if (!ScreenAtDevicePixel(pos) || !Prepare()) {
        pixels.clear();
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) pixels.push_back(DevicePixelAt(pos + QPoint(dx, dy)));
        return;
    }
    ReadSquare(pos, radius, pixels);
}

void TX11Screen::ReadSquare(QPoint centre, int radius, std::vector<std::optional<TColor>>& pixels) const {
    const int side = 2 * radius + 1;
    pixels.assign(static_cast<std::size_t>(side) * static_cast<std::size_t>(side), std::nullopt);
    // The square cut to the root window (GetImage refuses more).
    const QRect square(centre - QPoint(radius, radius), QSize(side, side));
    const QRect read = square.intersected(QRect(0, 0, layout_.RootWidth, layout_.RootHeight));
    if (read.isEmpty()) return;
    xcb_connection_t* c = QtConnection();
    const std::unique_ptr<xcb_get_image_reply_t, TFree> reply(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, layout_.Root, static_cast<std::int16_t>(read.x()),
                      static_cast<std::int16_t>(read.y()), static_cast<std::uint16_t>(read.width()),
                      static_cast<std::uint16_t>(read.height()), AllPlanes),
        nullptr));
    if (!reply) return;
    // Rows are padded to the server's scanline unit.
    const int length = xcb_get_image_data_length(reply.get());
    const int stride = read.height() > 0 ? length / read.height() : 0;
    if (stride < read.width() * layout_.BytesPerPixel) return;
    const std::uint8_t* data = xcb_get_image_data(reply.get());
    for (int row = 0; row < read.height(); ++row)
        for (int column = 0; column < read.width(); ++column) {
            const int index = (read.y() - square.y() + row) * side + (read.x() - square.x() + column);
            pixels[static_cast<std::size_t>(index)] = Decode(data + row * stride + column * layout_.BytesPerPixel);
        }
}

std::optional<TColor> TX11Screen::GrabbedPixelAt(QPoint pos) const {
    QScreen* screen = QGuiApplication::screenAt(pos);
    if (!screen) return std::nullopt;
    // Window 0 is the root window, which spans the whole desktop: global coordinates.
    const QImage image = screen->grabWindow(0, pos.x(), pos.y(), 1, 1).toImage();
    if (image.width() < 1 || image.height() < 1) return std::nullopt;
    return ArgbToColor(image.pixel(0, 0));
}

}  // namespace tinctor
