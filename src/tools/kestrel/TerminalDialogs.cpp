// The file, folder and check-list dialogs of kestrel, asked on the controlling
// terminal. Ctrl-D (the end of the terminal's input) cancels each of them, and
// without a terminal they are cancelled at once.
//
// A file dialog asks for a name, relative names being taken in the dialog's folder,
// and asks again until the name fits (an existing file to open, an existing folder,
// a name to save in an existing folder, replacing a file only when the user says so).
// The check list shows numbered lines with their marks; numbers toggle marks and
// select the line, an empty line is OK and "q" is Cancel.
#include <sys/stat.h>

#include <cctype>
#include <charconv>
#include <sstream>

#include "TerminalHost.h"
#include "script/ext/ext_paths.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

using TKind = kestrel::TJFileDialog::TKind;

constexpr std::string_view kCancel = "q";

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string_view Verb(TKind kind) {
    switch (kind) {
    case TKind::Open: return "Open a file";
    case TKind::OpenMany: return "Open files, one name a line, an empty line to end";
    case TKind::Save: return "Save as";
    case TKind::Folder: return "Choose a folder";
    }
    return {};
}

// Why Name (a full path) does not fit the dialog, or "" when it does.
std::string Refusal(const kestrel::TJFileDialog& dialog, const std::string& name) {
    switch (dialog.Kind) {
    case TKind::Open:
    case TKind::OpenMany:
        return Exists(name) && !DirectoryExists(name) ? std::string() : "no such file: " + name;
    case TKind::Save:
        if (DirectoryExists(name)) return "a folder: " + name;
        return DirectoryExists(kestrel::ext::ExcludeDelimiter(kestrel::ext::ExtractPath(name))) ? std::string()
                                                                                        : "no such folder for " + name;
    case TKind::Folder:
        return DirectoryExists(name) ? std::string() : "no such folder: " + name;
    }
    return {};
}

}  // namespace

bool TTerminalHost::FileDialog(const kestrel::TJFileDialog& dialog, std::vector<std::string>& chosen) {
    if (!tty_) return false;
    std::fflush(stdout);
    std::fprintf(tty_, "[%s] %.*s in %s", dialog.Title.c_str(), int(Verb(dialog.Kind).size()), Verb(dialog.Kind).data(),
                 dialog.Folder.c_str());
    if (!dialog.Filter.empty()) std::fprintf(tty_, " (%s)", dialog.Filter.c_str());
    std::fputc('\n', tty_);
    const std::string proposed = dialog.Kind == TKind::Folder ? dialog.Folder : dialog.FileName;
    chosen.clear();
    for (;;) {
        std::fprintf(tty_, "[%s]> ", chosen.empty() ? proposed.c_str() : "");
        std::fflush(tty_);
        std::string answer;
        if (!ReadTtyLine(answer)) {
            std::fputc('\n', tty_);
            chosen.clear();
            return false;
        }
        if (answer.empty()) {
            if (!chosen.empty()) return true;  // the end of several names
            if (proposed.empty()) continue;
            answer = proposed;
        }
        std::string name = answer.front() == '/' ? answer : kestrel::ext::IncludeDelimiter(dialog.Folder) + answer;
        if (dialog.Kind == TKind::Save && !dialog.DefaultExt.empty() && kestrel::ext::ExtractExt(name).empty())
            name += "." + dialog.DefaultExt;
        if (const std::string refusal = Refusal(dialog, name); !refusal.empty()) {
            std::fprintf(tty_, "%s\n", refusal.c_str());
            continue;
        }
        if (dialog.Kind == TKind::Save && Exists(name)) {
            std::fprintf(tty_, "%s exists. Replace it? y/N ", name.c_str());
            std::fflush(tty_);
            std::string yes;
            if (!ReadTtyLine(yes) || yes.empty() || std::tolower(static_cast<unsigned char>(yes[0])) != 'y') continue;
        }
        chosen.push_back(name);
        if (dialog.Kind != TKind::OpenMany) return true;
    }
}

bool TTerminalHost::CheckListDialog(kestrel::TJCheckList& list) {
    if (!tty_) return false;
    std::fflush(stdout);
    std::vector<bool> marks = list.Checked;
    marks.resize(list.Lines.size(), false);
    std::fprintf(tty_, "[%s] %s\n", list.Caption.c_str(), list.Text.c_str());
    for (;;) {
        for (std::size_t i = 0; i < list.Lines.size(); ++i)
            std::fprintf(tty_, "%c%3zu [%c] %s\n", static_cast<int>(i) == list.Index ? '>' : ' ', i + 1,
                         marks[i] ? 'x' : ' ', list.Lines[i].c_str());
        std::fprintf(tty_, "numbers toggle their marks, Enter = OK, %.*s = Cancel> ", int(kCancel.size()),
                     kCancel.data());
        std::fflush(tty_);
        std::string answer;
        if (!ReadTtyLine(answer)) {
            std::fputc('\n', tty_);
            return false;
        }
        if (answer.empty()) {
            list.Checked = std::move(marks);
            return true;
        }
        if (answer == kCancel) return false;
        std::istringstream words(answer);
        for (std::string word; words >> word;) {
            std::size_t number = 0;
            const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
            if (error != std::errc() || end != word.data() + word.size() || number < 1 || number > list.Lines.size()) {
                std::fprintf(tty_, "no line %s\n", word.c_str());
                continue;
            }
            marks[number - 1] = !marks[number - 1];
            list.Index = static_cast<int>(number - 1);
        }
    }
}

}  // namespace tinctor
