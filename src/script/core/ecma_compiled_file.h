// Where compiled script files live and how they are read and written safely.
//
// A script's compiled file sits beside it under the script's name with the extension
// ".kcb". When that place cannot be written, the file goes to the user's own cache
// folder, $XDG_CACHE_HOME/tinctor/kcb/ (~/.cache when the variable is not set), made
// readable by the user alone, under a name derived from the script's full path, so
// that two scripts of the same name never share one file.
//
// A compiled file is only read when it is a regular file of a sane size that the
// user running the script owns: a tree planted by someone else is never run. Files
// are replaced atomically, so a crash never leaves half of one behind.
#pragma once

#include <cstddef>
#include <string>

namespace kestrel {

// No compiled file is read beyond this size (far more than any script gives).
inline constexpr std::size_t kMaxCompiledFileSize = std::size_t(64) << 20;

// The compiled file beside Script; empty when Script itself has the extension ".kcb".
std::string CompiledNameBeside(const std::string& script);

// The compiled file of Script in the user's cache folder, which is made when missing;
// empty when there is no such folder the user alone owns and controls.
std::string CompiledNameInCache(const std::string& script);

// Whether Compiled exists and was modified no earlier than Script.
bool IsCompiledFileCurrent(const std::string& compiled, const std::string& script);

// The whole file into Bytes; false when it cannot be read, is not a regular file, is
// larger than kMaxCompiledFileSize or belongs to another user.
bool ReadCompiledFile(const std::string& path, std::string& bytes);

// Replaces the file with Bytes atomically; false (and the old file untouched) on failure.
bool WriteCompiledFile(const std::string& path, const std::string& bytes);

}  // namespace kestrel
