// The hot key entry: records the one key chord the user presses, without the Win key.
//
// Tab, Enter and Escape without modifiers keep their dialog roles (next control, the
// default button, cancel); Backspace or Delete alone clears the key. With modifiers
// they are chords like any other, and so are the dialog's access keys while the entry
// has the focus.
#pragma once

#include <QLineEdit>

#include <string>

#include "desktop/HotkeyText.h"

class QKeyEvent;

namespace tinctor {

class THotKeyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit THotKeyEdit(QWidget* parent);

    // The key (0 for none); never with the Win flag.
    THotkey HotKey() const { return hotkey_; }
    void SetHotKey(THotkey value);

    // Shows the key of a stored text. A text the entry cannot hold (one with "Win+")
    // is shown as it stands and kept as it is until the user records another key.
    void SetHotKeyText(const std::string& text);
    // The text to store: the kept text while the user has not touched the entry,
    // else the text of the key ("" for none).
    std::string HotKeyText() const;

    // True once the user recorded or cleared a key.
    bool Modified() const { return modified_; }

    // The virtual-key code of a key press (0 when it has none).
    static unsigned VirtualKeyOf(const QKeyEvent& event);
    // The entry's text for a key: its hot key text, or "なし" for none.
    static QString DisplayText(THotkey value);

signals:
    // The user recorded or cleared a key.
    void HotKeyChanged();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // True for plain Tab, Enter and Escape, which the dialog handles.
    static bool IsDialogKey(const QKeyEvent& event);
    void Record(THotkey value);
    void ShowValue();

    THotkey hotkey_ = 0;
    std::string keptText_;  // a stored text the entry cannot show
    bool modified_ = false;
};

}  // namespace tinctor
