// kestrel: runs a script on the terminal.
//
//   kestrel FILE [ARG...]     compile and run FILE; each ARG is a text in `arguments`
//   kestrel -e TEXT [ARG...]  the same for the script TEXT
//   kestrel --compiled FILE [ARG...]
//                             load FILE's compiled tree when it is current, else
//                             compile FILE and write the tree for the next run
//
// The script's output goes to stdout, error reports to stderr, its input functions
// read stdin. The exit status is the script's own (a top-level `return n` or
// `exit(n)`); otherwise 1 after a failed compile or a reported error, else 0. A file
// that cannot be read gives 2.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "scripthost/Kestrel.h"
#include "util/stdFiles.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUnreadable = 2;

void Usage() {
    std::fputs("usage: kestrel [--compiled] FILE [ARG...]\n       kestrel -e TEXT [ARG...]\n", stderr);
}

void Write(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

// Standard input for read(n), read() and readln().
void ReadInput(tinctor::TKestrel&, std::string& text, bool& success, int count, bool line) {
    text.clear();
    if (line) {
        success = static_cast<bool>(std::getline(std::cin, text));
        if (success && !text.empty() && text.back() == '\r') text.pop_back();
        return;
    }
    if (count < 0) {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        text.resize(static_cast<std::size_t>(count));
        std::cin.read(text.data(), count);
        text.resize(static_cast<std::size_t>(std::cin.gcount()));
    }
    success = !text.empty() || count == 0;
}

int RunScript(tinctor::TKestrel& kestrel, bool fromText, const std::string& source, int argc, char** argv,
              int first) {
    kestrel.SetOnStdout([](tinctor::TKestrel&, std::string_view text) { Write(stdout, text); });
    kestrel.SetOnStderr([](tinctor::TKestrel&, std::string_view text) {
        std::fflush(stdout);
        Write(stderr, text);
    });
    kestrel.SetOnStdin(&ReadInput);
    kestrel::TJEngine& engine = kestrel.Engine();
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
    if (engine.ResultSet()) return result;
    return engine.ErrorReported() ? kFailed : result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage();
        return kUnreadable;
    }
    // --compiled goes before FILE; every word after FILE belongs to the script.
    const bool compiledBinary = std::string_view(argv[1]) == "--compiled";
    const int first = compiledBinary ? 2 : 1;
    const bool fromText = !compiledBinary && std::string_view(argv[1]) == "-e";
    if (argc < first + 1 + (fromText ? 1 : 0)) {
        Usage();
        return kUnreadable;
    }
    try {
        tinctor::TKestrel kestrel;
        kestrel.SetCompiledBinary(compiledBinary);
        return RunScript(kestrel, fromText, fromText ? argv[2] : argv[first], argc, argv, fromText ? 3 : first + 1);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "kestrel: host error: %s\n", e.what());
    } catch (...) {
        std::fflush(stdout);
        std::fputs("kestrel: host error\n", stderr);
    }
    return kFailed;
}
