#include "app/ToolIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace tinctor {

namespace {

constexpr int kSize = 16;
// The device pixel ratios an icon carries a picture for: the usual desktop and the
// doubled one; Qt draws the nearest for other ratios.
constexpr qreal kIconRatios[] = {1.0, 2.0};

void Text(QPainter& p, const QString& text, int pixelSize, const QColor& colour) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void Page(QPainter& p) {
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
}

void Gear(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(70, 70, 70), 3, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(8, 8);
        p.rotate(45.0 * i);
        p.drawLine(-7, 0, 7, 0);
        p.restore();
    }
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(QColor(150, 150, 150));
    p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 1.8, 1.8);
}

void ListLines(QPainter& p, int rowHeight) {
    const QColor swatches[] = {QColor(255, 0, 0), QColor(0, 160, 0), QColor(0, 0, 255), QColor(255, 200, 0)};
    int i = 0;
    for (int y = 2; y + rowHeight - 1 <= 14; y += rowHeight + 1, ++i) {
        p.setPen(Qt::black);
        p.setBrush(swatches[i % 4]);
        p.drawRect(1, y, rowHeight - 1, rowHeight - 1);
        p.setPen(QColor(80, 80, 80));
        p.drawLine(rowHeight + 3, y + rowHeight / 2, 14, y + rowHeight / 2);
    }
}

void Arrow(QPainter& p, bool up) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 60, 140));
    p.setBrush(QColor(40, 110, 220));
    if (up)
        p.drawPolygon(QPolygonF({QPointF(8, 2), QPointF(14, 9), QPointF(10.5, 9), QPointF(10.5, 14), QPointF(5.5, 14),
                                 QPointF(5.5, 9), QPointF(2, 9)}));
    else
        p.drawPolygon(QPolygonF({QPointF(8, 14), QPointF(14, 7), QPointF(10.5, 7), QPointF(10.5, 2), QPointF(5.5, 2),
                                 QPointF(5.5, 7), QPointF(2, 7)}));
}

void Dropper(QPainter& p) {
    // An eyedropper lying diagonally, its tip at the lower left.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(12, 4), 2.6, 2.6);
    p.setBrush(QColor(200, 230, 255));
    QPainterPath tube;
    tube.moveTo(10, 4);
    tube.lineTo(12, 6);
    tube.lineTo(5, 13);
    tube.lineTo(3, 13);
    tube.lineTo(3, 11);
    tube.closeSubpath();
    p.drawPath(tube);
    p.drawLine(QPointF(3, 13), QPointF(1.5, 14.5));
}

void Clipboard(QPainter& p, bool toClipboard) {
    p.setPen(QColor(90, 60, 20));
    p.setBrush(QColor(210, 170, 110));
    p.drawRect(2, 2, 10, 12);
    p.setBrush(Qt::white);
    p.drawRect(4, 4, 6, 8);
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(5, 1, 4, 2);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(toClipboard ? QColor(0, 130, 0) : QColor(200, 0, 0), 2));
    if (toClipboard) {
        p.drawLine(QPointF(15, 10), QPointF(9, 10));
        p.drawLine(QPointF(11.5, 7.5), QPointF(9, 10));
        p.drawLine(QPointF(11.5, 12.5), QPointF(9, 10));
    } else {
        p.drawLine(QPointF(9, 10), QPointF(15, 10));
        p.drawLine(QPointF(12.5, 7.5), QPointF(15, 10));
        p.drawLine(QPointF(12.5, 12.5), QPointF(15, 10));
    }
}

}  // namespace

QPixmap ToolPixmap(TToolIcon icon, qreal ratio) {
    QPixmap pixmap(QSize(kSize, kSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (icon) {
        case TToolIcon::Config: Gear(p); break;
        case TToolIcon::ColorList: ListLines(p, 3); break;
        case TToolIcon::Script:
            Page(p);
            Text(p, QStringLiteral("S"), 9, QColor(120, 0, 160));
            break;
        case TToolIcon::Html: Text(p, QStringLiteral("#"), 13, QColor(160, 0, 0)); break;
        case TToolIcon::VisualBasic: Text(p, QStringLiteral("&h"), 9, QColor(0, 0, 160)); break;
        case TToolIcon::Delphi: Text(p, QStringLiteral("$"), 13, QColor(160, 0, 0)); break;
        case TToolIcon::CLang: Text(p, QStringLiteral("0x"), 10, QColor(0, 110, 0)); break;
        case TToolIcon::RgbCall: Text(p, QStringLiteral("( )"), 9, QColor(0, 0, 0)); break;
        case TToolIcon::DoubleWord: Text(p, QStringLiteral("32"), 10, QColor(90, 90, 90)); break;
        case TToolIcon::Spoit: Dropper(p); break;
        case TToolIcon::NewFile:
            Page(p);
            Text(p, QStringLiteral("+"), 11, QColor(0, 130, 0));
            break;
        case TToolIcon::DeleteFile:
            Page(p);
            Text(p, QStringLiteral("×"), 11, QColor(200, 0, 0));
            break;
        case TToolIcon::AddColor:
            p.setPen(Qt::black);
            p.setBrush(QColor(255, 128, 0));
            p.drawRect(1, 5, 8, 8);
            p.setPen(QPen(QColor(0, 130, 0), 2));
            p.drawLine(12, 2, 12, 9);
            p.drawLine(9, 5, 15, 5);
            break;
        case TToolIcon::MoveUp: Arrow(p, true); break;
        case TToolIcon::MoveDown: Arrow(p, false); break;
        case TToolIcon::LargeIcon: ListLines(p, 5); break;
        case TToolIcon::SmallIcon: ListLines(p, 2); break;
        case TToolIcon::CopyToClipboard: Clipboard(p, true); break;
        case TToolIcon::LoadFromClipboard: Clipboard(p, false); break;
    }
    return pixmap;
}

QIcon ToolIconOf(TToolIcon icon) {
    QIcon pictures;
    for (const qreal ratio : kIconRatios) pictures.addPixmap(ToolPixmap(icon, ratio));
    return pictures;
}

}  // namespace tinctor
