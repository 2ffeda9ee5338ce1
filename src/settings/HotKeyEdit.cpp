#include "settings/HotKeyEdit.h"

#include <QKeyEvent>

#include "platform/KeyCodes.h"
#include "platform/QtText.h"

namespace tinctor {

namespace {

struct TQtKey {
    int Key;
    unsigned VirtKey;
};

// Keys whose code does not depend on the keypad.
constexpr TQtKey MainKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},        {Qt::Key_Backtab, 0x09},     {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D},    {Qt::Key_Enter, 0x0D},      {Qt::Key_Pause, 0x13},       {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},    {Qt::Key_Space, 0x20},      {Qt::Key_PageUp, 0x21},      {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},       {Qt::Key_Home, 0x24},       {Qt::Key_Left, 0x25},        {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},     {Qt::Key_Down, 0x28},       {Qt::Key_Print, 0x2C},       {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},    {Qt::Key_Menu, 0x5D},       {Qt::Key_NumLock, 0x90},     {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Equal, 0xBB},      {Qt::Key_Comma, 0xBC},       {Qt::Key_Minus, 0xBD},
    {Qt::Key_Period, 0xBE},    {Qt::Key_Slash, 0xBF},      {Qt::Key_QuoteLeft, 0xC0},   {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC}, {Qt::Key_BracketRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE},
};

// The operator keys of the numeric keypad.
constexpr TQtKey KeypadKeys[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Slash, 0x6F},
};

bool IsModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
            return true;
        default:
            return false;
    }
}

THotkey FlagsOf(Qt::KeyboardModifiers modifiers) {
    THotkey flags = 0;
    if (modifiers & Qt::ShiftModifier) flags |= HotkeyShift;
    if (modifiers & Qt::ControlModifier) flags |= HotkeyCtrl;
    if (modifiers & Qt::AltModifier) flags |= HotkeyAlt;
    return flags;
}

}  // namespace

THotKeyEdit::THotKeyEdit(QWidget* parent) : QLineEdit(parent) {
    // Keys are recorded, never typed, pasted or composed.
    setReadOnly(true);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    ShowValue();
}

unsigned THotKeyEdit::VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 0x41 + static_cast<unsigned>(key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return (keypad ? 0x60 : 0x30) + static_cast<unsigned>(key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + static_cast<unsigned>(key - Qt::Key_F1);
    if (keypad)
        for (const TQtKey& k : KeypadKeys)
            if (k.Key == key) return k.VirtKey;
    for (const TQtKey& k : MainKeys)
        if (k.Key == key) return k.VirtKey;
    // A shifted symbol ("!" of Shift+1): the key it is printed on.
    return VirtualKeyOfScanCode(event.nativeScanCode());
}

QString THotKeyEdit::DisplayText(THotkey value) {
    const std::string text = value ? HotkeyToText(value) : std::string();
    return text.empty() ? QStringLiteral("なし") : ToQString(text);
}

void THotKeyEdit::SetHotKey(THotkey value) {
    hotkey_ = static_cast<THotkey>(value & ~HotkeyWin);
    keptText_.clear();
    ShowValue();
}

void THotKeyEdit::SetHotKeyText(const std::string& text) {
    const THotkey value = ParseHotkeyText(text);
    if (value & HotkeyWin) {
        hotkey_ = 0;
        keptText_ = text;
    } else {
        hotkey_ = value;
        keptText_.clear();
    }
    modified_ = false;
    ShowValue();
}

std::string THotKeyEdit::HotKeyText() const {
    if (!keptText_.empty()) return keptText_;
    return hotkey_ ? HotkeyToText(hotkey_) : std::string();
}

bool THotKeyEdit::IsDialogKey(const QKeyEvent& event) {
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    switch (event.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return true;
        default:
            return false;
    }
}

bool THotKeyEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Access keys and other shortcuts become chords while the entry has the focus.
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsDialogKey(*key)) {
            key->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        // Tab with a modifier is a chord; plain Tab moves on as everywhere.
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && !IsDialogKey(*key)) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void THotKeyEdit::keyPressEvent(QKeyEvent* event) {
    if (IsDialogKey(*event)) {
        event->ignore();  // the dialog's default button or cancel
        return;
    }
    event->accept();
    // Chords with the Win key are the desktop's; modifiers alone make no key yet.
    if ((event->modifiers() & Qt::MetaModifier) || IsModifierKey(event->key())) return;
    const THotkey flags = FlagsOf(event->modifiers());
    if (flags == 0 && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)) {
        Record(0);
        return;
    }
    const unsigned virtKey = VirtualKeyOf(*event);
    // A key without a name could not be stored.
    if (virtKey == 0 || HotkeyKeyName(virtKey).empty()) return;
    Record(static_cast<THotkey>(flags | virtKey));
}

void THotKeyEdit::Record(THotkey value) {
    hotkey_ = value;
    keptText_.clear();
    modified_ = true;
    ShowValue();
    emit HotKeyChanged();
}

void THotKeyEdit::ShowValue() {
    setText(keptText_.empty() ? DisplayText(hotkey_) : ToQString(keptText_));
    setCursorPosition(static_cast<int>(text().size()));
}

}  // namespace tinctor
