// kestrel: runs a script on the terminal.
//
//   kestrel [OPTION]... FILE [ARG...]     compile and run FILE; each ARG is a text in `arguments`
//   kestrel [OPTION]... -e TEXT [ARG...]  the same for the script TEXT
//   kestrel --compiled FILE [ARG...]
//                             load FILE's compiled tree when it is current, else
//                             compile FILE and write the tree for the next run
//
// The script's output goes to stdout (buffered, flushed before input is read and at
// the end), error reports to stderr, its input functions read stdin, and its dialogs
// ask on the terminal (TerminalHost.h). The exit status is the script's own (a
// top-level `return n` or `exit(n)`, of which the system keeps the low 8 bits);
// otherwise 1 after a failed compile or a reported error, else 0. A file that cannot
// be read or a bad command line gives 2; a run stopped by Ctrl-C gives 130.
// `import` also searches the installed script library.
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "TerminalHost.h"
#include "scripthost/Kestrel.h"
#include "util/CommandLine.h"
#include "util/ProgramFiles.h"
#include "util/stdFiles.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUnreadable = 2;
// The usual status of a program that SIGINT ended.
constexpr int kInterrupted = 130;

constexpr std::string_view kProgram = "kestrel";
constexpr std::string_view kUsage =
    "usage: kestrel [OPTION]... FILE [ARG]...\n"
    "       kestrel [OPTION]... -e TEXT [ARG]...\n";
constexpr std::string_view kHelp =
    "usage: kestrel [OPTION]... FILE [ARG]...\n"
    "       kestrel [OPTION]... -e TEXT [ARG]...\n"
    "Runs a Kestrel script on the terminal. Each ARG reaches the script as a text in\n"
    "the global `arguments` array.\n"
    "\n"
    "  -e TEXT        run the script TEXT instead of a file\n"
    "  --compiled     load FILE's compiled tree (.kcb) when it is current, else compile\n"
    "                 FILE and write the tree for the next run\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "  --             end of options: the next argument is the file\n"
    "\n"
    "The script writes to standard output, reports errors on standard error and\n"
    "reads standard input. `import NAME;` finds NAME.ksc in the script library of the\n"
    "installation, beside the script, beside kestrel or in the current folder.\n"
    "\n"
    "Environment:\n"
    "  TINCTOR_CODEPAGE  932 treats text as Shift-JIS, 65001 as UTF-8 (default: the locale)\n"
    "\n"
    "Exit status: the script's own (a top-level return or exit(n)); otherwise 0, or 1\n"
    "after a compile or run error; 2 for a bad command line or an unreadable file.\n";

// What the command line asks for: the script (a file or a text), its arguments, and
// whether a file goes through its compiled tree.
struct TCommand {
    bool FromText = false;
    std::string Source;
    int FirstArgument = 0;
    bool CompiledBinary = false;
};

void Write(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

int RunScript(tinctor::TKestrel& kestrel, bool fromText, const std::string& source, int argc, char** argv,
              int first) {
    kestrel.SetOnStdout([](tinctor::TKestrel&, std::string_view text) { Write(stdout, text); });
    kestrel.SetOnStderr([](tinctor::TKestrel&, std::string_view text) {
        std::fflush(stdout);
        Write(stderr, text);
    });
    kestrel.SetOnStdin(&tinctor::ReadStandardInput);
    // Ctrl-C stops the statement that runs, or ends the event loop quietly.
    kestrel::TJEngine& engine = kestrel.Engine();
    engine.AbortFlag = tinctor::StopFlag();
    kestrel.SetOnDoEvents([](tinctor::TKestrel&, bool& abort) { abort = tinctor::StopRequested(); });
    if (!fromText) {
        std::string probe;
        if (!tinctor::LoadTextFile(source, probe)) {
            std::fprintf(stderr, "kestrel: cannot read %s\n", source.c_str());
            return kUnreadable;
        }
    }
    const bool compiled = fromText ? engine.CompileText(source) : kestrel.CompileFile(source);
    if (!compiled) return kFailed;
    kestrel::TJValueList args;
    for (int i = first; i < argc; ++i) args.AddString(kestrel::TJString(argv[i]));
    const int result = kestrel.RunWithList(&args);
    std::fflush(stdout);
    if (tinctor::StopRequested()) return kInterrupted;
    if (engine.ResultSet()) return result;
    return engine.ErrorReported() ? kFailed : result;
}

// Reads the options before the script; returns an exit code when the command line
// is answered (help, version) or wrong, else fills Command.
std::optional<int> ParseCommandLine(int argc, char** argv, TCommand& command) {
    int i = 1;
    for (; i < argc && tinctor::IsOption(argv[i]); ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (tinctor::IsHelpOption(arg)) {
            tinctor::PrintHelp(kHelp);
            return tinctor::ExitHelp;
        }
        if (tinctor::IsVersionOption(arg)) {
            tinctor::PrintVersion(kProgram);
            return tinctor::ExitHelp;
        }
        if (arg == "--compiled") {
            command.CompiledBinary = true;
            continue;
        }
        if (arg == "-e") {
            if (i + 1 >= argc) return tinctor::UsageError(kProgram, "option -e needs a script text", kUsage);
            command.FromText = true;
            command.Source = argv[i + 1];
            command.FirstArgument = i + 2;
            return std::nullopt;
        }
        return tinctor::UsageError(kProgram, "unknown option " + std::string(arg), kUsage);
    }
    if (i >= argc) return tinctor::UsageError(kProgram, "no script file given", kUsage);
    command.Source = argv[i];
    command.FirstArgument = i + 1;
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    TCommand command;
    if (const std::optional<int> answered = ParseCommandLine(argc, argv, command)) return *answered;
    try {
        tinctor::InstallInterruptHandler();
        // Dialogs ask on the controlling terminal, when there is one.
        std::FILE* tty = std::fopen("/dev/tty", "r+");
        struct TCloseTty {
            std::FILE* File;
            ~TCloseTty() {
                if (File) std::fclose(File);
            }
        } closeTty{tty};
        tinctor::TTerminalHost host(tty);
        tinctor::TKestrel kestrel;
        kestrel.SetHost(&host);
        kestrel.SetIsConsole(true);
        kestrel.SetCompiledBinary(command.CompiledBinary);
        if (const std::string library = tinctor::ScriptLibraryFolder(); tinctor::DirectoryExists(library))
            kestrel.SetLibraryPath({library});
        return RunScript(kestrel, command.FromText, command.Source, argc, argv, command.FirstArgument);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "kestrel: host error: %s\n", e.what());
    } catch (...) {
        std::fflush(stdout);
        std::fputs("kestrel: host error\n", stderr);
    }
    return kFailed;
}
