// What a script of kestrel gets from the terminal: standard input for read and readln,
// message boxes and input dialogs asked on the controlling terminal (/dev/tty, never
// the script's standard input), and the stop that Ctrl-C asks for.
//
// Without a terminal every box is answered at once as if the user had dismissed it,
// so that nobody's consent is ever assumed: confirm is false, prompt and textArea
// give null, msgBox gives Cancel when the box has it, else No, else OK.
//
// The file, folder and check-list dialogs ask on the terminal too (TerminalDialogs.cpp);
// without a terminal they are cancelled.
//
// Keys, mouse and clipboard are those of the X display when $DISPLAY names one;
// without a display keys and buttons read as not held, the pointer at 0, 0, and the
// clipboard is a text of this process.
#pragma once

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/xlib/XDesktop.h"
#include "script/core/ecma_engine.h"

namespace tinctor {

class TKestrel;

class TTerminalHost final : public kestrel::TJHost {
public:
    // Tty: the controlling terminal, or none.
    explicit TTerminalHost(std::FILE* tty) : tty_(tty), desktop_(TXDesktop::Open()) {}

    int MessageBox(std::string_view text, std::string_view caption, int flags) override;
    bool InputBox(std::string_view message, bool multiLine, std::string& text) override;
    bool FileDialog(const kestrel::TJFileDialog& dialog, std::vector<std::string>& chosen) override;
    bool CheckListDialog(kestrel::TJCheckList& list) override;
    std::string ApplicationTitle() const override { return "kestrel"; }
    // Only with a terminal: without one, Directory.clear goes ahead unasked.
    bool CanAskUser() const override { return tty_ != nullptr; }

    bool IsKeyDown(unsigned vk) override;
    kestrel::TJPointerState PointerState() override;
    // The CLIPBOARD selection's UTF-8 text, in the code page of this process.
    bool ClipboardText(std::string& text) override;
    void SetClipboardText(std::string_view text) override;

private:
    // One line from the terminal without its line end; false at its end or on an error.
    bool ReadTtyLine(std::string& line);
    std::FILE* tty_;
    std::unique_ptr<TXDesktop> desktop_;  // none without a display
};

// Standard input for read(n) (up to n bytes, read as they come), read() (everything)
// and readln() (a line without its LF and a CR before it). Standard output is
// flushed first, so a question printed by the script shows before the answer is read.
void ReadStandardInput(TKestrel& sender, std::string& text, bool& success, int count, bool line);

// Ctrl-C: the first asks the running script to stop (the engine's abort flag and the
// idle event see it); a second one ends the program at once.
void InstallInterruptHandler();
bool StopRequested() noexcept;
const volatile std::sig_atomic_t* StopFlag() noexcept;

}  // namespace tinctor
