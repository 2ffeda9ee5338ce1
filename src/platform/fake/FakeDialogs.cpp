#include "platform/fake/FakeDialogs.h"

namespace tinctor {

TFakeDialogs::TFakeDialogs() { SetDialogs(this); }

TFakeDialogs::~TFakeDialogs() {
    if (&Dialogs() == this) SetDialogs(nullptr);
}

void TFakeDialogs::Beep(TMsgKind kind) { Log.push_back({Shown::Beep, kind, {}, false}); }

void TFakeDialogs::ShowMessage(TMsgKind kind, std::string_view text) {
    Log.push_back({Shown::Message, kind, std::string(text), false});
}

bool TFakeDialogs::AskYesNo(std::string_view text, bool defaultYes) {
    Log.push_back({Shown::Question, TMsgKind::Confirmation, std::string(text), defaultYes});
    if (YesNoAnswers.empty()) return false;
    const bool answer = YesNoAnswers.front();
    YesNoAnswers.pop_front();
    return answer;
}

bool TFakeDialogs::InputQuery(std::string_view prompt, std::string& value) {
    Log.push_back({Shown::Input, TMsgKind::Information, std::string(prompt), false});
    if (InputAnswers.empty()) return false;
    auto [ok, text] = InputAnswers.front();
    InputAnswers.pop_front();
    if (ok) value = text;
    return ok;
}

void TFakeDialogs::ShowErrorBox(std::string_view message) {
    Log.push_back({Shown::ErrorBox, TMsgKind::Error, std::string(message), false});
}

std::vector<std::string> TFakeDialogs::ErrorBoxes() const {
    std::vector<std::string> texts;
    for (const Shown& shown : Log)
        if (shown.What == Shown::ErrorBox) texts.push_back(shown.Text);
    return texts;
}

}  // namespace tinctor
