// What scripts of the colour tool get from the window: message boxes, the prompt and
// text area dialogs, the file and folder dialogs and the check-list dialog owned by
// the main window, its window handle, and the end of waiting once the application is
// closing.
#pragma once

#include <memory>

#include "platform/xlib/XDesktop.h"
#include "script/core/ecma_engine.h"

class QWidget;

namespace tinctor {

class TQtScriptHost final : public kestrel::TJHost {
public:
    // MainForm owns the dialogs (none: they have no owner and there are no handles).
    explicit TQtScriptHost(QWidget* mainForm);
    ~TQtScriptHost() override;

    // A QMessageBox with the buttons, icon and default button of Flags; the window that
    // was active before is activated again afterwards.
    int MessageBox(std::string_view text, std::string_view caption, int flags) override;
    // TfrmPrompt (one line) or TfrmTextArea (several, joined by CR LF).
    bool InputBox(std::string_view message, bool multiLine, std::string& text) override;
    // A QFileDialog of Qt's own (the same on every desktop): the filter's masks match
    // letters in any case, "*.*" matches every name, and Save asks before it replaces
    // a file. Names travel as the file system's bytes.
    bool FileDialog(const kestrel::TJFileDialog& dialog, std::vector<std::string>& chosen) override;
    // TfrmCheckList (CheckListForm.h).
    bool CheckListDialog(kestrel::TJCheckList& list) override;
    // The window's events are let through by the script watch (ScriptWatch.h), which
    // holds back user input meanwhile; here only the end of the application counts.
    bool ProcessEvents() override;
    std::string ApplicationTitle() const override;
    // Both are the main window's X11 window id (Qt has no hidden application window),
    // or 0 on other platforms.
    std::uint32_t ApplicationHandle() const override { return MainFormHandle(); }
    std::uint32_t MainFormHandle() const override;

    // Keys and buttons of the X display (none held without one); the clipboard is
    // the application's.
    bool IsKeyDown(unsigned vk) override;
    kestrel::TJPointerState PointerState() override;
    bool ClipboardText(std::string& text) override;
    void SetClipboardText(std::string_view text) override;

private:
    // The window that owns a dialog now: the program's visible window (DialogOwner),
    // else the main window given.
    QWidget* Owner() const;
    QWidget* mainForm_;
    std::unique_ptr<TXDesktop> desktop_;
};

}  // namespace tinctor
