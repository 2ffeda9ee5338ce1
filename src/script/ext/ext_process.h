// Starting programs without a shell: Windows-style command lines split into
// arguments, posix_spawnp in a new session with stdin from /dev/null, and every
// child reaped so that none is left a zombie.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::ext {

// The arguments of a command line by the Windows rules: blanks separate outside
// double quotes; 2n backslashes before a quote give n and the quote toggles quoting,
// 2n+1 give n and a literal quote; "" inside quotes is a literal quote; other
// backslashes are literal.
std::vector<std::string> SplitCommandLine(std::string_view line);
// Starts Args (Args[0] looked up on PATH) in Folder ("" = the current one). With
// Wait, waits at most that long and gives the exit status (none when the child did
// not end in time or could not start); without, gives 0 once it started. A child
// not waited for is reaped in the background.
std::optional<int> Spawn(const std::vector<std::string>& args, const std::string& folder,
                         std::optional<std::chrono::milliseconds> wait);

}  // namespace kestrel::ext
