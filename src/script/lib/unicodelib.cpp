#include "script/lib/unicodelib.h"

#include <array>

#include "script/lib/jconvert.h"
#include "util/CodePage.h"

namespace kestrel::unicodelib {

namespace {

using tinctor::CodePage;

constexpr char16_t kIdeographicSpace = 0x3000;
constexpr char16_t kFullwidthOffset = 0xFF01 - 0x21;  // ASCII 0x21-0x7E <-> U+FF01-U+FF5E
constexpr char16_t kHalfKanaFirst = 0xFF61, kHalfKanaLast = 0xFF9F;
constexpr char16_t kHalfVoiced = 0xFF9E, kHalfSemiVoiced = 0xFF9F;
constexpr char16_t kKatakanaBase = 0x30A1;  // the JIS katakana row starts here at cell 0x21
constexpr char16_t kKanaOffset = 0x30A1 - 0x3041;  // hiragana <-> katakana
constexpr char16_t kHiraganaFirst = 0x3041, kHiraganaLast = 0x3096;
constexpr char16_t kKatakanaFirst = 0x30A1, kKatakanaLast = 0x30F6;
constexpr char16_t kHiraganaIteration = 0x309D, kHiraganaVoicedIteration = 0x309E;
constexpr char16_t kKatakanaIteration = 0x30FD, kKatakanaVoicedIteration = 0x30FE;
constexpr char16_t kCjkBlock = 0x3000;  // every full-width counterpart lies in U+3000-U+30FF
constexpr unsigned char kFirstKanaByte = 0xA1;
constexpr unsigned char kVoicedByte = 0xDE, kSemiVoicedByte = 0xDF;

// The kana punctuation of the JIS symbol row, by cell.
struct TSymbol {
    unsigned char cell;
    char16_t unit;
};
constexpr TSymbol kSymbols[] = {
    {0x22, 0x3001}, {0x23, 0x3002}, {0x26, 0x30FB}, {0x2B, 0x309B},
    {0x2C, 0x309C}, {0x3C, 0x30FC}, {0x56, 0x300C}, {0x57, 0x300D},
};

char16_t FromJis(jconvert::TJJisChar c) {
    if (c.row != 0x21) return static_cast<char16_t>(kKatakanaBase + (c.cell - 0x21));
    for (const TSymbol& s : kSymbols)
        if (s.cell == c.cell) return s.unit;
    return 0;
}

unsigned char KanaByte(char16_t half) { return static_cast<unsigned char>(kFirstKanaByte + (half - kHalfKanaFirst)); }
char16_t HalfUnit(unsigned char kana) { return static_cast<char16_t>(kHalfKanaFirst + (kana - kFirstKanaByte)); }

// Full-width forms of U+3000-U+30FF made half-width: one unit, and a sound mark
// for the voiced and semi-voiced katakana (0 when none).
struct THalf {
    char16_t unit = 0, mark = 0;
};
class THalfTable {
public:
    static const THalfTable& Get() {
        static const THalfTable table;
        return table;
    }
    const THalf* Find(char16_t u) const {
        if (u < kCjkBlock || u >= kCjkBlock + table_.size()) return nullptr;
        const THalf& h = table_[u - kCjkBlock];
        return h.unit ? &h : nullptr;
    }

private:
    THalfTable() {
        for (int b = kFirstKanaByte; b <= kSemiVoicedByte; ++b) {
            const auto kana = static_cast<unsigned char>(b);
            const jconvert::TJJisChar plain = jconvert::HalfwidthKatakanaToJis(kana);
            Set(FromJis(plain), {HalfUnit(kana), 0});
            for (unsigned char mark : {kVoicedByte, kSemiVoicedByte}) {
                jconvert::TJJisChar merged = plain;
                if (jconvert::MergeSoundMark(kana, mark, merged)) Set(FromJis(merged), {HalfUnit(kana), HalfUnit(mark)});
            }
        }
    }
    void Set(char16_t full, THalf half) {
        if (full >= kCjkBlock && full < kCjkBlock + table_.size()) table_[full - kCjkBlock] = half;
    }
    std::array<THalf, 0x100> table_{};
};

bool InRange(char16_t u, char16_t lo, char16_t hi) { return u >= lo && u <= hi; }

}  // namespace

std::u16string Map(std::u16string_view text, TJMapping mapping) {
    const CodePage& cp = CodePage::Current();
    std::u16string out;
    out.reserve(mapping == TJMapping::Hankaku ? text.size() + text.size() / 4 : text.size());
    // Writes To when the code page can hold it, else From unchanged.
    auto put = [&](char16_t to, char16_t from) { out += cp.CanEncode(to) ? to : from; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        switch (mapping) {
        case TJMapping::Zenkaku:
            if (u == u' ') {
                put(kIdeographicSpace, u);
            } else if (InRange(u, 0x21, 0x7E)) {
                put(static_cast<char16_t>(u + kFullwidthOffset), u);
            } else if (InRange(u, kHalfKanaFirst, kHalfKanaLast)) {
                const unsigned char kana = KanaByte(u);
                jconvert::TJJisChar jis = jconvert::HalfwidthKatakanaToJis(kana);
                if (i + 1 < text.size() && (text[i + 1] == kHalfVoiced || text[i + 1] == kHalfSemiVoiced) &&
                    jconvert::MergeSoundMark(kana, KanaByte(text[i + 1]), jis) && cp.CanEncode(FromJis(jis))) {
                    out += FromJis(jis);
                    ++i;
                } else {
                    put(FromJis(jconvert::HalfwidthKatakanaToJis(kana)), u);
                }
            } else {
                out += u;
            }
            break;
        case TJMapping::Hankaku:
            if (u == kIdeographicSpace) {
                out += u' ';
            } else if (InRange(u, 0x21 + kFullwidthOffset, 0x7E + kFullwidthOffset)) {
                out += static_cast<char16_t>(u - kFullwidthOffset);
            } else if (const THalf* half = THalfTable::Get().Find(u)) {
                out += half->unit;
                if (half->mark) out += half->mark;
            } else {
                out += u;
            }
            break;
        case TJMapping::Hiragana:
            if (InRange(u, kKatakanaFirst, kKatakanaLast)) put(static_cast<char16_t>(u - kKanaOffset), u);
            else if (u == kKatakanaIteration) out += kHiraganaIteration;
            else if (u == kKatakanaVoicedIteration) out += kHiraganaVoicedIteration;
            else out += u;
            break;
        case TJMapping::Katakana:
            if (InRange(u, kHiraganaFirst, kHiraganaLast)) put(static_cast<char16_t>(u + kKanaOffset), u);
            else if (u == kHiraganaIteration) out += kKatakanaIteration;
            else if (u == kHiraganaVoicedIteration) out += kKatakanaVoicedIteration;
            else out += u;
            break;
        }
    }
    return out;
}

std::string MapText(std::string_view text, TJMapping mapping) {
    const CodePage& cp = CodePage::Current();
    return cp.FromUtf16(Map(cp.ToUtf16(text), mapping));
}

}  // namespace kestrel::unicodelib
