#include "app/FormControls.h"

#include <QToolButton>

#include "app/ToolIcons.h"

namespace tinctor {

namespace {

constexpr int ToolPictureSize = 16;
constexpr const char* TagProperty = "tag";

}  // namespace

void SetTextColor(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QToolButton* MakeButton(QWidget* parent, const char* name, TToolIcon icon, const QString& hint, int width,
                        int height) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(ToolIconOf(icon));
    button->setIconSize(QSize(ToolPictureSize, ToolPictureSize));
    button->setToolTip(hint);
    button->setFixedSize(width, height);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void SetTag(QObject* control, int tag) { control->setProperty(TagProperty, tag); }

int TagOf(const QObject* control) { return control ? control->property(TagProperty).toInt() : 0; }

}  // namespace tinctor
