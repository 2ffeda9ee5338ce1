// The slider bar painted from its two pictures shows, pixel for pixel, what the style
// paints for a plain scroll bar, at every position and at device pixel ratios 1 and 2.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QStyleOptionSlider>
#include <QScrollBar>
#include <QWidget>

#include "FormFixture.h"
#include "app/SliderBar.h"

namespace tinctor::testing {
namespace {

// A plain scroll bar whose style option the test can read.
struct TPlainBar : QScrollBar {
    using QScrollBar::QScrollBar;
    using QScrollBar::initStyleOption;
};

// What the window shows of Bar at Ratio device pixels per pixel.
QImage Rendered(QWidget* bar, qreal ratio) {
    QImage image(bar->size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    bar->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
}

// What the style paints for the plain bar on a device of Ratio: at 1 through the bar's
// own paint; at 2 straight onto a picture of that ratio, as it paints into a window's
// buffer under a scale factor (rendering a widget of ratio 1 would give its pictures
// stretched).
QImage Expected(TPlainBar& plain, qreal ratio) {
    if (ratio == 1) return Rendered(&plain, ratio);
    QStyleOptionSlider option;
    plain.initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    QImage image(plain.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    plain.style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, &plain);
    return image;
}

TEST(SliderBar, PaintsWhatTheStylePaintsAtEveryPosition) {
    Application();
    const struct {
        int Maximum, PageStep;
        bool Enabled;
        qreal Ratio;
    } cases[] = {
        {255, 5, true, 1}, {255, 1, true, 1}, {359, 5, true, 1}, {255, 5, false, 1},
        {255, 5, true, 2}, {359, 5, true, 2}, {255, 1, false, 2},
    };
    for (const auto& c : cases) {
        QWidget page;
        page.resize(165, 40);
        TPlainBar plain(Qt::Horizontal, &page);
        TSliderBar bar(&page);
        for (QScrollBar* each : {static_cast<QScrollBar*>(&plain), static_cast<QScrollBar*>(&bar)}) {
            each->setGeometry(20, 3, 139, 14);
            each->setRange(0, c.Maximum);
            each->setPageStep(c.PageStep);
            each->setEnabled(c.Enabled);
        }
        int differing = 0, fromPictures = 0;
        for (int value = 0; value <= c.Maximum; ++value) {
            plain.setValue(value);
            bar.setValue(value);
            const QImage expected = Expected(plain, c.Ratio);
            const QImage painted = Rendered(&bar, c.Ratio);
            fromPictures += bar.PaintedFromPictures();
            if (painted != expected && ++differing <= 3)
                ADD_FAILURE() << "maximum " << c.Maximum << " page " << c.PageStep << " ratio " << c.Ratio
                              << ": position " << value << " differs";
        }
        EXPECT_EQ(differing, 0) << "maximum " << c.Maximum << " ratio " << c.Ratio;
        // The pictures did the painting: otherwise the comparison proves nothing.
        EXPECT_EQ(fromPictures, c.Maximum + 1) << "maximum " << c.Maximum << " ratio " << c.Ratio;
    }
}

}  // namespace
}  // namespace tinctor::testing
