// A line drawn from the glyphs kept per character shows, pixel for pixel, what the
// painter's own text drawing shows, for every value label text and the codes of many
// colours in every notation; and the fitted labels draw that way.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <vector>

#include "FormFixture.h"
#include "app/FitLabel.h"
#include "app/GlyphLine.h"
#include "colour/StrColor.h"
#include "platform/QtText.h"

namespace tinctor::testing {
namespace {

std::vector<QString> LabelTexts() {
    std::vector<QString> texts;
    for (int value = 0; value <= 359; ++value) {
        if (value <= 255) texts.push_back(QString::asprintf("R：%.2X", value));
        texts.push_back(QString::asprintf("H：%.3d°", value));
    }
    const int levels[] = {0x00, 0x0F, 0x33, 0x80, 0xA0, 0xC0, 0xFF};
    const TColorCodeOptions options[] = {{}, {true, true, false}, {true, false, false}, {false, false, true}};
    for (int r : levels)
        for (int g : levels)
            for (int b : levels)
                for (int notation = HtmlNotation; notation <= DoubleWordNotation; ++notation)
                    for (const TColorCodeOptions& option : options)
                        texts.push_back(ToQString(FormatColorCode(RGBToColor(r, g, b), notation, option)));
    return texts;
}

QImage Blank(QSize size, qreal ratio) {
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}

TEST(GlyphLine, DrawsAsThePainterDrawsText) {
    Application();
    const std::vector<QString> texts = LabelTexts();
    const struct {
        QRect Place;
        Qt::Alignment Alignment;
        int PixelSize;
        qreal Ratio;
    } cases[] = {
        {{0, 0, 93, 13}, Qt::AlignRight | Qt::AlignVCenter, 12, 1},
        {{0, 0, 93, 13}, Qt::AlignRight | Qt::AlignVCenter, 9, 1},
        {{1, 1, 44, 12}, Qt::AlignLeft | Qt::AlignTop, 12, 1},
        {{0, 0, 93, 13}, Qt::AlignRight | Qt::AlignVCenter, 12, 2},
        {{1, 1, 44, 12}, Qt::AlignLeft | Qt::AlignTop, 11, 2},
        {{0, 0, 60, 20}, Qt::AlignLeft | Qt::AlignVCenter, 12, 1},
        {{0, 0, 30, 9}, Qt::AlignRight | Qt::AlignBottom, 12, 1},
    };
    for (const auto& c : cases) {
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPixelSize(c.PixelSize);
        const TGlyphLine& line = TGlyphLine::Of(font);
        const QSize size(c.Place.right() + 2, c.Place.bottom() + 2);
        int drawn = 0, differing = 0;
        for (const QString& text : texts) {
            QImage expected = Blank(size, c.Ratio), painted = Blank(size, c.Ratio);
            {
                QPainter painter(&expected);
                painter.setFont(font);
                painter.setPen(Qt::darkBlue);
                painter.drawText(c.Place, int(c.Alignment), text);
            }
            QPainter painter(&painted);
            painter.setPen(Qt::darkBlue);
            if (!line.Draw(painter, c.Place, c.Alignment, text)) continue;
            painter.end();
            ++drawn;
            EXPECT_EQ(line.Width(text), QFontMetrics(font).horizontalAdvance(text)) << FromQString(text);
            if (painted != expected && ++differing <= 3)
                ADD_FAILURE() << FromQString(text) << " size " << c.PixelSize << " ratio " << c.Ratio;
        }
        EXPECT_EQ(differing, 0) << "size " << c.PixelSize << " ratio " << c.Ratio;
        // Every one of these texts is made of characters that stand alone.
        EXPECT_EQ(drawn, int(texts.size())) << "size " << c.PixelSize;
    }
}

TEST(GlyphLine, LeavesTextsWithJoinedCharactersToThePainter) {
    Application();
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    const TGlyphLine& line = TGlyphLine::Of(font);
    QImage image = Blank({40, 14}, 1);
    QPainter painter(&image);
    // A combining mark and a character outside the font's own table need shaping.
    for (const QString& text : {QStringLiteral("e\u0301"), QStringLiteral("\U0001F600"), QString()}) {
        EXPECT_FALSE(line.Width(text)) << FromQString(text);
        EXPECT_FALSE(line.Draw(painter, {0, 0, 40, 14}, Qt::AlignLeft, text)) << FromQString(text);
    }
    // A centred line is the painter's to place.
    EXPECT_FALSE(line.Draw(painter, {0, 0, 40, 14}, Qt::AlignCenter, QStringLiteral("#FF8000")));
    EXPECT_EQ(image, Blank({40, 14}, 1));
}

TEST(GlyphLine, FittedLabelsPaintAsPlainLabels) {
    Application();
    QWidget strip;
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    strip.setFont(font);
    strip.resize(200, 25);
    const struct {
        const char* Text;
        QRect Place;
        Qt::Alignment Alignment;
    } cases[] = {
        {"L：127", {149, 13, 34, 12}, Qt::AlignLeft | Qt::AlignTop},
        {"H：030°", {181, 1, 44, 12}, Qt::AlignLeft | Qt::AlignTop},
        {"#FF8000", {54, 12, 93, 13}, Qt::AlignRight | Qt::AlignVCenter},
        {"RGB(255,255,255);", {54, 12, 93, 13}, Qt::AlignRight | Qt::AlignVCenter},  // shrunk to fit
    };
    for (const auto& c : cases) {
        TFitLabel fitted(&strip);
        fitted.setGeometry(c.Place);
        fitted.setAlignment(c.Alignment);
        fitted.SetFittedText(QString::fromUtf8(c.Text));
        QLabel plain(&strip);
        plain.setGeometry(c.Place);
        plain.setAlignment(c.Alignment);
        plain.setFont(fitted.font());
        plain.setText(fitted.text());
        const auto render = [](QWidget& label) {
            QImage image = Blank(label.size(), 1);
            label.render(&image);
            return image;
        };
        EXPECT_EQ(render(fitted), render(plain)) << c.Text;
    }
}

}  // namespace
}  // namespace tinctor::testing
