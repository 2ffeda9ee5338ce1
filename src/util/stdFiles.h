// File helpers that report success instead of raising.
#pragma once

#include <string>
#include <vector>

namespace tinctor {

// Names of the regular files in Folder whose names match Mask ("*.clr": the extension
// is compared exactly), sorted by name ignoring case, dot-files skipped. With
// WithoutExtension the extension is cut off each name. Returns whether any was found.
bool ListFileNames(const std::string& folder, const std::string& mask, std::vector<std::string>& names,
                   bool withoutExtension = false);

// Reads the whole file into Text; false when it cannot be read.
bool LoadTextFile(const std::string& path, std::string& text);

// Replaces the file with Text atomically: a temporary file in the same folder is
// written, flushed and renamed over the old one, so a crash or a full disk never
// leaves a half-written file. False (and the old file untouched) on any failure.
bool SaveTextFile(const std::string& path, const std::string& text);

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
