// Lexical path operations of the settings file: no file system access, no current
// folder involved, symbolic links left alone.
#pragma once

#include <string>
#include <string_view>

namespace tinctor {

inline bool IsAbsolutePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

// Collapses repeated "/", drops "." steps and resolves ".." against the folder before
// it (".." above the root stays at the root; leading ".." of a relative path stay).
// A trailing "/" is kept.
std::string NormalizePath(std::string_view path);

// Path as a full path: an absolute path unchanged, an empty one empty, a relative one
// taken relative to Base (a folder). A backslash in a relative path is a separator,
// as in files written on Windows.
std::string ExpandFileName(std::string_view path, std::string_view base);

// Dest relative to the folder Base, with ".." steps where needed. Dest is returned
// unchanged when it is relative, and normalized but absolute when its first folder
// differs from Base's first folder (another disk, in effect).
std::string ExtractRelativePath(std::string_view base, std::string_view dest);

}  // namespace tinctor
