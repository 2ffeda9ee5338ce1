// File name parts on Linux: "/" is the only separator ("\" and ":" are ordinary
// name characters), there are no drive letters, UNC names or short names.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::ext {

// The name after the last "/".
std::string_view ExtractName(std::string_view path);
// The folder with its trailing "/" ("" without one).
std::string_view ExtractPath(std::string_view path);
// The folder without its trailing "/", except the root "/".
std::string_view ExtractDir(std::string_view path);
// From the last "." of the name on, or "".
std::string_view ExtractExt(std::string_view path);
// Path with its extension replaced by Ext (added when it has none).
std::string ChangeExt(std::string_view path, std::string_view ext);
// The absolute path made lexically from the current folder: "." and ".." and
// doubled "/" resolved without following symbolic links.
std::string ExpandFileName(std::string_view path);
std::string IncludeDelimiter(std::string_view path);
// The path without trailing "/", except the root "/".
std::string ExcludeDelimiter(std::string_view path);

}  // namespace kestrel::ext
