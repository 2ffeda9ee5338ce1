#include "util/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tinctor {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // U+DC80..U+DCFF carry undecodable bytes

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }
bool IsCp932Trail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
bool IsHalfwidthKatakana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }
unsigned char AsciiUpper(unsigned char b) { return (b >= 'a' && b <= 'z') ? b - 32 : b; }
unsigned char AsciiLower(unsigned char b) { return (b >= 'A' && b <= 'Z') ? b + 32 : b; }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsEscapedByte(char16_t u) { return u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF; }

// The double-byte part of CP932, read once from iconv into two flat tables.
class Cp932Tables {
public:
    static const Cp932Tables& Get() {
        static const Cp932Tables tables;
        return tables;
    }
    // UTF-16 unit of the pair (lead, trail), 0 when the pair is unassigned.
    char16_t Decode(unsigned char lead, unsigned char trail) const { return (*decode_)[(lead << 8) | trail]; }
    // CP932 code (lead << 8 | trail, or a single byte) of a BMP character, 0 when none.
    std::uint16_t Encode(char16_t u) const { return (*encode_)[u]; }

private:
    Cp932Tables() : decode_(std::make_unique<std::array<char16_t, 65536>>()),
                    encode_(std::make_unique<std::array<std::uint16_t, 65536>>()) {
        decode_->fill(0);
        encode_->fill(0);
        iconv_t cd = iconv_open("UTF-16LE", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) return;
        // Where several pairs give one character, the pair written back is the first
        // found, except that the NEC-selected IBM rows (leads 0xED, 0xEE) yield to the
        // IBM extension rows: the same choice the system's own converter makes.
        std::vector<int> leads;
        for (int lead = 0x81; lead <= 0xFC; ++lead)
            if (encoding::IsCp932Lead(static_cast<unsigned char>(lead)) && lead != 0xED && lead != 0xEE)
                leads.push_back(lead);
        leads.push_back(0xED);
        leads.push_back(0xEE);
        for (int lead : leads) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!IsCp932Trail(static_cast<unsigned char>(trail))) continue;
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                unsigned char out[8];
                char* inp = in;
                char* outp = reinterpret_cast<char*>(out);
                size_t inLeft = 2, outLeft = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) continue;
                if (sizeof out - outLeft != 2) continue;  // only single BMP units are kept
                char16_t u = static_cast<char16_t>(out[0] | (out[1] << 8));
                if (u == 0) continue;
                (*decode_)[(lead << 8) | trail] = u;
                if ((*encode_)[u] == 0) (*encode_)[u] = static_cast<std::uint16_t>((lead << 8) | trail);
            }
        }
        iconv_close(cd);
        for (int b = 0xA1; b <= 0xDF; ++b) (*encode_)[0xFF61 + (b - 0xA1)] = static_cast<std::uint16_t>(b);
    }
    std::unique_ptr<std::array<char16_t, 65536>> decode_;
    std::unique_ptr<std::array<std::uint16_t, 65536>> encode_;
};

// What a byte promises as the first of a UTF-8 sequence: the bytes that follow it and
// the range of the first of them (no overlong forms, no surrogates, nothing past
// U+10FFFF). Tail 0: the byte starts no sequence.
struct TUtf8Lead {
    std::uint8_t Tail, Lo, Hi;
};

constexpr std::array<TUtf8Lead, 256> kUtf8Leads = [] {
    std::array<TUtf8Lead, 256> leads{};
    for (int b = 0; b < 256; ++b) {
        const std::uint8_t tail = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xC2 && b <= 0xDF ? 1 : 0;
        leads[b] = TUtf8Lead{tail, 0x80, 0xBF};
    }
    leads[0xE0].Lo = 0xA0;
    leads[0xED].Hi = 0x9F;
    leads[0xF0].Lo = 0x90;
    leads[0xF4].Hi = 0x8F;
    return leads;
}();

// The bytes after a UTF-8 lead when the sequence it starts is valid, else 0; reads P[0..3].
std::size_t Utf8TailAt(const unsigned char* p) {
    const TUtf8Lead lead = kUtf8Leads[p[0]];
    const bool first = static_cast<unsigned>(p[1] - lead.Lo) <= static_cast<unsigned>(lead.Hi - lead.Lo);
    const bool second = lead.Tail < 2 || IsContinuation(p[2]);
    const bool third = lead.Tail < 3 || IsContinuation(p[3]);
    return lead.Tail * static_cast<std::size_t>(first & second & third);
}

constexpr std::size_t kBlock = sizeof(std::uint64_t);
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

bool AsciiBlockAt(const unsigned char* p) {
    std::uint64_t block;
    std::memcpy(&block, p, kBlock);
    return (block & kHighBits) == 0;
}

// The characters of UTF-8 text byte by byte, each stray byte one of them: every byte
// counts, less the bytes after the lead of each valid sequence. A lead byte is never
// inside another valid sequence, so each byte is judged on its own, without a branch
// on the bytes (random bytes made the walk from character to character mispredict at
// every step), and a block of eight ASCII bytes is passed over at once.
std::size_t Utf8CountByBytes(std::string_view s) {
    constexpr std::size_t kReadAhead = 3;  // the bytes after a lead that a sequence may take
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    std::size_t tails = 0;
    std::size_t i = 0;
    for (; i + kBlock + kReadAhead <= n; i += kBlock)
        if (!AsciiBlockAt(p + i))
            for (std::size_t k = 0; k < kBlock; ++k) tails += Utf8TailAt(p + i + k);
    for (; i < n; ++i) tails += encoding::Utf8SequenceLength(s, i) - 1;
    return n - tails;
}

// Valid text is counted faster by walking from character to character (the processor
// predicts its branches), so the count walks while the first bytes hold no stray byte.
constexpr std::size_t kUtf8Probe = 4096;

std::size_t Utf8CharCount(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    std::size_t chars = 0;
    std::size_t i = 0;
    while (i < n) {
        if (p[i] < 0x80 && i + kBlock <= n && AsciiBlockAt(p + i)) {
            i += kBlock;
            chars += kBlock;
            continue;
        }
        const std::size_t length = encoding::Utf8SequenceLength(s, i);
        if (length == 1 && p[i] >= 0x80 && i < kUtf8Probe) return Utf8CountByBytes(s);
        i += length;
        ++chars;
    }
    return chars;
}

int& CurrentId() {
    static int id = CodePage::FromEnvironment();
    return id;
}

}  // namespace

namespace encoding {

std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) return 0;
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0) lo = 0xA0;       // no overlong forms
        else if (b0 == 0xED) hi = 0x9F;  // no encoded surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0) lo = 0x90;
        else if (b0 == 0xF4) hi = 0x8F;
    } else {
        return 1;
    }
    if (pos + len > s.size()) return 1;
    const auto b1 = static_cast<unsigned char>(s[pos + 1]);
    if (b1 < lo || b1 > hi) return 1;
    for (std::size_t i = 2; i < len; ++i)
        if (!IsContinuation(static_cast<unsigned char>(s[pos + i]))) return 1;
    return len;
}

bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = Utf8SequenceLength(s, i);
        if (len == 1) return false;
        i += len;
    }
    return true;
}

void ReplaceUndecodable(std::u16string& s) {
    for (char16_t& u : s)
        if (IsEscapedByte(u)) u = u'?';
}

bool Cp932CanEncode(char16_t u) {
    if (u < 0x80) return true;
    if (u >= 0xD800 && u <= 0xDFFF) return false;
    return Cp932Tables::Get().Encode(u) != 0;
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        std::size_t len = Utf8SequenceLength(s, i);
        if (b0 < 0x80) {
            out += static_cast<char16_t>(b0);
        } else if (len == 1) {
            out += static_cast<char16_t>(kEscapeBase + b0);
        } else {
            char32_t c = b0 & (0xFF >> (len + 1));
            for (std::size_t k = 1; k < len; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
            if (c >= 0x10000) {
                c -= 0x10000;
                out += static_cast<char16_t>(0xD800 + (c >> 10));
                out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
            } else {
                out += static_cast<char16_t>(c);
            }
        }
        i += len;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char16_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            char32_t c = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            AppendUtf8(out, c);
            ++i;
        } else if (IsEscapedByte(u)) {
            out += static_cast<char>(u - kEscapeBase);
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::u16string Cp932ToUtf16(std::string_view s, bool replace) {
    std::u16string out;
    out.reserve(s.size());
    const Cp932Tables* tables = nullptr;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
        } else if (IsHalfwidthKatakana(b)) {
            out += static_cast<char16_t>(0xFF61 + (b - 0xA1));
            ++i;
        } else if (IsCp932Lead(b) && i + 1 < s.size() && IsCp932Trail(static_cast<unsigned char>(s[i + 1]))) {
            if (!tables) tables = &Cp932Tables::Get();
            const auto t = static_cast<unsigned char>(s[i + 1]);
            char16_t u = tables->Decode(b, t);
            if (u != 0) {
                out += u;
            } else if (replace) {
                out += u'?';
            } else {  // an unassigned pair survives as its two bytes
                out += static_cast<char16_t>(kEscapeBase + b);
                out += t < 0x80 ? static_cast<char16_t>(t) : static_cast<char16_t>(kEscapeBase + t);
            }
            i += 2;
        } else {
            out += static_cast<char16_t>(kEscapeBase + b);
            ++i;
        }
    }
    return out;
}

std::string Utf16ToCp932(std::u16string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    const Cp932Tables* tables = nullptr;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char16_t u = s[i];
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (IsEscapedByte(u)) {
            out += static_cast<char>(u - kEscapeBase);
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            if (u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
            out += '?';
        } else {
            if (!tables) tables = &Cp932Tables::Get();
            std::uint16_t code = tables->Encode(u);
            if (code == 0) {
                out += '?';
            } else if (code < 0x100) {
                out += static_cast<char>(code);
            } else {
                out += static_cast<char>(code >> 8);
                out += static_cast<char>(code & 0xFF);
            }
        }
    }
    return out;
}

}  // namespace encoding

const CodePage& CodePage::Current() {
    static const CodePage utf8(Utf8);
    static const CodePage sjis(ShiftJis);
    return CurrentId() == ShiftJis ? sjis : utf8;
}

void CodePage::Select(int id) { CurrentId() = (id == ShiftJis) ? ShiftJis : Utf8; }

int CodePage::FromEnvironment() {
    if (const char* forced = std::getenv("TINCTOR_CODEPAGE"); forced && *forced) {
        return std::strcmp(forced, "932") == 0 ? ShiftJis : Utf8;
    }
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(name);
        if (!v || !*v) continue;
        std::string value(v);
        std::transform(value.begin(), value.end(), value.begin(),
                       [](char c) { return static_cast<char>(AsciiLower(static_cast<unsigned char>(c))); });
        if (value.find("sjis") != std::string::npos || value.find("shift_jis") != std::string::npos ||
            value.find("shiftjis") != std::string::npos || value.find("932") != std::string::npos)
            return ShiftJis;
        return Utf8;
    }
    return Utf8;
}

bool CodePage::IsLeadByte(unsigned char b) const {
    return IsUtf8() ? (b >= 0xC2 && b <= 0xF4) : encoding::IsCp932Lead(b);
}

std::size_t CodePage::CharLength(std::string_view s, std::size_t pos) const {
    if (pos >= s.size()) return 0;
    if (IsUtf8()) return encoding::Utf8SequenceLength(s, pos);
    const auto b = static_cast<unsigned char>(s[pos]);
    if (encoding::IsCp932Lead(b) && pos + 1 < s.size() && IsCp932Trail(static_cast<unsigned char>(s[pos + 1])))
        return 2;
    return 1;
}

std::size_t CodePage::PrevBoundary(std::string_view s, std::size_t pos) const {
    pos = std::min(pos, s.size());
    if (pos == 0) return 0;
    // Walk back to a byte that can only start a character, then forward again.
    std::size_t start = pos - 1;
    if (IsUtf8()) {
        std::size_t limit = pos >= 4 ? pos - 4 : 0;
        while (start > limit && IsContinuation(static_cast<unsigned char>(s[start]))) --start;
    } else {
        // The byte after a non-lead byte always starts a character.
        while (start > 0 && encoding::IsCp932Lead(static_cast<unsigned char>(s[start - 1]))) --start;
    }
    std::size_t prev = start;
    for (std::size_t i = start; i < pos;) {
        prev = i;
        i += CharLength(s, i);
    }
    return prev;
}

std::size_t CodePage::CharCount(std::string_view s) const {
    if (IsUtf8()) return Utf8CharCount(s);
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) ++n;
    return n;
}

std::size_t CodePage::ByteOffset(std::string_view s, std::size_t n) const {
    std::size_t i = 0;
    for (; i < s.size() && n > 0; --n) i += CharLength(s, i);
    return i;
}

bool CodePage::IsBoundary(std::string_view s, std::size_t pos) const {
    if (pos == 0 || pos >= s.size()) return pos <= s.size();
    std::size_t prev = PrevBoundary(s, pos);
    return prev + CharLength(s, prev) == pos;
}

std::string CodePage::Upper(std::string_view s) const {
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        std::size_t len = CharLength(out, i);
        if (len == 1) out[i] = static_cast<char>(AsciiUpper(static_cast<unsigned char>(out[i])));
        i += len;
    }
    return out;
}

std::string CodePage::Lower(std::string_view s) const {
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        std::size_t len = CharLength(out, i);
        if (len == 1) out[i] = static_cast<char>(AsciiLower(static_cast<unsigned char>(out[i])));
        i += len;
    }
    return out;
}

bool CodePage::EqualsIgnoreCase(std::string_view a, std::string_view b) const {
    return a.size() == b.size() && CompareIgnoreCase(a, b) == 0;
}

int CodePage::CompareIgnoreCase(std::string_view a, std::string_view b) const {
    // Folding only touches single-byte characters; walk both texts by character.
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        std::size_t la = CharLength(a, i), lb = CharLength(b, j);
        if (la == 1 && lb == 1) {
            unsigned char x = AsciiLower(static_cast<unsigned char>(a[i]));
            unsigned char y = AsciiLower(static_cast<unsigned char>(b[j]));
            if (x != y) return x < y ? -1 : 1;
        } else {
            int c = a.substr(i, la).compare(b.substr(j, lb));
            if (c != 0) return c < 0 ? -1 : 1;
        }
        i += la;
        j += lb;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

int CodePage::Compare(std::string_view a, std::string_view b) const {
    int c = CompareIgnoreCase(a, b);
    if (c != 0) return c;
    c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::u16string CodePage::ToUtf16(std::string_view s) const {
    return IsUtf8() ? encoding::Utf8ToUtf16(s) : encoding::Cp932ToUtf16(s);
}

std::string CodePage::FromUtf16(std::u16string_view s) const {
    return IsUtf8() ? encoding::Utf16ToUtf8(s) : encoding::Utf16ToCp932(s);
}

std::string CodePage::ToUtf8(std::string_view s) const {
    return IsUtf8() ? std::string(s) : encoding::Utf16ToUtf8(encoding::Cp932ToUtf16(s));
}

std::string CodePage::FromUtf8(std::string_view s) const {
    return IsUtf8() ? std::string(s) : encoding::Utf16ToCp932(encoding::Utf8ToUtf16(s));
}

std::u16string CodePage::ToUtf16Replacing(std::string_view s) const {
    std::u16string u = IsUtf8() ? encoding::Utf8ToUtf16(s) : encoding::Cp932ToUtf16(s, true);
    encoding::ReplaceUndecodable(u);
    return u;
}

std::string CodePage::ToUtf8Replacing(std::string_view s) const {
    if (IsUtf8() && encoding::IsValidUtf8(s)) return std::string(s);
    return encoding::Utf16ToUtf8(ToUtf16Replacing(s));
}

std::string CodePage::FromUtf8Replacing(std::string_view s) const {
    if (IsUtf8() && encoding::IsValidUtf8(s)) return std::string(s);
    std::u16string u = encoding::Utf8ToUtf16(s);
    encoding::ReplaceUndecodable(u);
    return FromUtf16(u);
}

bool CodePage::CanEncode(char16_t u) const {
    if (IsUtf8()) return u < 0xD800 || u > 0xDFFF;
    return encoding::Cp932CanEncode(u);
}

std::string CodePage::ToCp932(std::string_view s) const {
    if (!IsUtf8() || !encoding::IsValidUtf8(s)) return std::string(s);
    return encoding::Utf16ToCp932(encoding::Utf8ToUtf16(s));
}

std::string CodePage::FromCp932(std::string_view s) const {
    if (!IsUtf8()) return std::string(s);
    std::u16string u = encoding::Cp932ToUtf16(s, true);
    encoding::ReplaceUndecodable(u);
    return encoding::Utf16ToUtf8(u);
}

bool CodePage::HasMultiByteText(std::string_view s) const {
    bool multi = false;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = CharLength(s, i);
        if (len > 1) multi = true;
        else if (b >= 0x80 && !(!IsUtf8() && IsHalfwidthKatakana(b))) return false;
        i += len;
    }
    return multi;
}

}  // namespace tinctor
