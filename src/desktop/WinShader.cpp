#include "desktop/WinShader.h"

#include <QApplication>
#include <QEvent>

#include "platform/ErrorGuard.h"

namespace tinctor {

TWinShader::TWinShader(QWidget* owner) : QObject(owner), form_(owner) {
    if (!owner || !owner->isWindow())
        throw EComponentError("このコンポーネントをTForm以外の場所に、設置することはできません");
    openSize_ = FormSize();
    SetAutoUpdate(true);
    form_->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        Guarded([&] {
            if (shadeEnabled_ && shadeType_ == TShadeType::stActivateApp) DoShade(state != Qt::ApplicationActive);
        });
    });
}

TWinShader::~TWinShader() {
    if (form_) form_->removeEventFilter(this);
}

void TWinShader::SetAutoUpdate(bool value) {
    autoUpdate_ = value;
    if (value) UpdateOpenSize();
}

void TWinShader::SetShade(bool value) {
    if (shadeType_ == TShadeType::stManual) DoShade(value);
}

void TWinShader::SetDirection(TShadeDir value) {
    if (value == direction_) return;
    const bool wasShaded = shade_;
    DoShade(false);
    direction_ = value;
    UpdateOpenSize();
    DoShade(wasShaded);
}

void TWinShader::UpdateOpenSize() {
    if (!shade_) openSize_ = FormSize();
}

void TWinShader::DoShade(bool value) {
    if (!shadeEnabled_ || value == shade_) return;
    shade_ = value;
    if (OnShade) OnShade(this, value);
    Resize(value ? minSize_ : openSize_);
}

void TWinShader::Resize(int size) {
    if (!form_) return;
    // A folded form may be smaller than its minimum: the constraint is lifted meanwhile.
    if (shade_) {
        savedConstraint_ = MinimumConstraint();
        SetMinimumConstraint(0);
    } else if (savedConstraint_) {
        SetMinimumConstraint(*savedConstraint_);
        savedConstraint_.reset();
    }
    if (animation_) {
        animating_ = true;
        const int from = FormSize();
        const int step = (size - from) / 5;  // truncates toward zero
        for (int i = 1; i <= 5; ++i) {
            SetFormSize(from + step * i);
            form_->repaint();
        }
        animating_ = false;
    }
    SetFormSize(size);
}

int TWinShader::FormSize() const {
    if (!form_) return 0;
    return direction_ == TShadeDir::sdHeight ? form_->height() : form_->width();
}

void TWinShader::SetFormSize(int size) {
    if (direction_ == TShadeDir::sdHeight)
        form_->resize(form_->width(), size);
    else
        form_->resize(size, form_->height());
}

int TWinShader::MinimumConstraint() const {
    return direction_ == TShadeDir::sdHeight ? form_->minimumHeight() : form_->minimumWidth();
}

void TWinShader::SetMinimumConstraint(int value) {
    if (direction_ == TShadeDir::sdHeight)
        form_->setMinimumHeight(value);
    else
        form_->setMinimumWidth(value);
}

bool TWinShader::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_) Guarded([&] { Hook(event); });
    return false;
}

void TWinShader::Hook(QEvent* event) {
    switch (event->type()) {
        case QEvent::Resize:
            if (shade_) {
                // The folded form keeps its size, except while it is being animated.
                if (!animating_ && FormSize() != minSize_ && minSize_ >= 0) SetFormSize(minSize_);
            } else if (autoUpdate_ && !(form_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized |
                                                                Qt::WindowFullScreen))) {
                UpdateOpenSize();
            }
            break;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            if (shadeEnabled_ && shadeType_ == TShadeType::stActivate)
                DoShade(event->type() == QEvent::WindowDeactivate);
            break;
        default:
            // There is no caption double click to catch on X11 (stBarClick): the window
            // manager owns the caption.
            break;
    }
}

}  // namespace tinctor
