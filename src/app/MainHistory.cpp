// The main window's history circles and the clipboard: the two buttons of the top
// strip and the clipboard observer's handler.

#include "app/HistoryCircles.h"
#include "app/Main.h"
#include "app/TopStrip.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/Platform.h"
#include "platform/QtText.h"

namespace tinctor {

void TTinctorForm::ConnectHistoryHandlers() {
    connect(MainPanel, &TTopStrip::CopyClicked, this, Guard([this] { CopyToClipboardClick(); }));
    connect(MainPanel, &TTopStrip::LoadClicked, this, Guard([this] { LoadFromClipboardClick(); }));
    // Taking a colour back from the history does not push it again.
    connect(History, &THistoryCircles::ColorChosen, this, [this](TColor colour) {
        Guarded([this, colour] { SetCurrentColor(colour); });
    });
}

void TTinctorForm::PushHistory(TColor c) { History->Push(c); }

TColor TTinctorForm::HistoryColor(int n) const { return History->Color(n); }

void TTinctorForm::CopyToClipboardClick() {
    // Exactly the code shown, in the current notation and with the current options.
    Platform().Clipboard().SetText(FromQString(MainPanel->CodeText()));
    PushHistory(CurrentColor());
}

void TTinctorForm::LoadFromClipboardClick() {
    IClipboard& clipboard = Platform().Clipboard();
    if (!clipboard.HasText()) {
        MessageInformation("クリップボードにテキストがありません。");
        return;
    }
    if (ParseAndSetColor(clipboard.Text()))
        PushHistory(CurrentColor());
    else
        MessageInformation("変換できませんでした。");
}

void TTinctorForm::ClipboardObserverChange() {
    // Silent whatever the text is: neither a message nor a history entry.
    IClipboard& clipboard = Platform().Clipboard();
    if (clipboard.HasText()) ParseAndSetColor(clipboard.Text());
}

}  // namespace tinctor
