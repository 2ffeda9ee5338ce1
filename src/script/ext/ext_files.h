// Whole-file reads and writes for the extension objects (names are bytes; files
// open close-on-exec; a FIFO or device never blocks a read).
#pragma once

#include <string>
#include <string_view>

namespace kestrel::ext {

// The bytes of the regular file Name; false when it cannot be read or holds more
// than the string limit.
bool ReadWholeFile(const std::string& name, std::string& bytes);
// Replaces the file's bytes (created 0666 & ~umask when missing); false on failure.
bool WriteWholeFile(const std::string& name, std::string_view bytes);

// Makes the folder Path and every missing folder on the way (Mode less the umask);
// true when Path is a folder afterwards (not a link to one).
bool MakeFolders(const std::string& path, unsigned mode);

}  // namespace kestrel::ext
