#include "platform/Dialogs.h"

#include "platform/x11/QtDialogs.h"

namespace tinctor {

namespace {

IDialogs* installed = nullptr;

void Message(TMsgKind kind, std::string_view text) {
    IDialogs& dialogs = Dialogs();
    dialogs.Beep(kind);
    dialogs.ShowMessage(kind, text);
}

}  // namespace

IDialogs& Dialogs() {
    if (installed) return *installed;
    static TQtDialogs qtDialogs;
    return qtDialogs;
}

void SetDialogs(IDialogs* dialogs) { installed = dialogs; }

void MessageWarning(std::string_view text) { Message(TMsgKind::Warning, text); }
void MessageError(std::string_view text) { Message(TMsgKind::Error, text); }
void MessageInformation(std::string_view text) { Message(TMsgKind::Information, text); }
void MessageConfirmation(std::string_view text) { Message(TMsgKind::Confirmation, text); }

bool AskYesNo(std::string_view text, bool defaultYes) {
    IDialogs& dialogs = Dialogs();
    dialogs.Beep(TMsgKind::Confirmation);
    return dialogs.AskYesNo(text, defaultYes);
}

bool InputQuery(std::string_view prompt, std::string& value) { return Dialogs().InputQuery(prompt, value); }

}  // namespace tinctor
