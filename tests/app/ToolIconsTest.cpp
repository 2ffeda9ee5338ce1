// The toolbar's pictures under a desktop scale: drawn at the device pixel ratio, so
// that at 2 they have twice the pixels and their own detail, not the small picture
// stretched; the buttons' icons carry that picture.
#include <gtest/gtest.h>

#include <QImage>

#include "FormFixture.h"
#include "app/ToolIcons.h"

namespace tinctor::testing {
namespace {

QImage Argb(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied); }

TEST(ToolIcons, PicturesAreDrawnAtTheDevicePixelRatio) {
    Application();
    const struct {
        const char* name;
        TToolIcon icon;
    } cases[] = {
        {"Html", TToolIcon::Html},
        {"Spoit", TToolIcon::Spoit},
        {"Config", TToolIcon::Config},
        {"CopyToClipboard", TToolIcon::CopyToClipboard},
    };
    for (const auto& c : cases) {
        const QPixmap doubled = ToolPixmap(c.icon, 2.0);
        EXPECT_EQ(doubled.devicePixelRatio(), 2.0) << c.name;
        EXPECT_EQ(doubled.size(), QSize(32, 32)) << c.name;
        EXPECT_EQ(doubled.deviceIndependentSize(), QSizeF(16, 16)) << c.name;
        const QImage stretched = Argb(ToolPixmap(c.icon)).scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        EXPECT_NE(Argb(doubled), stretched) << c.name << ": the small picture stretched";
        const QPixmap fromIcon = ToolIconOf(c.icon).pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(Argb(fromIcon), Argb(doubled)) << c.name << ": the icon's picture at 2";
    }
}

}  // namespace
}  // namespace tinctor::testing
