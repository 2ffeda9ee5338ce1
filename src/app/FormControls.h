// The small makers every panel of the main window builds its controls with: labels
// in the design's text colours, flat tool buttons, and the guard that keeps errors
// inside a handler.
#pragma once

#include <QColor>
#include <QLabel>
#include <QRect>
#include <QString>

#include "platform/ErrorGuard.h"

class QObject;
class QToolButton;

namespace tinctor {

enum class TToolIcon;

// The text colours of the design.
inline const QColor TextRed(255, 0, 0);
inline const QColor TextLime(0, 255, 0);
inline const QColor TextBlue(0, 0, 255);
inline const QColor TextNavy(0, 0, 128);
inline const QColor TextBlack(0, 0, 0);

// A flat tool button of the toolbar: 23 × 22 with a 16 × 16 picture.
inline constexpr int ToolButtonWidth = 23;
inline constexpr int ToolButtonHeight = 22;
// A button with a drop-down arrow beside its picture.
inline constexpr int DropDownButtonWidth = 36;

// Wraps a handler so that nothing it throws leaves the slot.
template <typename F>
auto Guard(F handler) {
    return [handler](auto&&...) { Guarded(handler); };
}

void SetTextColor(QWidget* widget, const QColor& colour);

// A plain-text label with the design's name, place and text colour.
template <typename Label = QLabel>
Label* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry, const QColor& colour,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new Label(parent);
    label->setText(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    SetTextColor(label, colour);
    return label;
}

QToolButton* MakeButton(QWidget* parent, const char* name, TToolIcon icon, const QString& hint,
                        int width = ToolButtonWidth, int height = ToolButtonHeight);

// The tag of the form design, kept on the control for whoever reads the design; the
// program itself never takes state from it.
void SetTag(QObject* control, int tag);
// The tag of a control (0 when none).
int TagOf(const QObject* control);

}  // namespace tinctor
