// The command-line conventions that tinctor and kestrel share: -h/--help and
// -V/--version print to standard output and exit 0; a bad command line prints the
// usage to standard error and exits 2.
#pragma once

#include <string_view>

namespace tinctor {

inline constexpr int ExitHelp = 0;
inline constexpr int ExitUsage = 2;

// The version of the programs, set by the build.
std::string_view ProgramVersion();

bool IsHelpOption(std::string_view arg);
bool IsVersionOption(std::string_view arg);
// "-x" or "--xyz"; a lone "-" is an operand.
bool IsOption(std::string_view arg);

// "PROGRAM (Tinctor) VERSION" on standard output.
void PrintVersion(std::string_view program);
// Text as is on standard output (the --help text).
void PrintHelp(std::string_view text);
// "PROGRAM: Problem", the usage lines and a pointer to --help on standard error;
// returns ExitUsage.
int UsageError(std::string_view program, std::string_view problem, std::string_view usage);

}  // namespace tinctor
