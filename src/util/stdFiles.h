// File helpers that report success instead of raising.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tinctor {

// The largest settings, list or script file that is read: anything bigger is damage
// or a mistake, and reading it whole would exhaust memory.
inline constexpr std::size_t MaxDataFileSize = std::size_t{64} << 20;

enum class TLoadResult {
    Loaded,
    Missing,     // no such file (or no such folder on the way)
    NotRegular,  // a folder, a device, a FIFO, a socket
    TooLarge,    // beyond the size limit
    Failed,      // exists but cannot be read (permissions, I/O error)
};

// Names of the regular files in Folder whose names match Mask ("*.clr": the extension
// is compared exactly), sorted by name ignoring case, dot-files skipped. With
// WithoutExtension the extension is cut off each name. Returns whether any was found.
bool ListFileNames(const std::string& folder, const std::string& mask, std::vector<std::string>& names,
                   bool withoutExtension = false);

// Reads the whole file into Text; false when it cannot be read.
bool LoadTextFile(const std::string& path, std::string& text);
// Reads the whole of Path into Text only when it is a regular file of at most MaxSize
// bytes (following links); Text is empty unless the result is Loaded. Opening never
// blocks, whatever the file is.
TLoadResult LoadRegularFile(const std::string& path, std::string& text, std::size_t maxSize = MaxDataFileSize);

// Replaces the file with Text atomically: a temporary file in the same folder is
// written, flushed and renamed over the old one, so a crash or a full disk never
// leaves a half-written file. A symbolic link is written through: the temporary file
// goes beside the link's final target, which is replaced, and the link stays. A file
// without write permission is refused, never replaced. Temporary files of this
// naming that a killed save left in the folder are removed. False (and the old file
// untouched) on any failure.
bool SaveTextFile(const std::string& path, const std::string& text);
// The final target of Path after following symbolic links (Path itself when it is
// none); a dangling link gives the path it points to.
std::string ResolveLinks(const std::string& path);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the folder and its parents; true when it exists afterwards.
bool ForceDirectories(const std::string& path);
// Ensures a trailing "/" (an empty path stays empty).
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExtractFilePath(const std::string& path);  // with the trailing "/"
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);   // with the dot, or empty
std::string ChangeFileExt(const std::string& path, const std::string& ext);

}  // namespace tinctor
