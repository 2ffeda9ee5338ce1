// The special-folder macros of stored paths ("%PERSONAL%\..." and friends).
//
// The rows are resolved once, in table order, and each folder is held without a
// trailing "/". A path stored with a macro names the same file wherever the user's
// folders are; the rows that only Windows has (Windows, system, program files) have
// no folder here and so never match.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tinctor {

struct TSpecialFolder {
    std::string Macro;   // "%PERSONAL%"
    std::string Folder;  // without a trailing "/"; empty: matches nothing
};

class TSpecialFolders {
public:
    // Documents, music and pictures from the XDG user folders (music and pictures fall
    // back to documents, documents to the home folder), the XDG config and data homes,
    // the home folder and ProgramFolder.
    static TSpecialFolders FromEnvironment();
    // The table of this process, resolved on first use.
    static const TSpecialFolders& Current();
    // Resolves the table again (after the program folder or the environment changed).
    static void Reload();

    explicit TSpecialFolders(std::vector<TSpecialFolder> rows) : rows_(std::move(rows)) {}
    const std::vector<TSpecialFolder>& Rows() const { return rows_; }

    // Path with its leading folder replaced by the macro of the first row whose folder
    // it begins with (as a whole folder, letter case counts); unchanged when none does.
    std::string ToMacroPath(std::string_view path) const;
    // The reverse: a leading macro (any letter case) becomes its folder, with the rest's
    // backslashes read as separators; unchanged when the path starts with no known macro.
    std::string FromMacroPath(std::string_view path) const;

private:
    std::vector<TSpecialFolder> rows_;
};

}  // namespace tinctor
