// The Japanese text conversions behind the String methods toJIS, fromSJIStoEUC,
// toUTF8, toZenkaku and their siblings: recognition of the encoding a text is in,
// the conversions between Shift_JIS, EUC-JP and 7-bit JIS (the system's own row and
// cell arithmetic), and the code page, width and kana conversions.
//
// Every function reads a text and returns a new one; none raises except
// EStringError "string too long" when the result would pass the string limit.
// "SJIS" means the system code page: under CP932 the text is Shift_JIS bytes;
// under UTF-8 the SJIS side is UTF-8 text, converted to and from CP932 bytes around
// the byte algorithms by the code page service. EUC-JP and JIS are bytes in both.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::jconvert {

// The encoding classes that recognition tells apart.
enum class TJCodeClass : std::uint8_t { None, Binary, Jis, OldJis, Euc, Sjis, EucOrSjis };

// The class of Bytes by the byte rules alone (the code page plays no part).
TJCodeClass RecognizeBytes(std::string_view bytes);
// The class of system text: under UTF-8, valid UTF-8 holding a multi-byte
// character is system text (Sjis); otherwise the byte rules decide.
TJCodeClass Recognize(std::string_view text);

// Automatic conversions: the text unchanged when its class is None, Binary,
// EucOrSjis or the target already.
std::string ToJIS(std::string_view text);
std::string ToEUC(std::string_view text);
std::string ToSJIS(std::string_view text);

// Direct conversions, without recognition.
std::string FromJIStoSJIS(std::string_view text);
std::string FromJIStoEUC(std::string_view text);
std::string FromEUCtoSJIS(std::string_view text);
std::string FromEUCtoJIS(std::string_view text);
std::string FromSJIStoEUC(std::string_view text);
std::string FromSJIStoJIS(std::string_view text);

// System text as UTF-8, and UTF-8 as system text; bytes that do not decode
// become "?", and so do characters the code page lacks.
std::string ToUTF8(std::string_view text);
std::string FromUTF8toSJIS(std::string_view text);
// System text as UTF-16: its bytes, little-endian, without a byte order mark.
std::string ToWide(std::string_view text);

// Width and kana conversions over the whole text.
std::string ToZenkaku(std::string_view text);
std::string ToHankaku(std::string_view text);
std::string ToHiragana(std::string_view text);
std::string ToKatakana(std::string_view text);

// The JIS X 0208 row and cell of a half-width katakana byte (0xA1-0xDF), and the
// cell after merging a following voiced (0xDE) or semi-voiced (0xDF) mark; Cell
// stays as it is when the mark does not merge. Shared with the width conversions.
struct TJJisChar {
    unsigned char row, cell;
};
TJJisChar HalfwidthKatakanaToJis(unsigned char katakana);
bool MergeSoundMark(unsigned char katakana, unsigned char mark, TJJisChar& jis);

}  // namespace kestrel::jconvert
