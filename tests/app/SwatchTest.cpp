// A swatch refilling its kept picture shows what drawing it afresh shows, for any
// colour after any other, at device pixel ratios 1 and 2.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "FormFixture.h"
#include "app/Swatch.h"

namespace tinctor::testing {
namespace {

TEST(Swatch, RefilledPictureEqualsAFreshDrawing) {
    Application();
    QWidget strip;
    strip.resize(60, 25);
    const QColor background = strip.palette().color(QPalette::Window);
    const TColor colours[] = {RGBToColor(255, 128, 0), 0, RGBToColor(255, 255, 255), RGBToColor(1, 2, 3),
                              RGBToColor(0, 0, 255)};
    for (const QSize size : {QSize(41, 25), QSize(12, 25)})
        for (const qreal ratio : {1.0, 2.0}) {
            TSwatch swatch(&strip);
            swatch.resize(size);
            for (const TColor colour : colours) {
                swatch.SetColor(colour);
                QImage painted(size * ratio, QImage::Format_RGB32), expected(size * ratio, QImage::Format_RGB32);
                painted.setDevicePixelRatio(ratio);
                expected.setDevicePixelRatio(ratio);
                painted.fill(Qt::magenta);
                swatch.render(&painted);
                QPainter painter(&expected);
                PaintSwatch(painter, size, background, ToQColor(colour));
                painter.end();
                EXPECT_EQ(painted, expected) << size.width() << " ratio " << ratio << " colour " << colour;
                // The colour is inside the outline, the corner outside it is the strip's.
                EXPECT_EQ(painted.pixelColor(painted.width() / 2, painted.height() / 2), ToQColor(colour));
                EXPECT_EQ(painted.pixelColor(0, 0), background);
            }
        }
}

}  // namespace
}  // namespace tinctor::testing
