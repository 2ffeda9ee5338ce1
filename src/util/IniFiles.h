// TMemIniFile: the INI reader and writer of the settings file and the colour list files.
//
// The whole file is held in memory and reaches the disk only through UpdateFile/Save.
// Text is raw bytes in the system code page; nothing is decoded, so a colour comment
// written in another encoding survives a save untouched.
//
// Reading: a line ends at CR LF, LF or a lone CR. Each line is trimmed of spaces, tabs
// and other control bytes; empty lines, lines beginning with ";" and lines before the
// first section are dropped. "[name]" starts a section, "key=value" is stored with both
// sides trimmed, any other line is kept as it stands. Sections and keys match without
// regard to letter case; when a section or a key is repeated, the first one is read and
// written and later ones are kept unchanged.
//
// Saving writes every section as "[name]", its lines and one empty line, CR LF ends.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tinctor {

// Raised by UpdateFile when the file cannot be written (or was unreadable when opened).
class EIniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMemIniFile {
public:
    TMemIniFile() = default;
    // Reads the file whole; a missing file reads as empty.
    explicit TMemIniFile(std::string fileName);
    virtual ~TMemIniFile() = default;

    const std::string& FileName() const { return fileName_; }
    // True when the file existed but could not be read (not a regular file, larger than
    // MaxDataFileSize, no permission); such a file is never overwritten.
    bool LoadFailed() const { return !loadFailure_.empty(); }
    // Why, in words for a message box ("" when the file was read or is missing).
    const std::string& LoadFailure() const { return loadFailure_; }

    // Replaces the contents by the parsed Text (the file is not touched).
    void SetText(std::string_view text);
    // The contents as they would be saved.
    std::string GetText() const;
    void Clear();

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // Decimal, "$hex", "0xhex" (with an optional sign); 32 bits. Any other text gives Def.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    // An integer, non-zero is true; a text that is no number gives Def.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // A value is one line: it is cut before its first CR or LF (the same goes for keys
    // and section names), so a written file always reads back with the same keys.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The key names of the first section of that name, in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    // The section names in file order (a repeated name appears each time).
    std::vector<std::string> ReadSections() const;
    // Removes the first such key of the first such section.
    void DeleteKey(std::string_view section, std::string_view key);
    // Removes the first section of that name.
    void EraseSection(std::string_view section);

    // Writes the file atomically; false (the old file untouched) on failure.
    [[nodiscard]] bool Save() const;
    // Save that raises EIniFileError with the message for the error box.
    void UpdateFile() const;

    // Reads a 32-bit integer the way ReadInteger does; false for anything else.
    static bool ParseInteger(std::string_view text, int32_t& value);

private:
    struct Line {
        std::string key;    // for a line without "=", the whole line
        std::string value;
        bool hasValue = false;
    };
    // Case-blind hashing and matching that look up a string_view without a copy.
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept;
    };
    struct KeyEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
        // Key -> index of its first line, without regard to case; built on first lookup.
        mutable std::unordered_map<std::string, std::size_t, KeyHash, KeyEqual> index;
        mutable bool indexed = false;
        const Line* Find(std::string_view key) const;
        Line* Find(std::string_view key);
        void Append(Line line);
        void Reindex() const;
    };

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);

    std::string fileName_;
    std::string loadFailure_;
    std::vector<Section> sections_;
};

}  // namespace tinctor
