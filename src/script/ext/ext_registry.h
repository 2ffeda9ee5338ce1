// The registry below HKEY_CURRENT_USER as a file tree:
// $XDG_CONFIG_HOME/tinctor/registry/HKEY_CURRENT_USER/, a key path split at "\"
// into one folder per key, the values of a key in one file ("values") replaced
// atomically (temporary file and rename) while an flock on the key's ".lock" is held.
// Key and value names match without regard to case; the first spelling is kept.
// Key names "", ".", ".." and names holding "/" or a zero byte are refused, so
// no key path leads out of the tree.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::ext {

class TRegistryKey {
public:
    // Opens (making it when missing) the key at Path below HKEY_CURRENT_USER;
    // false when the path is refused or the folders cannot be made.
    bool Open(std::string_view path);
    const std::string& Folder() const noexcept { return folder_; }

    // The subkeys of this key and the values of subkey Section; Section names
    // a single key (no "\").
    std::vector<std::string> SubKeys() const;
    bool SubKeyExists(std::string_view section) const;
    std::optional<std::vector<std::string>> ValueNames(std::string_view section) const;
    std::optional<std::string> ReadValue(std::string_view section, std::string_view name) const;
    // False when the name is refused or the file cannot be written.
    bool WriteValue(std::string_view section, std::string_view name, std::string_view value);
    bool DeleteValue(std::string_view section, std::string_view name);
    // Deletes the subkey with everything below it.
    bool DeleteSubKey(std::string_view section);

private:
    std::string folder_;  // ends in "/"
};

// The registry root folder (made on demand by Open).
std::string RegistryRoot();

}  // namespace kestrel::ext
