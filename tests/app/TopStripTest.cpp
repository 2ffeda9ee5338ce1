// Value labels read apart: a fitted label with clearance ends its text that much before
// its box does, shrinking the font where the text would reach into it, and keeps its
// full size where it does not.
#include "FormFixture.h"

#include <QFontMetrics>

#include "app/FitLabel.h"

namespace tinctor::testing {
namespace {

TEST(FitLabel, ClearanceKeepsTheEndOfTheBoxFree) {
    Application();
    QWidget strip;
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    strip.setFont(font);
    const int clearances[] = {0, 2, 5};
    for (const char* text : {"L：080", "S：255", "R：FF", "#A00000"}) {
        const int natural = QFontMetrics(font).horizontalAdvance(QString::fromUtf8(text));
        for (const int clearance : clearances) {
            // The box as wide as the text at full size: any clearance makes it shrink.
            TFitLabel label(&strip);
            label.setGeometry(0, 0, natural, 12);
            label.SetClearance(clearance);
            label.SetFittedText(QString::fromUtf8(text));
            const int end = QFontMetrics(label.font()).horizontalAdvance(label.text());
            EXPECT_LE(end, natural - clearance) << text << " clearance " << clearance;
            EXPECT_EQ(label.font().pixelSize() < 12, clearance > 0) << text << " clearance " << clearance;
            // A box with room to spare keeps the full size.
            label.resize(natural + clearance, 12);
            label.SetClearance(clearance);  // fits again (a hidden label gets no resize event)
            EXPECT_EQ(label.font().pixelSize(), 12) << text << " clearance " << clearance;
        }
    }
}

}  // namespace
}  // namespace tinctor::testing
