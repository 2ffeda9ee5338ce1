// The main window's history circles and the clipboard: the two buttons of the top
// strip and the clipboard observer's handler.

#include "app/CircleShape.h"
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
    for (TCircleShape* circle : History)
        connect(circle, &TCircleShape::mouseUp, this, [this, circle](Qt::MouseButton button) {
            Guarded([this, circle, button] { HistoryMouseUp(circle, button); });
        });
}

void TTinctorForm::PushHistory(TColor c) {
    for (std::size_t n = History.size() - 1; n > 0; --n) History[n]->SetColor(History[n - 1]->Color());
    History[0]->SetColor(c);
}

TColor TTinctorForm::HistoryColor(int n) const {
    return n >= 1 && n <= static_cast<int>(History.size()) ? History[static_cast<std::size_t>(n - 1)]->Color()
                                                           : NoColor;
}

void TTinctorForm::HistoryMouseUp(TCircleShape* circle, Qt::MouseButton button) {
    if (button == Qt::LeftButton) SetCurrentColor(circle->Color());
}

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
