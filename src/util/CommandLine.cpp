#include "util/CommandLine.h"

#include <cstdio>

#ifndef TINCTOR_VERSION
#define TINCTOR_VERSION "0.0"
#endif

namespace tinctor {

namespace {

void Write(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

}  // namespace

std::string_view ProgramVersion() { return TINCTOR_VERSION; }

bool IsHelpOption(std::string_view arg) { return arg == "-h" || arg == "--help"; }

bool IsVersionOption(std::string_view arg) { return arg == "-V" || arg == "--version"; }

bool IsOption(std::string_view arg) { return arg.size() > 1 && arg.front() == '-'; }

void PrintVersion(std::string_view program) {
    std::printf("%.*s (Tinctor) %.*s\n", static_cast<int>(program.size()), program.data(),
                static_cast<int>(ProgramVersion().size()), ProgramVersion().data());
}

void PrintHelp(std::string_view text) { Write(stdout, text); }

int UsageError(std::string_view program, std::string_view problem, std::string_view usage) {
    std::fflush(stdout);
    Write(stderr, program);
    Write(stderr, ": ");
    Write(stderr, problem);
    Write(stderr, "\n");
    Write(stderr, usage);
    Write(stderr, "Try '");
    Write(stderr, program);
    Write(stderr, " --help' for more information.\n");
    return ExitUsage;
}

}  // namespace tinctor
