// The code page service: the one place that knows how text bytes are encoded.
//
// Text throughout the program is byte strings in the system code page, where a
// multi-byte character counts as one character. Two code pages are supported:
// UTF-8 (65001, the default on Linux) and CP932 (932, Shift-JIS). The code page
// is chosen once at start-up from the locale; TINCTOR_CODEPAGE=932 or 65001
// overrides it. Tests may switch it with CodePage::Select.
//
// Invalid byte sequences never crash and never loop: a stray byte is a
// character of length one. Conversions to UTF-16 keep such bytes recoverable
// by mapping each to U+DC00 + byte (a lone low surrogate), which the
// conversions back to the code page turn into the same byte again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tinctor {

class CodePage {
public:
    static constexpr int Utf8 = 65001;
    static constexpr int ShiftJis = 932;

    // The code page of this process (chosen on first use).
    static const CodePage& Current();
    // Switches the process code page (tests, start-up). Unknown ids give UTF-8.
    static void Select(int id);
    // The code page named by TINCTOR_CODEPAGE, else by the locale.
    static int FromEnvironment();

    int Id() const { return id_; }
    bool IsUtf8() const { return id_ == Utf8; }

    // True when B starts a two-byte character (CP932) or a multi-byte sequence (UTF-8).
    bool IsLeadByte(unsigned char b) const;
    // Byte length of the character that starts at S[Pos]; 1 for a stray or cut byte,
    // 0 only when Pos is at or beyond the end.
    std::size_t CharLength(std::string_view s, std::size_t pos) const;
    // Start of the character that ends just before Pos (Pos itself when 0).
    std::size_t PrevBoundary(std::string_view s, std::size_t pos) const;
    // Number of characters in S.
    std::size_t CharCount(std::string_view s) const;
    // Byte offset of the character with index N (the size of S when N is past the end).
    std::size_t ByteOffset(std::string_view s, std::size_t n) const;
    // True when Pos is a character boundary of S.
    bool IsBoundary(std::string_view s, std::size_t pos) const;

    // Upper and lower case of the single-byte letters A-Z, a-z; bytes of multi-byte
    // characters (including CP932 trail bytes that look like letters) stay as they are.
    std::string Upper(std::string_view s) const;
    std::string Lower(std::string_view s) const;
    // Case-insensitive equality under the same rule.
    bool EqualsIgnoreCase(std::string_view a, std::string_view b) const;
    // The fixed string order used where the system asks for the locale's order:
    // bytewise after case folding of single-byte letters, ties broken bytewise, so
    // only identical texts compare equal. Returns <0, 0 or >0.
    int Compare(std::string_view a, std::string_view b) const;
    int CompareIgnoreCase(std::string_view a, std::string_view b) const;

    std::u16string ToUtf16(std::string_view s) const;
    std::string FromUtf16(std::u16string_view s) const;
    std::string ToUtf8(std::string_view s) const;
    std::string FromUtf8(std::string_view s) const;

    // Strict forms for conversions whose result must be clean text of the target
    // encoding: a byte that does not decode becomes "?" (the code page's default
    // character) instead of travelling on as itself.
    std::u16string ToUtf16Replacing(std::string_view s) const;
    std::string ToUtf8Replacing(std::string_view s) const;
    std::string FromUtf8Replacing(std::string_view s) const;

    // True when this code page has a character for U (CP932 lacks many).
    bool CanEncode(char16_t u) const;
    // The CP932 bytes of system text. Under UTF-8, text that is valid UTF-8 is
    // converted (characters CP932 lacks become "?"); any other text is taken to be
    // CP932 bytes already, so that legacy Shift-JIS data still reads as such.
    std::string ToCp932(std::string_view s) const;
    // System text of CP932 bytes; under UTF-8, bytes that do not decode become "?".
    std::string FromCp932(std::string_view s) const;
    // True when S is well formed in this code page and holds at least one
    // multi-byte character.
    bool HasMultiByteText(std::string_view s) const;

private:
    explicit CodePage(int id) : id_(id) {}
    int id_;
};

// Stateless UTF-8 and CP932 conversions, usable whatever the process code page is.
namespace encoding {
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);
// With Replace, a pair that CP932 leaves unassigned becomes one "?" instead of
// its two bytes.
std::u16string Cp932ToUtf16(std::string_view s, bool replace = false);
std::string Utf16ToCp932(std::u16string_view s);
// Length of the UTF-8 sequence at S[Pos] when it is well formed, else 1.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos);
// True when every byte of S belongs to a well-formed UTF-8 sequence.
bool IsValidUtf8(std::string_view s);
// Turns the units that carry undecodable bytes (see above) into "?".
void ReplaceUndecodable(std::u16string& s);
// True when CP932 has a character for U.
bool Cp932CanEncode(char16_t u);
inline bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
}  // namespace encoding

}  // namespace tinctor
