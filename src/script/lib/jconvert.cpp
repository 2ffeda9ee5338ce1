#include "script/lib/jconvert.h"

#include <array>

#include "script/core/ecma_type.h"
#include "script/lib/unicodelib.h"
#include "util/CodePage.h"

namespace kestrel::jconvert {

namespace {

using tinctor::CodePage;

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;
constexpr unsigned char kEucKana = 0x8E;  // EUC-JP: the next byte is a half-width katakana
constexpr unsigned char kHighBit = 0x80;
constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;
constexpr unsigned char kKanaRow = 0x25;    // JIS X 0208 row of the katakana
constexpr unsigned char kSymbolRow = 0x21;  // JIS X 0208 row of the kana punctuation
constexpr unsigned char kVuCell = 0x74;     // ヴ in the katakana row
constexpr std::string_view kToTwoByte = "\x1B$B";
constexpr std::string_view kToOneByte = "\x1B(J";
// Recognition looks for binary bytes among this many leading bytes first.
constexpr std::size_t kBinaryProbe = 512;

// JIS X 0208 cells of the half-width katakana 0xA1-0xDF, indexed by byte - 0xA1.
constexpr std::array<unsigned char, 63> kKatakanaCells = {
    0x23, 0x56, 0x57, 0x22, 0x26,                                                  // 。「」、・
    0x72, 0x21, 0x23, 0x25, 0x27, 0x29, 0x63, 0x65, 0x67, 0x43,                    // ヲァィゥェォャュョッ
    0x3C,                                                                          // ー
    0x22, 0x24, 0x26, 0x28, 0x2A, 0x2B, 0x2D, 0x2F, 0x31, 0x33, 0x35, 0x37, 0x39,  // アイウエオカキクケコサシス
    0x3B, 0x3D,                                                                    // セソ
    0x3F, 0x41, 0x44, 0x46, 0x48, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x52, 0x55,  // タチツテトナニヌネノハヒフ
    0x58, 0x5B, 0x5E,                                                              // ヘホマ
    0x5F, 0x60, 0x61, 0x62, 0x64, 0x66, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6F,  // ミムメモヤユヨラリルレロワ
    0x73, 0x2B, 0x2C,                                                              // ン゛゜
};

bool IsHalfwidthKatakana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }
bool IsSoundMark(unsigned char b) { return b == kVoicedMark || b == kSemiVoicedMark; }
bool In(unsigned char b, unsigned char lo, unsigned char hi) { return b >= lo && b <= hi; }

unsigned char Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

// The published Shift_JIS <-> JIS X 0208 mapping, applied to any byte pair.
void JisToSjis(unsigned char j1, unsigned char j2, std::string& out) {
    const int s1 = (j1 + 1) / 2 + (j1 <= 0x5E ? 0x70 : 0xB0);
    const int s2 = (j1 % 2 == 0) ? j2 + 0x7E : (j2 <= 0x5F ? j2 + 0x1F : j2 + 0x20);
    out += static_cast<char>(s1 & 0xFF);
    out += static_cast<char>(s2 & 0xFF);
}

TJJisChar SjisToJis(unsigned char s1, unsigned char s2) {
    int j1 = (2 * s1 - (s1 < 0xA0 ? 0x80 : 0) - 0x60) & 0xFF;
    if (s2 <= 0x9E) j1 = (j1 - 1) & 0xFF;
    const int j2 = s2 > 0x9E ? s2 - 0x7E : (s2 >= 0x80 ? s2 - 0x20 : s2 - 0x1F);
    return {static_cast<unsigned char>(j1), static_cast<unsigned char>(j2 & 0xFF)};
}

void AppendPair(std::string& out, TJJisChar c, unsigned char high) {
    out += static_cast<char>(c.row | high);
    out += static_cast<char>(c.cell | high);
}

std::string Checked(std::string&& text) {
    TJString::CheckLength(text.size());
    return std::move(text);
}

// Writes JIS with the escapes that switch between one- and two-byte mode.
class TJisWriter {
public:
    explicit TJisWriter(std::size_t sizeHint) { out_.reserve(sizeHint + sizeHint / 2); }
    void Single(unsigned char b) {
        if (twoByte_) {
            out_ += kToOneByte;
            twoByte_ = false;
        }
        out_ += static_cast<char>(b);
    }
    void Double(TJJisChar c) {
        if (!twoByte_) {
            out_ += kToTwoByte;
            twoByte_ = true;
        }
        AppendPair(out_, c, 0);
    }
    // A text that ends in two-byte mode gets no closing escape.
    std::string Finish() { return Checked(std::move(out_)); }

private:
    std::string out_;
    bool twoByte_ = false;
};

// The half-width katakana Kana, merged with the mark at Text[MarkPos] when that
// one merges; returns the position after what was used.
std::size_t WriteKatakana(std::string_view text, std::size_t markPos, unsigned char kana, TJisWriter& out) {
    TJJisChar jis = HalfwidthKatakanaToJis(kana);
    const bool merged = markPos < text.size() && MergeSoundMark(kana, Byte(text, markPos), jis);
    out.Double(jis);
    return merged ? markPos + 1 : markPos;
}

// JIS read byte by byte: escapes switch the mode and are dropped; in two-byte mode
// Pair writes each character.
template <class PairWriter>
std::string ReadJis(std::string_view text, PairWriter&& pair) {
    std::string out;
    out.reserve(text.size());
    bool twoByte = false;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const unsigned char c = Byte(text, i);
        if (c == kEsc) {
            // An escape that ends the text writes nothing.
            if (i + 2 >= n) break;
            const unsigned char kind = Byte(text, i + 1);
            if (kind == '$') twoByte = true;
            else if (kind == '(') twoByte = false;
            i += 3;
            continue;
        }
        if (!twoByte) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        i += pair(text, i, out);
    }
    return Checked(std::move(out));
}

}  // namespace

TJJisChar HalfwidthKatakanaToJis(unsigned char katakana) {
    if (!IsHalfwidthKatakana(katakana)) return {0, 0};
    const bool symbol = katakana <= 0xA5 || katakana == 0xB0 || IsSoundMark(katakana);
    return {symbol ? kSymbolRow : kKanaRow, kKatakanaCells[katakana - 0xA1]};
}

bool MergeSoundMark(unsigned char katakana, unsigned char mark, TJJisChar& jis) {
    if (mark == kVoicedMark) {
        if (katakana == 0xB3) {  // ｳﾞ
            jis.cell = kVuCell;
            return true;
        }
        if (In(katakana, 0xB6, 0xC4) || In(katakana, 0xCA, 0xCE)) {  // ｶ-ﾄ, ﾊ-ﾎ
            jis.cell += 1;
            return true;
        }
    } else if (mark == kSemiVoicedMark && In(katakana, 0xCA, 0xCE)) {
        jis.cell += 2;
        return true;
    }
    return false;
}

TJCodeClass RecognizeBytes(std::string_view bytes) {
    const std::size_t n = bytes.size();
    if (n < 2) return TJCodeClass::None;
    const std::size_t examined = n - 1;  // the last byte is never examined
    for (std::size_t i = 0; i < examined && i < kBinaryProbe; ++i) {
        const unsigned char c = Byte(bytes, i);
        if (c < 0x08 || c == 0xFF) return TJCodeClass::Binary;
    }
    TJCodeClass kind = TJCodeClass::None;
    auto undecided = [&] { return kind == TJCodeClass::None || kind == TJCodeClass::EucOrSjis; };
    std::size_t i = 0;
    while (i < examined && undecided()) {
        const unsigned char c = Byte(bytes, i++);
        if (c < 0x08 || c == 0xFF) {
            kind = TJCodeClass::Binary;
        } else if (c == kEsc) {
            if (Byte(bytes, i++) == '$' && i < n) {
                const unsigned char d = Byte(bytes, i++);
                if (d == 'B') kind = TJCodeClass::Jis;
                else if (d == '@') kind = TJCodeClass::OldJis;
            }
        } else if (c <= 0x7F || c == 0x80 || c == 0xA0) {
            // no change
        } else if (In(c, 0x81, 0x8D) || In(c, 0x8F, 0x9F)) {
            kind = TJCodeClass::Sjis;
        } else if (c == kEucKana) {
            const unsigned char d = Byte(bytes, i++);
            if (In(d, 0x40, 0x7E) || In(d, 0x80, 0xA0) || In(d, 0xE0, 0xFC)) kind = TJCodeClass::Sjis;
            else if (In(d, 0xA1, 0xDF)) kind = TJCodeClass::EucOrSjis;
        } else if (In(c, 0xA1, 0xDF)) {
            const unsigned char d = Byte(bytes, i++);
            if (In(d, 0xF0, 0xFE)) {
                kind = TJCodeClass::Euc;
            } else if (In(d, 0xA1, 0xDF)) {
                kind = TJCodeClass::EucOrSjis;
            } else if (In(d, 0xE0, 0xEF)) {
                kind = TJCodeClass::EucOrSjis;
                while (i < n && Byte(bytes, i) >= 0x40 && kind == TJCodeClass::EucOrSjis) {
                    const unsigned char e = Byte(bytes, i++);
                    if (In(e, 0x81, 0x8D) || In(e, 0x8F, 0x9C)) kind = TJCodeClass::Sjis;
                    else if (In(e, 0xFD, 0xFE)) kind = TJCodeClass::Euc;
                }
            } else if (d <= 0x9F) {
                kind = TJCodeClass::Sjis;
            }
        } else if (In(c, 0xE0, 0xEF)) {
            const unsigned char d = Byte(bytes, i++);
            if (In(d, 0x40, 0x7E) || In(d, 0x80, 0xA0)) kind = TJCodeClass::Sjis;
            else if (In(d, 0xFD, 0xFE)) kind = TJCodeClass::Euc;
            else if (In(d, 0xA1, 0xFC)) kind = TJCodeClass::EucOrSjis;
        } else {  // 0xF0-0xFE
            kind = TJCodeClass::Euc;
        }
    }
    return kind;
}

TJCodeClass Recognize(std::string_view text) {
    const CodePage& cp = CodePage::Current();
    if (cp.IsUtf8()) {
        const TJCodeClass bytes = RecognizeBytes(text);
        if (bytes == TJCodeClass::Binary) return bytes;
        if (cp.HasMultiByteText(text)) return TJCodeClass::Sjis;
        return bytes;
    }
    return RecognizeBytes(text);
}

std::string FromJIStoEUC(std::string_view text) {
    return ReadJis(text, [](std::string_view s, std::size_t i, std::string& out) -> std::size_t {
        const unsigned char c = Byte(s, i);
        out += static_cast<char>(In(c, 0x21, 0x7E) ? c | kHighBit : c);
        return 1;
    });
}

std::string FromJIStoSJIS(std::string_view text) {
    std::string cp932 = ReadJis(text, [](std::string_view s, std::size_t i, std::string& out) -> std::size_t {
        // An odd byte left before an escape or at the end is dropped, so that the
        // escape still switches the mode and the rest of the text survives.
        if (i + 1 >= s.size() || Byte(s, i + 1) == kEsc) return 1;
        JisToSjis(Byte(s, i), Byte(s, i + 1), out);
        return 2;
    });
    return Checked(CodePage::Current().FromCp932(cp932));
}

std::string FromEUCtoSJIS(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = Byte(text, i);
        if (c <= kHighBit || c == 0xFF) {
            out += static_cast<char>(c);
            ++i;
        } else if (c == kEucKana) {
            if (i + 1 < n) out += text[i + 1];  // the katakana byte is the same in both
            i += 2;
        } else {
            if (i + 1 < n) JisToSjis(c & ~kHighBit, Byte(text, i + 1) & ~kHighBit, out);
            i += 2;
        }
    }
    return Checked(CodePage::Current().FromCp932(out));
}

std::string FromSJIStoEUC(std::string_view text) {
    const std::string sjis = CodePage::Current().ToCp932(text);
    std::string out;
    out.reserve(sjis.size() + sjis.size() / 2);
    const std::size_t n = sjis.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = Byte(sjis, i);
        if (c < kHighBit) {
            out += static_cast<char>(c);
            ++i;
        } else if (IsHalfwidthKatakana(c)) {
            out += static_cast<char>(kEucKana);
            out += static_cast<char>(c);
            ++i;
        } else {
            if (i + 1 < n) AppendPair(out, SjisToJis(c, Byte(sjis, i + 1)), kHighBit);
            i += 2;
        }
    }
    return Checked(std::move(out));
}

std::string FromEUCtoJIS(std::string_view text) {
    TJisWriter out(text.size());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = Byte(text, i);
        if (c < kHighBit) {
            out.Single(c);  // CR and LF close two-byte mode like every other one-byte character
            ++i;
        } else if (i + 1 >= n) {
            break;  // a lead byte without its second byte
        } else if (c == kEucKana && IsHalfwidthKatakana(Byte(text, i + 1))) {
            const unsigned char kana = Byte(text, i + 1);
            TJJisChar jis = HalfwidthKatakanaToJis(kana);
            if (i + 3 < n && Byte(text, i + 2) == kEucKana && MergeSoundMark(kana, Byte(text, i + 3), jis)) i += 2;
            out.Double(jis);
            i += 2;
        } else {
            out.Double({static_cast<unsigned char>(c & ~kHighBit),
                        static_cast<unsigned char>(Byte(text, i + 1) & ~kHighBit)});
            i += 2;
        }
    }
    return out.Finish();
}

std::string FromSJIStoJIS(std::string_view text) {
    const std::string sjis = CodePage::Current().ToCp932(text);
    TJisWriter out(sjis.size());
    const std::size_t n = sjis.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = Byte(sjis, i);
        if (c < kHighBit) {
            out.Single(c);
            ++i;
        } else if (IsHalfwidthKatakana(c)) {
            i = WriteKatakana(sjis, i + 1, c, out);
        } else if (i + 1 >= n) {
            break;  // a lead byte without its second byte
        } else {
            out.Double(SjisToJis(c, Byte(sjis, i + 1)));
            i += 2;
        }
    }
    return out.Finish();
}

std::string ToJIS(std::string_view text) {
    switch (Recognize(text)) {
    case TJCodeClass::Euc: return FromEUCtoJIS(text);
    case TJCodeClass::Sjis: return FromSJIStoJIS(text);
    default: return std::string(text);
    }
}

std::string ToEUC(std::string_view text) {
    switch (Recognize(text)) {
    case TJCodeClass::Jis:
    case TJCodeClass::OldJis: return FromJIStoEUC(text);
    case TJCodeClass::Sjis: return FromSJIStoEUC(text);
    default: return std::string(text);
    }
}

std::string ToSJIS(std::string_view text) {
    switch (Recognize(text)) {
    case TJCodeClass::Jis:
    case TJCodeClass::OldJis: return FromJIStoSJIS(text);
    case TJCodeClass::Euc: return FromEUCtoSJIS(text);
    default: return std::string(text);
    }
}

std::string ToUTF8(std::string_view text) { return Checked(CodePage::Current().ToUtf8Replacing(text)); }

std::string FromUTF8toSJIS(std::string_view text) { return Checked(CodePage::Current().FromUtf8Replacing(text)); }

std::string ToWide(std::string_view text) {
    const std::u16string wide = CodePage::Current().ToUtf16Replacing(text);
    TJString::CheckLength(wide.size() * 2);
    std::string out;
    out.reserve(wide.size() * 2);
    for (char16_t u : wide) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string ToZenkaku(std::string_view text) { return Checked(unicodelib::MapText(text, unicodelib::TJMapping::Zenkaku)); }
std::string ToHankaku(std::string_view text) { return Checked(unicodelib::MapText(text, unicodelib::TJMapping::Hankaku)); }
std::string ToHiragana(std::string_view text) { return Checked(unicodelib::MapText(text, unicodelib::TJMapping::Hiragana)); }
std::string ToKatakana(std::string_view text) { return Checked(unicodelib::MapText(text, unicodelib::TJMapping::Katakana)); }

}  // namespace kestrel::jconvert
