// The main window's desktop parts: the shader and compact mode, the global hot key,
// editor colour extraction, screen picking and the clipboard observer's connection.
#include <QEvent>
#include <QLabel>

#include "app/ColorTable.h"
#include "app/ColorTablePanel.h"
#include "app/LoupePick.h"
#include "app/Magnifier.h"
#include "app/Main.h"
#include "app/MainToolBar.h"
#include "desktop/ClipboardObserver.h"
#include "desktop/CompactMode.h"
#include "desktop/EditorColor.h"
#include "desktop/GlobalHotKey.h"
#include "desktop/OpenedCentre.h"
#include "desktop/SubClass.h"
#include "desktop/TinctorMouse.h"
#include "desktop/WinShader.h"
#include "platform/Platform.h"

namespace tinctor {

// The components that exist from the window's creation to its end.
void TTinctorForm::CreateDesktopComponents() {
    globalHotkey_ = std::make_unique<TGlobalHotkey>(Platform().NewGlobalKeys());
    THotkeyItem& item = globalHotkey_->Items().Add();
    item.Name = "OnGoWindow";
    item.EventLabel = "マウスをジャンプ";
    item.OnHotkey = [this](THotkeyItem*, std::uint16_t, std::uint16_t) { GlobalHotkeyItems0Hotkey(); };
    // The observer stays in the viewer chain all along; the setting only connects
    // and disconnects the handler.
    clipboardObserver_ = std::make_unique<TClipboardObserver>(Platform().Clipboard());
}

// The window shader folds the window to the top strip in compact mode.
void TTinctorForm::CreateWindowShader(int shadedHeight) {
    shadedHeight_ = shadedHeight;
    winShader_ = new TWinShader(this);
    winShader_->SetMinSize(shadedHeight);
    openedCentre_ = new TOpenedCentre(*this, Platform().Pointer());
}

// The editor-access object reads colour codes out of text editors.
void TTinctorForm::CreateEditorAccess() { editOther_ = std::make_unique<TEditOther>(Platform().Windows(), 0, false); }
void TTinctorForm::FreeEditorAccess() { editOther_.reset(); }

// The mouse capture object of screen picking, started by a press on the eyedropper.
// It shows the colour table's eyedropper cursor (LoadSpoitCursor).
void TTinctorForm::CreateMouseCapture() {
    magnifier_ = new TMagnifier(this, Platform().Screen(), [this](TColor c) { return CodeText(c); });
    mouseCapture_ = std::make_unique<TLoupePick>(
        this, ColorPanel->Table()->cursor(), ToolBar->SpoitImage(), [this](TColor c) { SetCurrentColor(c); },
        Platform().Pointer(), Platform().Screen(), magnifier_);
    mouseCapture_->SetLoupeShown(Magnifier());
    spoitPress_ = std::make_unique<TEventSubClass>(ToolBar->SpoitImage(), [this](bool&, QEvent* event) {
        if (event->type() == QEvent::MouseButtonPress) mouseCapture_->StartCapture();
    });
}

void TTinctorForm::FreeMouseCapture() {
    spoitPress_.reset();
    mouseCapture_.reset();
    delete magnifier_;
    magnifier_ = nullptr;
}

void TTinctorForm::ConnectClipboardObserver(bool connect) {
    if (connect)
        clipboardObserver_->OnChange = [this](TClipboardObserver*) { ClipboardObserverChange(); };
    else
        clipboardObserver_->OnChange = nullptr;
}

// The global hot key component and its item OnGoWindow.
void TTinctorForm::EnableHotkey(bool enabled) { globalHotkey_->SetEnabled(enabled); }

void TTinctorForm::SetHotkeyText(const std::string& text) {
    globalHotkey_->Items()[0].SetHotkey(ParseHotkeyText(text));
}

void TTinctorForm::GlobalHotkeyItems0Hotkey() {
    const bool opening = winShader_ && winShader_->Shade();
    if (winShader_) winShader_->SetShade(false);
    // The centre of the window as it is once opened; the window is not activated.
    if (opening)
        openedCentre_->Centre();
    else
        Platform().Pointer().SetPos(WindowCentre(*this));
}

// Compact mode and editor colour extraction, every 100 ms. A tick never opens an
// error box: whatever fails is tried again 100 ms later.
void TTinctorForm::TimerTimer() {
    try {
        if (Compact() && winShader_) CompactModeCheck(*winShader_, *this, Platform().Pointer());
    } catch (...) {
    }
    if (SpoitTEditor()) ExtractEditorColor();
}

void TTinctorForm::ExtractEditorColor() {
    if (!editOther_) return;
    try {
        // The colour is applied again on every tick while the text stays selected.
        if (auto text = ExtractEditorSelection(*editOther_)) ParseAndSetColor(*text);
    } catch (...) {
    }
}

}  // namespace tinctor
