#include "app/HistoryCircles.h"

#include <QWidget>

#include "app/CircleShape.h"
#include "app/FormControls.h"

namespace tinctor {

namespace {

constexpr int Lefts[THistoryCircles::Count] = {113, 135, 158, 181, 203, 226, 249};
constexpr int Top = 121;
constexpr int Diameter = 17;
constexpr TColor StartColor = RGBToColor(255, 255, 255);

}  // namespace

THistoryCircles::THistoryCircles(QWidget* window) : QObject(window) {
    setObjectName(QStringLiteral("HistoryCircles"));
    for (int i = 0; i < Count; ++i) {
        auto* circle = new TCircleShape(StartColor, window);
        circle->setObjectName(QStringLiteral("History%1").arg(i + 1));
        circle->setGeometry(Lefts[i], Top, Diameter, Diameter);
        SetTag(circle, i + 1);
        circles_[static_cast<std::size_t>(i)] = circle;
        connect(circle, &TCircleShape::mouseUp, this, [this, circle](Qt::MouseButton button) {
            if (button == Qt::LeftButton) emit ColorChosen(circle->Color());
        });
    }
}

void THistoryCircles::Push(TColor c) {
    for (std::size_t n = circles_.size() - 1; n > 0; --n) circles_[n]->SetColor(circles_[n - 1]->Color());
    circles_[0]->SetColor(c);
}

TColor THistoryCircles::Color(int n) const {
    return n >= 1 && n <= Count ? circles_[static_cast<std::size_t>(n - 1)]->Color() : NoColor;
}

}  // namespace tinctor
