// The message boxes on Qt Widgets, each owned by a visible window of the program.
#pragma once

#include "platform/Dialogs.h"
#include "platform/WindowHelpers.h"

class QShowEvent;
class QWidget;

namespace tinctor {

// The window that owns a box or dialog opened now: the modal dialog on screen, else
// the active window, else the program's visible main window (the program may be in
// the background, as after Esc stops a script). Null only when no window is visible.
// A box with an owner is shown above it and centred on it, also when the owner stays
// on top, so it never hides behind the window whose clicks it refuses.
QWidget* DialogOwner();
// Keeps Dialog above Owner when Owner stays on top of other windows.
void StayAboveOwner(QWidget* dialog, const QWidget* owner);

// A box or dialog centred on its owner. It takes its final size only as it is shown,
// after Qt has placed it by its first guess, so it is centred then, still unmapped.
template <typename TDialog>
class TCentred final : public TDialog {
public:
    using TDialog::TDialog;

protected:
    void showEvent(QShowEvent* event) override {
        TDialog::showEvent(event);
        CentreOnOwner(*this, this->parentWidget());
    }
};

class TQtDialogs final : public IDialogs {
public:
    void Beep(TMsgKind kind) override;
    void ShowMessage(TMsgKind kind, std::string_view text) override;
    bool AskYesNo(std::string_view text, bool defaultYes) override;
    bool InputQuery(std::string_view prompt, std::string& value) override;
    void ShowErrorBox(std::string_view message) override;
};

}  // namespace tinctor
