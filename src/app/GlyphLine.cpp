#include "app/GlyphLine.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace tinctor {

namespace {

// Texts longer than this are not worth the table (and are rare on a label).
constexpr int MaxLength = 64;
constexpr qreal FixedPoint = 64;  // the painter's text positions are in 1/64 pixels

// Lays Text out in one line as the painter's text drawing does.
struct TLaidOut {
    QTextLayout Layout;
    QTextLine Line;
    TLaidOut(const QString& text, const QFont& font) : Layout(text, font) {
        Layout.beginLayout();
        Line = Layout.createLine();
        Layout.endLayout();
    }
};

}  // namespace

const TGlyphLine& TGlyphLine::Of(const QFont& font) {
    // A few fonts in a few sizes (the labels shrink theirs to fit), compared field by
    // field: cheaper than building a key on every paint.
    static std::vector<std::unique_ptr<TGlyphLine>> lines;
    for (const std::unique_ptr<TGlyphLine>& line : lines)
        if (line->font_ == font) return *line;
    lines.emplace_back(new TGlyphLine(font));
    return *lines.back();
}

TGlyphLine::TGlyphLine(const QFont& font) : font_(font) {
    const TLaidOut sample(QStringLiteral("0"), font_);
    const QList<QGlyphRun> runs = sample.Layout.glyphRuns();
    if (!runs.isEmpty()) raw_ = runs.first().rawFont();
    ascent_ = sample.Line.ascent();
    height_ = sample.Line.ascent() + sample.Line.descent();  // unrounded, as the painter centres a line
}

const TGlyphLine::TGlyph& TGlyphLine::GlyphOf(QChar c) const {
    const auto found = glyphs_.find(c.unicode());
    if (found != glyphs_.end()) return found->second;
    TGlyph glyph;
    const TLaidOut alone(QString(c), font_);
    const QList<QGlyphRun> runs = alone.Layout.glyphRuns();
    if (raw_.isValid() && runs.size() == 1 && runs.first().rawFont() == raw_ &&
        runs.first().glyphIndexes().size() == 1 && !c.isSurrogate() && !c.isMark() && !c.isSpace()) {
        glyph.Index = runs.first().glyphIndexes().first();
        glyph.Advance = alone.Line.horizontalAdvance();
        // Ink past the advance at the right widens the line the glyph ends.
        glyph.Overhang = std::max<qreal>(0, alone.Line.naturalTextWidth() - glyph.Advance);
        glyph.Alone = true;
    }
    return glyphs_.emplace(c.unicode(), glyph).first->second;
}

std::optional<qreal> TGlyphLine::Advance(const QString& text) const {
    if (text.isEmpty() || text.size() > MaxLength) return std::nullopt;
    qreal advance = 0;
    for (const QChar c : text) {
        const TGlyph& glyph = GlyphOf(c);
        if (!glyph.Alone) return std::nullopt;
        advance += glyph.Advance;
    }
    return advance;
}

std::optional<int> TGlyphLine::Width(const QString& text) const {
    const std::optional<qreal> advance = Advance(text);
    if (!advance) return std::nullopt;
    return qRound(*advance);
}

bool TGlyphLine::Draw(QPainter& painter, const QRect& rect, Qt::Alignment alignment, const QString& text) const {
    // Centred lines the painter places by rules of its own: it draws those itself.
    if (alignment & Qt::AlignHCenter) return false;
    const std::optional<qreal> advance = Advance(text);
    if (!advance) return false;
    // The line's place in the rectangle, as the painter's text drawing puts one line.
    qreal x = rect.x(), y = rect.y();
    if (alignment & Qt::AlignRight) x += rect.width() - *advance;
    if (alignment & Qt::AlignBottom)
        y += rect.height() - height_;
    else if (alignment & Qt::AlignVCenter)
        y += (rect.height() - height_) / 2;

    // The painter holds a line's place in 1/64 pixels before it adds the glyphs' advances.
    const auto toFixed = [](qreal value) { return std::round(value * FixedPoint) / FixedPoint; };
    x = toFixed(x);
    y = toFixed(y);

    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(text.size());
    positions.reserve(text.size());
    qreal pen = 0;
    for (const QChar c : text) {
        const TGlyph& glyph = GlyphOf(c);
        indexes.append(glyph.Index);
        positions.append(QPointF(pen, 0));
        pen += glyph.Advance;
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    // A line whose ink may leave the rectangle is cut at its edges.
    const qreal natural = *advance + GlyphOf(text.back()).Overhang;
    const qreal inkLeft = alignment & Qt::AlignRight ? rect.x() + rect.width() - natural : rect.x();
    const bool cut = !QRectF(rect).contains(QRectF(inkLeft, y, natural, height_));
    if (cut) {
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
    }
    painter.drawGlyphRun(QPointF(x, y + ascent_), run);
    if (cut) painter.restore();
    return true;
}

}  // namespace tinctor
