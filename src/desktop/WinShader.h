// Folding a form to a strip and back: the form's height (or width) shrinks to
// MinSize and comes back to OpenSize, optionally in five animated steps, on request
// (stManual) or when the application or the form loses and regains activation.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace tinctor {

// A component placed where it cannot work.
class EComponentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TShadeType { stActivateApp = 0, stActivate = 1, stBarClick = 2, stManual = 3 };
enum class TShadeDir { sdHeight = 0, sdWidth = 1 };

class TWinShader : public QObject {
public:
    using TShadeEvent = std::function<void(TWinShader* sender, bool shade)>;

    // Owner must be a form (a top-level widget); anything else is refused with
    // "このコンポーネントをTForm以外の場所に、設置することはできません".
    explicit TWinShader(QWidget* owner);
    ~TWinShader() override;

    bool ShadeEnabled() const { return shadeEnabled_; }
    void SetShadeEnabled(bool value) { shadeEnabled_ = value; }
    int MinSize() const { return minSize_; }
    void SetMinSize(int value) { minSize_ = value; }
    int OpenSize() const { return openSize_; }
    void SetOpenSize(int value) { openSize_ = value; }
    bool AutoUpdate() const { return autoUpdate_; }
    void SetAutoUpdate(bool value);
    bool Animation() const { return animation_; }
    void SetAnimation(bool value) { animation_ = value; }
    TShadeType ShadeType() const { return shadeType_; }
    void SetShadeType(TShadeType value) { shadeType_ = value; }
    bool Shade() const { return shade_; }
    // Acts only in manual mode.
    void SetShade(bool value);
    TShadeDir Direction() const { return direction_; }
    void SetDirection(TShadeDir value);
    TShadeEvent OnShade;

    // Folds (true) or unfolds the form, whatever the mode.
    void DoShade(bool value);
    // OpenSize = the form's size, unless it is folded.
    void UpdateOpenSize();
    bool Animating() const { return animating_; }

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void Hook(QEvent* event);
    void Resize(int size);
    int FormSize() const;
    void SetFormSize(int size);
    int MinimumConstraint() const;
    void SetMinimumConstraint(int value);

    QPointer<QWidget> form_;
    bool shadeEnabled_ = true;
    int minSize_ = -1;
    int openSize_ = 0;
    bool autoUpdate_ = true;
    bool animation_ = false;
    TShadeType shadeType_ = TShadeType::stManual;
    bool shade_ = false;
    TShadeDir direction_ = TShadeDir::sdHeight;
    std::optional<int> savedConstraint_;
    bool animating_ = false;
};

}  // namespace tinctor
