// Emptying a folder: into the freedesktop trash, or for good.
#pragma once

#include <string>

namespace kestrel::ext {

// Moves every item of the folder Dir (a full path) into the trash of its file
// system: $XDG_DATA_HOME/Trash (default ~/.local/share/Trash) on the home file
// system, $topdir/.Trash-$UID elsewhere, each with a .trashinfo holding Path and
// DeletionDate. Items that cannot go to the trash stay where they are. Symbolic
// links are moved as links, never followed. False when any item stayed.
bool MoveContentsToTrash(const std::string& dir);
// Deletes every item of Dir for good, never following symbolic links. False when
// any item stayed.
bool DeleteContents(const std::string& dir);

}  // namespace kestrel::ext
