// Message boxes, questions and the one-line input query of the whole program.
//
// Texts are bytes in the process code page. The real implementation shows Qt dialogs;
// tests install a fake that records what would have been shown and answers questions.
#pragma once

#include <string>
#include <string_view>

namespace tinctor {

// The application title: the caption of every message box and of the main window.
inline constexpr const char* ApplicationTitle = "Tinctor";

// The kinds of message box, each with its own icon and system beep.
enum class TMsgKind { Warning, Error, Information, Confirmation };

class IDialogs {
public:
    virtual ~IDialogs() = default;
    virtual void Beep(TMsgKind kind) = 0;
    // A box with the kind's icon, the application title and an OK button.
    virtual void ShowMessage(TMsgKind kind, std::string_view text) = 0;
    // A Yes/No question; true for Yes. DefaultYes chooses the default button.
    virtual bool AskYesNo(std::string_view text, bool defaultYes) = 0;
    // A one-line input; Value holds the initial text and, after OK, the answer.
    virtual bool InputQuery(std::string_view prompt, std::string& value) = 0;
    // The standard error box: the message, the application title, a stop icon, OK.
    virtual void ShowErrorBox(std::string_view message) = 0;
};

// The dialogs in use: those installed by SetDialogs, else the Qt ones.
IDialogs& Dialogs();
// Installs Dialogs (not owned) for the rest of the run or until the next call; null
// restores the Qt ones.
void SetDialogs(IDialogs* dialogs);

// The message helpers: the matching beep, then the box.
void MessageWarning(std::string_view text);
void MessageError(std::string_view text);
void MessageInformation(std::string_view text);
void MessageConfirmation(std::string_view text);
bool AskYesNo(std::string_view text, bool defaultYes);
bool InputQuery(std::string_view prompt, std::string& value);

}  // namespace tinctor
