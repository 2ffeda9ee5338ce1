// tinctor's command line: its own options (--help, --version) and Qt's, which go on
// to the application object. Read before any window exists, so that --help works
// without a display.
#pragma once

#include <optional>

namespace tinctor {

// The exit code when the command line is answered (help, version) or wrong (usage on
// standard error, exit 2); nothing when the program is to start.
std::optional<int> ParseProgramOptions(int argc, char** argv);

}  // namespace tinctor
