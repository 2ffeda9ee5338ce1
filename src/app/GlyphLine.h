// One line of text drawn from glyphs shaped once per character and font: the value
// labels and the code change their text on every pick, and shaping and laying out each
// new text again cost more than drawing it. The glyphs, their advances and the line's
// place in a rectangle are those the painter's own text drawing gives, for texts whose
// characters each stand alone (no joining, no kerning between them): digits, Latin
// letters and the signs of the colour codes and value labels.
#pragma once

#include <QFont>
#include <QRawFont>
#include <QString>

#include <optional>
#include <unordered_map>

class QPainter;
class QRect;

namespace tinctor {

class TGlyphLine {
public:
    // The line of Font, made once and kept for the program's run.
    static const TGlyphLine& Of(const QFont& font);

    // The width of Text as the font's metrics measure it (rounded to whole pixels);
    // none when a character of it is not drawn on its own.
    std::optional<int> Width(const QString& text) const;
    // Draws Text in Rect with Alignment, as QPainter::drawText does, in the painter's
    // pen; false (nothing drawn) when a character of it is not drawn on its own, or for
    // a centred line.
    bool Draw(QPainter& painter, const QRect& rect, Qt::Alignment alignment, const QString& text) const;

private:
    explicit TGlyphLine(const QFont& font);

    struct TGlyph {
        quint32 Index = 0;
        qreal Advance = 0;
        qreal Overhang = 0;  // ink past the advance, at the right
        bool Alone = false;  // shaped on its own into one glyph of the main font
    };
    const TGlyph& GlyphOf(QChar c) const;
    // The sum of the advances of Text; none when a character is not drawn alone.
    std::optional<qreal> Advance(const QString& text) const;

    QFont font_;
    QRawFont raw_;
    qreal ascent_ = 0;
    qreal height_ = 0;
    mutable std::unordered_map<char16_t, TGlyph> glyphs_;
};

}  // namespace tinctor
