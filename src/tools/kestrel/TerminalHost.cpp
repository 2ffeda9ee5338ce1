#include "TerminalHost.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iostream>
#include <vector>

#include "scripthost/Kestrel.h"
#include "util/CodePage.h"

namespace tinctor {

namespace {

// Input is read in pieces of this size, so that read(2147483647) allocates only what comes.
constexpr std::size_t kReadPiece = 64 * 1024;
// A multi-line answer ends with a line holding only this.
constexpr std::string_view kEndOfText = ".";

volatile std::sig_atomic_t gStopRequested = 0;

void OnInterrupt(int) {
    if (gStopRequested) {
        // The script did not stop: end as Ctrl-C ends any program.
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
    gStopRequested = 1;
}

struct TButton {
    std::string_view Name;
    int Result;
};

// The buttons of each box kind (the flags' low nibble) with their results.
const std::array<std::vector<TButton>, 6>& ButtonSets() {
    static const std::array<std::vector<TButton>, 6> sets = {{
        {{"OK", 1}},
        {{"OK", 1}, {"Cancel", 2}},
        {{"Abort", 3}, {"Retry", 4}, {"Ignore", 5}},
        {{"Yes", 6}, {"No", 7}, {"Cancel", 2}},
        {{"Yes", 6}, {"No", 7}},
        {{"Retry", 4}, {"Cancel", 2}},
    }};
    return sets;
}

constexpr int kDefaultButtonShift = 8;  // 0x100: the second button, 0x200: the third

}  // namespace

bool TTerminalHost::ReadTtyLine(std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(tty_)) != EOF && c != '\n') line += static_cast<char>(c);
    // Ctrl-D ends only this answer: the next question reads the terminal again.
    if (c == EOF) std::clearerr(tty_);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return c != EOF || !line.empty();
}

int TTerminalHost::MessageBox(std::string_view text, std::string_view caption, int flags) {
    if (!tty_) return kestrel::DismissedBoxResult(flags);
    const std::size_t kind = static_cast<std::size_t>(flags & 0xF);
    const std::vector<TButton>& buttons = ButtonSets()[kind < ButtonSets().size() ? kind : 0];
    const std::size_t defaultButton =
        std::min<std::size_t>(static_cast<std::size_t>((flags >> kDefaultButtonShift) & 0xF), buttons.size() - 1);
    std::fflush(stdout);
    std::fprintf(tty_, "[%.*s] %.*s\n", int(caption.size()), caption.data(), int(text.size()), text.data());
    for (;;) {
        for (std::size_t i = 0; i < buttons.size(); ++i)
            std::fprintf(tty_, "%s%.*s", i ? "/" : "", int(buttons[i].Name.size()), buttons[i].Name.data());
        std::fprintf(tty_, " [%.*s]? ", int(buttons[defaultButton].Name.size()), buttons[defaultButton].Name.data());
        std::fflush(tty_);
        std::string answer;
        if (!ReadTtyLine(answer)) {
            std::fputc('\n', tty_);
            return kestrel::DismissedBoxResult(flags);
        }
        if (answer.empty()) return buttons[defaultButton].Result;
        for (const TButton& b : buttons)  // the first letter is enough
            if (std::tolower(static_cast<unsigned char>(answer[0])) == std::tolower(static_cast<unsigned char>(b.Name[0])))
                return b.Result;
    }
}

bool TTerminalHost::InputBox(std::string_view message, bool multiLine, std::string& text) {
    if (!tty_) return false;
    std::fflush(stdout);
    std::fprintf(tty_, "%.*s\n", int(message.size()), message.data());
    if (multiLine) {
        std::fprintf(tty_, "(end with a line \"%.*s\"; Ctrl-D cancels)\n", int(kEndOfText.size()), kEndOfText.data());
        std::string all, line;
        for (bool first = true;; first = false) {
            if (!ReadTtyLine(line)) return false;
            if (line == kEndOfText) break;
            if (!first) all += "\r\n";
            all += line;
        }
        text = all;
        return true;
    }
    std::fprintf(tty_, "[%s]> ", text.c_str());  // an empty answer keeps the default
    std::fflush(tty_);
    std::string line;
    if (!ReadTtyLine(line)) {
        std::fputc('\n', tty_);
        return false;
    }
    if (!line.empty()) text = line;
    return true;
}

void ReadStandardInput(TKestrel&, std::string& text, bool& success, int count, bool line) {
    std::fflush(stdout);
    text.clear();
    if (line) {
        success = static_cast<bool>(std::getline(std::cin, text));
        if (success && !text.empty() && text.back() == '\r') text.pop_back();
        return;
    }
    if (count == 0 || count < -1) {  // nothing wanted
        success = true;
        return;
    }
    // One byte beyond the longest text, so that the text raises its own error.
    std::size_t wanted = std::min(count < 0 ? SIZE_MAX : static_cast<std::size_t>(count), kestrel::TJString::kMaxLength + 1);
    while (wanted > 0 && std::cin) {
        const std::size_t piece = std::min(wanted, kReadPiece);
        const std::size_t had = text.size();
        text.resize(had + piece);
        std::cin.read(text.data() + had, static_cast<std::streamsize>(piece));
        const auto got = static_cast<std::size_t>(std::cin.gcount());
        text.resize(had + got);
        wanted -= got;
        if (got < piece) break;
    }
    success = !text.empty();
}

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a blocking read returns and the script sees its stop
    sigaction(SIGINT, &action, nullptr);
}

bool StopRequested() noexcept { return gStopRequested != 0; }

const volatile std::sig_atomic_t* StopFlag() noexcept { return &gStopRequested; }

bool TTerminalHost::IsKeyDown(unsigned vk) { return desktop_ ? desktop_->IsKeyDown(vk) : TJHost::IsKeyDown(vk); }

kestrel::TJPointerState TTerminalHost::PointerState() {
    if (!desktop_) return TJHost::PointerState();
    const TXPointer p = desktop_->Pointer();
    return {p.X, p.Y, p.Left, p.Middle, p.Right};
}

bool TTerminalHost::ClipboardText(std::string& text) {
    if (!desktop_) return TJHost::ClipboardText(text);
    std::string utf8;
    const bool has = desktop_->ClipboardText(utf8);
    text = CodePage::Current().FromUtf8Replacing(utf8);
    return has;
}

void TTerminalHost::SetClipboardText(std::string_view text) {
    if (!desktop_) return TJHost::SetClipboardText(text);
    desktop_->SetClipboardText(CodePage::Current().ToUtf8Replacing(text));
}

}  // namespace tinctor
