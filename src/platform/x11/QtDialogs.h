// The message boxes on Qt Widgets, parented to the active window of the program.
#pragma once

#include "platform/Dialogs.h"

namespace tinctor {

class TQtDialogs final : public IDialogs {
public:
    void Beep(TMsgKind kind) override;
    void ShowMessage(TMsgKind kind, std::string_view text) override;
    bool AskYesNo(std::string_view text, bool defaultYes) override;
    bool InputQuery(std::string_view prompt, std::string& value) override;
    void ShowErrorBox(std::string_view message) override;
};

}  // namespace tinctor
