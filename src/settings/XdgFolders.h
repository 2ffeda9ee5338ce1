// The per-user folders of the XDG base directory and user directory conventions.
// Every folder is returned without a trailing "/" (empty when it cannot be found).
#pragma once

#include <string>
#include <string_view>

namespace tinctor {

// $HOME, else the home folder of the user's account.
std::string HomeFolder();
// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config.
std::string XdgConfigHome();
// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share.
std::string XdgDataHome();
// The folder of XDG_<Name>_DIR ("DOCUMENTS", "MUSIC", "PICTURES") from user-dirs.dirs in
// the config home; empty when the file or the entry is missing.
std::string XdgUserDir(std::string_view name);
// The value of one XDG_<Name>_DIR line of a user-dirs.dirs text: "$HOME/..." or an
// absolute path in double quotes, with backslash escapes. Empty when absent or invalid.
std::string ParseUserDirs(std::string_view text, std::string_view name, const std::string& home);

}  // namespace tinctor
