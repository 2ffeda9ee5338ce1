#include "util/CodePage.h"

#include <gtest/gtest.h>

#include <random>

using tinctor::CodePage;

namespace {

// Runs a test body with the given process code page and restores UTF-8 after it.
class CodePageScope {
public:
    explicit CodePageScope(int id) { CodePage::Select(id); }
    ~CodePageScope() { CodePage::Select(CodePage::Utf8); }
};

const std::string kAiUtf8 = "\xE3\x81\x82";  // HIRAGANA A
const std::string kAiSjis = "\x82\xA0";
const std::string kHyouSjis = "\x95\x5C";      // a kanji whose trail byte is a backslash
const std::string kKatakanaASjis = "\xB1";     // half-width katakana A

}  // namespace

TEST(CodePage, Utf8CharacterLengthsAndCounts) {
    CodePageScope scope(CodePage::Utf8);
    const CodePage& cp = CodePage::Current();
    std::string s = "a" + kAiUtf8 + "\xF0\x9F\x8E\xA8" + "z";
    EXPECT_EQ(cp.CharLength(s, 0), 1u);
    EXPECT_EQ(cp.CharLength(s, 1), 3u);
    EXPECT_EQ(cp.CharLength(s, 4), 4u);
    EXPECT_EQ(cp.CharLength(s, 8), 1u);
    EXPECT_EQ(cp.CharLength(s, 9), 0u);
    EXPECT_EQ(cp.CharCount(s), 4u);
    EXPECT_EQ(cp.ByteOffset(s, 2), 4u);
    EXPECT_EQ(cp.ByteOffset(s, 99), s.size());
    EXPECT_EQ(cp.PrevBoundary(s, 8), 4u);
    EXPECT_EQ(cp.PrevBoundary(s, 4), 1u);
    EXPECT_EQ(cp.PrevBoundary(s, 1), 0u);
    EXPECT_EQ(cp.PrevBoundary(s, 0), 0u);
    EXPECT_TRUE(cp.IsBoundary(s, 4));
    EXPECT_FALSE(cp.IsBoundary(s, 2));
}

TEST(CodePage, Utf8StrayBytesCountAsOneCharacter) {
    CodePageScope scope(CodePage::Utf8);
    const CodePage& cp = CodePage::Current();
    // A cut sequence, a lone continuation byte, an overlong form and an encoded surrogate.
    std::string s = std::string("\xE3\x81") + "x" + "\x80" + "\xC0\xAF" + "\xED\xA0\x80";
    EXPECT_EQ(cp.CharCount(s), s.size());
    for (std::size_t i = 0; i < s.size(); ++i) EXPECT_EQ(cp.CharLength(s, i), 1u) << i;
    EXPECT_EQ(cp.PrevBoundary(s, 3), 2u);
    EXPECT_EQ(cp.PrevBoundary(s, s.size()), s.size() - 1);
}

TEST(CodePage, Utf8CountAgreesWithTheWalkFromCharacterToCharacter) {
    CodePageScope scope(CodePage::Utf8);
    const CodePage& cp = CodePage::Current();
    auto walk = [&cp](std::string_view s) {
        std::size_t n = 0;
        for (std::size_t i = 0; i < s.size(); i += cp.CharLength(s, i)) ++n;
        return n;
    };
    // Each case also runs behind 0 to 11 ASCII bytes, so that it meets the blocks of
    // eight and the last bytes, counted one by one, at every offset.
    const std::string cases[] = {
        "\xF4\x8F\xBF\xBF",  "\xF4\x90\x80\x80", "\xF0\x8F\xBF\xBF", "\xF0\x90\x80\x80",
        "\xE0\x9F\xBF",      "\xE0\xA0\x80",     "\xED\x9F\xBF",     "\xED\xA0\x80",
        "\xC1\xBF",          "\xC2\x80",         "\xF5\x80\x80\x80", "\xE3\x81\x82\x81\x82",
        "\xF0\x9F\x8E",      "\xE3\x81",         "\xE3\x81x\x82",     "\x80\x80\xC3",
        kAiUtf8 + kAiUtf8 + "\xF0\x9F\x8E\xA8" "abcdefgh" + kAiUtf8,
    };
    for (const std::string& c : cases)
        for (std::size_t pad = 0; pad < 12; ++pad) {
            const std::string s = std::string(pad, 'a') + c;
            EXPECT_EQ(cp.CharCount(s), walk(s)) << pad << " + " << c.size() << " bytes";
        }
    std::mt19937 rng(7);
    std::string bytes(4096, '\0');
    for (char& b : bytes) b = static_cast<char>(rng());
    for (std::size_t start = 0; start < 16; ++start)
        EXPECT_EQ(cp.CharCount(std::string_view(bytes).substr(start)), walk(std::string_view(bytes).substr(start)));
}

TEST(CodePage, Cp932LeadAndTrailBytes) {
    CodePageScope scope(CodePage::ShiftJis);
    const CodePage& cp = CodePage::Current();
    std::string s = "a" + kAiSjis + kHyouSjis + kKatakanaASjis + "b";
    EXPECT_EQ(cp.CharCount(s), 5u);
    EXPECT_EQ(cp.CharLength(s, 1), 2u);
    EXPECT_EQ(cp.CharLength(s, 3), 2u);
    EXPECT_EQ(cp.CharLength(s, 5), 1u);
    EXPECT_EQ(cp.PrevBoundary(s, 5), 3u);
    EXPECT_EQ(cp.PrevBoundary(s, 3), 1u);
    EXPECT_FALSE(cp.IsBoundary(s, 4));
    // A lead byte at the end or before an impossible trail byte stands alone.
    std::string cut = "x\x82";
    EXPECT_EQ(cp.CharCount(cut), 2u);
    std::string bad = "\x82\x20";
    EXPECT_EQ(cp.CharLength(bad, 0), 1u);
}

TEST(CodePage, Cp932PrevBoundaryAfterRunsOfLeadBytes) {
    CodePageScope scope(CodePage::ShiftJis);
    const CodePage& cp = CodePage::Current();
    // 0x88 0x9F is one character, and 0x9F is itself a possible lead byte.
    std::string s = "\x88\x9F\x88\x9F\x88\x9F";
    EXPECT_EQ(cp.PrevBoundary(s, 6), 4u);
    EXPECT_EQ(cp.PrevBoundary(s, 4), 2u);
    EXPECT_EQ(cp.CharCount(s), 3u);
}

TEST(CodePage, CaseChangesOnlySingleByteLetters) {
    {
        CodePageScope scope(CodePage::ShiftJis);
        const CodePage& cp = CodePage::Current();
        // 0x83 0x61 is a katakana whose trail byte is 'a': it must survive upper-casing.
        std::string s = "ab\x83\x61z";
        EXPECT_EQ(cp.Upper(s), "AB\x83\x61Z");
        EXPECT_EQ(cp.Lower("AB\x83\x41Z"), "ab\x83\x41z");
        EXPECT_TRUE(cp.EqualsIgnoreCase("Red", "rED"));
        EXPECT_FALSE(cp.EqualsIgnoreCase("\x83\x61", "\x83\x41"));
    }
    CodePageScope scope(CodePage::Utf8);
    const CodePage& cp = CodePage::Current();
    EXPECT_EQ(cp.Upper("caf\xC3\xA9"), "CAF\xC3\xA9");
}

TEST(CodePage, CompareIsAFixedTotalOrder) {
    const CodePage& cp = CodePage::Current();
    EXPECT_EQ(cp.Compare("abc", "abc"), 0);
    EXPECT_NE(cp.Compare("abc", "ABC"), 0);
    EXPECT_EQ(cp.CompareIgnoreCase("abc", "ABC"), 0);
    EXPECT_LT(cp.Compare("apple", "Banana"), 0);  // case does not decide before letters do
    EXPECT_LT(cp.Compare("ab", "abc"), 0);
    EXPECT_GT(cp.Compare("b", "a"), 0);
    EXPECT_EQ(cp.Compare("ABC", "abc"), -cp.Compare("abc", "ABC"));
}

TEST(CodePage, Utf16RoundTripsKeepEveryByte) {
    std::mt19937 rng(42);
    auto randomBytes = [&rng] {
        std::string s(rng() % 24, '\0');
        for (char& c : s) c = static_cast<char>(rng());
        return s;
    };
    {
        CodePageScope scope(CodePage::Utf8);
        const CodePage& cp = CodePage::Current();
        for (int n = 0; n < 2000; ++n) {
            std::string s = randomBytes();
            EXPECT_EQ(cp.FromUtf16(cp.ToUtf16(s)), s);
        }
    }
    CodePageScope scope(CodePage::ShiftJis);
    const CodePage& cp = CodePage::Current();
    // CP932 gives some characters two codes, so bytes may change but the text may not.
    for (int n = 0; n < 2000; ++n) {
        std::u16string text = cp.ToUtf16(randomBytes());
        EXPECT_EQ(cp.ToUtf16(cp.FromUtf16(text)), text);
    }
    std::string invalid = "\x80\xA0\xFD\xFE\xFF\x85\x40\x82";
    EXPECT_EQ(cp.FromUtf16(cp.ToUtf16(invalid)), invalid);
    // The IBM extension rows are the ones written back for their characters.
    EXPECT_EQ(cp.FromUtf16(cp.ToUtf16("\xEE\xEF")), "\xFA\x40");
}

TEST(CodePage, ConversionsBetweenEncodings) {
    CodePageScope scope(CodePage::ShiftJis);
    const CodePage& cp = CodePage::Current();
    EXPECT_EQ(cp.ToUtf16(kAiSjis), u"\u3042");
    EXPECT_EQ(cp.ToUtf16(kKatakanaASjis), u"\uFF71");
    EXPECT_EQ(cp.ToUtf8(kAiSjis + kHyouSjis), kAiUtf8 + "\xE8\xA1\xA8");
    EXPECT_EQ(cp.FromUtf8(kAiUtf8), kAiSjis);
    EXPECT_EQ(cp.FromUtf16(u"\U0001F3A8"), "?");  // no CP932 form
    CodePage::Select(CodePage::Utf8);
    EXPECT_EQ(CodePage::Current().ToUtf16("\xF0\x9F\x8E\xA8"), u"\U0001F3A8");
    EXPECT_EQ(CodePage::Current().ToUtf8("x\xFFy"), "x\xFFy");
}

TEST(CodePage, ChosenFromEnvironment) {
    setenv("TINCTOR_CODEPAGE", "932", 1);
    EXPECT_EQ(CodePage::FromEnvironment(), CodePage::ShiftJis);
    setenv("TINCTOR_CODEPAGE", "65001", 1);
    setenv("LC_ALL", "ja_JP.SJIS", 1);
    EXPECT_EQ(CodePage::FromEnvironment(), CodePage::Utf8);
    unsetenv("TINCTOR_CODEPAGE");
    EXPECT_EQ(CodePage::FromEnvironment(), CodePage::ShiftJis);
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(CodePage::FromEnvironment(), CodePage::Utf8);
    unsetenv("LC_ALL");
}
