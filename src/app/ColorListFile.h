// Colour list files: one list of colours with comments per ".clr" file.
//
// A list file is an INI file (TMemIniFile's rules) with the section COLORS: Total, the
// number of entries, and the keys 0 .. Total-1, each the colour code, a comma and the
// comment. The code ends at the first comma; the comment may hold more commas. Writing
// a list back keeps everything else the file holds (other sections and keys, keys
// numbered Total and above). Text stays raw bytes, so a comment in another encoding
// survives a save.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "colour/stdColors.h"

namespace tinctor {

class TMemIniFile;

inline constexpr const char* ColorListSection = "COLORS";
inline constexpr const char* ColorListExtension = ".clr";
// The whole text of a new, empty list file.
inline constexpr const char* NewColorListText = "[COLORS]\r\ntotal=0";
// A Total above this is damage (a hand edit, a broken disk), not a list: loading it
// as it stands would append billions of empty entries.
inline constexpr int32_t MaxColorListTotal = 100000;

struct TColorEntry {
    std::string Code;
    std::string Comment;
    friend bool operator==(const TColorEntry&, const TColorEntry&) = default;
};

// The stored value of an entry: code "," comment (the comma is always written).
std::string ColorEntryValue(const TColorEntry& entry);
// The entry of a stored value, split at its first comma. A value without a comma has
// no code; its text is kept as the comment, so a later save loses nothing.
TColorEntry ColorEntryOfValue(std::string_view value);

// The colour an entry's code gives; NoColor for a code that gives none, including
// one the parser refuses with a conversion error (only a hand-edited file has those).
TColor ColorOfEntryCode(std::string_view code);

// A list file that cannot be read or written; the message is for the error box.
class EColorListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How the Total of a list file was found.
enum class TTotalState {
    Usable,    // a number 0 .. MaxColorListTotal (or no Total and no entries: a new list)
    Missing,   // no Total, but numbered entries
    Unusable,  // not a number, negative, or beyond 32 bits
    TooLarge,  // beyond MaxColorListTotal
};

struct TColorListContents {
    std::vector<TColorEntry> Entries;
    // Set when Total was missing, unusable or beyond MaxColorListTotal. Entries then
    // holds the numbered keys the file has (0 up to the highest one below the limit),
    // so that no entry is ever written over unread, and the next save writes a Total
    // that matches them.
    bool DamagedTotal = false;
    TTotalState TotalState = TTotalState::Usable;
    int32_t StoredTotal = 0;
    std::string StoredTotalText;  // as the file spells it
};

// The list an INI file holds. A missing key below Total gives an entry with empty
// code and comment.
TColorListContents ReadColorList(const TMemIniFile& ini);
// Writes Total and the keys 0 .. size-1 into the file's COLORS section; keys beyond
// stay as they are.
void WriteColorList(TMemIniFile& ini, const std::vector<TColorEntry>& entries);

// Reads the list file Path; a missing file is an empty list. Throws EColorListError
// when the file exists but cannot be read.
TColorListContents LoadColorListFile(const std::string& path);
// Writes Entries into the list file Path, keeping the rest of the file, and replaces
// the file atomically. Throws EColorListError when it cannot (the file is untouched).
void SaveColorListFile(const std::string& path, const std::vector<TColorEntry>& entries);
// Writes the text of a new, empty list to Path; false when it cannot be written.
bool CreateColorListFile(const std::string& path);

// The refusal of an add to a list that holds MaxColorListTotal entries already.
std::string ListFullMessage();

// The warning shown after loading a list whose Total was damaged.
std::string DamagedTotalMessage(const std::string& path, const TColorListContents& contents);

}  // namespace tinctor
