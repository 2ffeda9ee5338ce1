// Dialogs for tests: every box is recorded instead of shown, questions take the
// answers queued beforehand (No and Cancel when none is queued).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace tinctor {

class TFakeDialogs final : public IDialogs {
public:
    struct Shown {
        enum Kind { Beep, Message, Question, Input, ErrorBox } What;
        TMsgKind MsgKind = TMsgKind::Information;
        std::string Text;
        bool DefaultYes = false;
    };

    // Installs itself for its lifetime.
    TFakeDialogs();
    ~TFakeDialogs() override;

    void Beep(TMsgKind kind) override;
    void ShowMessage(TMsgKind kind, std::string_view text) override;
    bool AskYesNo(std::string_view text, bool defaultYes) override;
    bool InputQuery(std::string_view prompt, std::string& value) override;
    void ShowErrorBox(std::string_view message) override;

    std::vector<Shown> Log;
    std::deque<bool> YesNoAnswers;
    // An entry without a value is a Cancel.
    std::deque<std::pair<bool, std::string>> InputAnswers;

    // The texts of the error boxes shown so far.
    std::vector<std::string> ErrorBoxes() const;
};

}  // namespace tinctor
