// The Japanese text conversions under both code pages: the worked examples, the
// recognition rules, incomplete sequences, and the width conversions over long texts.
#include "script/lib/jconvert.h"

#include <gtest/gtest.h>

#include "script/core/ecma_type.h"
#include "util/CodePage.h"

using namespace kestrel::jconvert;
using tinctor::CodePage;

namespace {

const std::string kEsc2 = "\x1B$B";  // into two-byte mode
const std::string kEsc1 = "\x1B(J";  // back to one-byte mode

// The tests run once per code page; texts are written in UTF-8 and turned into
// system text with Sys.
class Jconvert : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { CodePage::Select(GetParam()); }
    void TearDown() override { CodePage::Select(CodePage::Utf8); }
    static std::string Sys(const std::string& utf8) { return CodePage::Current().FromUtf8(utf8); }
};

INSTANTIATE_TEST_SUITE_P(CodePages, Jconvert, ::testing::Values(CodePage::Utf8, CodePage::ShiftJis),
                         [](const auto& info) { return info.param == CodePage::Utf8 ? "Utf8" : "Cp932"; });

TEST_P(Jconvert, WorkedExamples) {
    struct Case {
        std::string (*convert)(std::string_view);
        std::string input, expected;
    } cases[] = {
        {&ToJIS, Sys("あA"), kEsc2 + "\x24\x22" + kEsc1 + "A"},
        {&ToJIS, Sys("あ"), kEsc2 + "\x24\x22"},  // no closing escape
        {&FromSJIStoJIS, Sys("ｶﾞ"), kEsc2 + "\x25\x2C"},
        {&FromSJIStoJIS, Sys("ﾊﾟ"), kEsc2 + "\x25\x51"},
        {&FromSJIStoJIS, Sys("ｳﾞｷﾞﾏﾞ"), kEsc2 + "\x25\x74\x25\x2E\x25\x5E\x21\x2B"},
        {&FromSJIStoEUC, Sys("ｱ"), "\x8E\xB1"},
        {&FromEUCtoSJIS, "\x8E\xB1", Sys("ｱ")},
        {&FromEUCtoSJIS, "\xA4\xA2", Sys("あ")},
        {&FromJIStoSJIS, kEsc2 + "\x30\x21\x1B(B", Sys("亜")},
        {&FromJIStoEUC, kEsc2 + "\x30\x21\x1B(B!", "\xB0\xA1!"},
        {&FromEUCtoJIS, "\xB0\xA1\r\n\x8E\xCA\x8E\xDF", kEsc2 + "\x30\x21" + kEsc1 + "\r\n" + kEsc2 + "\x25\x51"},
        {&ToSJIS, kEsc2 + "\x24\x22" + kEsc1, Sys("あ")},
        {&ToSJIS, "\x1B$@\x24\x22", Sys("あ")},  // old JIS reads like JIS
        {&ToEUC, Sys("亜"), "\xB0\xA1"},
        {&ToJIS, "plain ascii", "plain ascii"},
        {&ToEUC, "plain ascii", "plain ascii"},
        {&ToSJIS, "plain ascii", "plain ascii"},
        {&ToEUC, "\xB1\xB2\xB3", "\xB1\xB2\xB3"},                       // EUC or Shift_JIS: undecided
        {&ToJIS, std::string("\x01\x82\xA0", 3), std::string("\x01\x82\xA0", 3)},  // binary
        {&ToWide, Sys("あA"), std::string("\x42\x30\x41\x00", 4)},
        {&ToUTF8, Sys("①～"), "①～"},
        {&FromUTF8toSJIS, "①～", Sys("①～")},
        {&FromUTF8toSJIS, "a\xFF" "b", "a?b"},  // only the bad byte is replaced
        {&ToZenkaku, Sys("A b~ｶﾞﾊﾟｳﾞﾞ"), Sys("Ａ　ｂ～ガパヴ゛")},
        {&ToHankaku, Sys("Ａ　ｂガパヴ。ー"), Sys("A bｶﾞﾊﾟｳﾞ｡ｰ")},
        {&ToHankaku, Sys("あヰ"), Sys("あヰ")},  // no half-width form
        {&ToHiragana, Sys("カタカナヽヾ"), Sys("かたかなゝゞ")},
        {&ToKatakana, Sys("ひらがなゝゞ"), Sys("ヒラガナヽヾ")},
    };
    for (const Case& c : cases) EXPECT_EQ(c.convert(c.input), c.expected) << c.input;
}

TEST_P(Jconvert, KanaWhoseCounterpartTheCodePageLacksStays) {
    const bool cp932 = GetParam() == CodePage::ShiftJis;
    EXPECT_EQ(ToHiragana(Sys("ヴヵヶカ")), Sys(cp932 ? "ヴヵヶか" : "ゔゕゖか"));
}

TEST_P(Jconvert, CharactersThatDoNotDecodeBecomeOneQuestionMarkEach) {
    const bool cp932 = GetParam() == CodePage::ShiftJis;
    // JIS row 9 is unassigned: its Shift_JIS pair 85 40 has no character.
    EXPECT_EQ(FromJIStoSJIS(kEsc2 + "\x29\x21"), cp932 ? "\x85\x40" : "?");
    EXPECT_EQ(ToUTF8("\x85\x40" "A"), cp932 ? "?A" : "?@A");
}

TEST_P(Jconvert, RoundTripThroughEucAndJis) {
    const std::string text = Sys("色の名前 Colour ｶﾗｰ 表示\r\n①ソ\\\r\n");
    const std::string back = FromJIStoSJIS(FromEUCtoJIS(FromSJIStoEUC(text)));
    EXPECT_EQ(back, Sys("色の名前 Colour カラー 表示\r\n①ソ\\\r\n"));  // JIS has no half-width kana
    EXPECT_EQ(ToSJIS(ToJIS(text)), back);
    EXPECT_EQ(FromEUCtoSJIS(FromSJIStoEUC(text)), text);
}

TEST_P(Jconvert, WidthConversionsMapTheWholeText) {
    // A sound mark is merged wherever it falls, and nothing is cut off.
    const std::string longMerged = std::string(126, 'x') + Sys("ｶﾞ");
    EXPECT_EQ(ToZenkaku(longMerged), [&] {
        std::string s;
        for (int i = 0; i < 126; ++i) s += Sys("ｘ");
        return s + Sys("ガ");
    }());
    const std::string zenkaku = ToZenkaku(std::string(300, 'A'));
    EXPECT_EQ(zenkaku.size(), GetParam() == CodePage::Utf8 ? 900u : 600u);
    EXPECT_EQ(ToHankaku(zenkaku), std::string(300, 'A'));
}

TEST_P(Jconvert, IncompleteSequencesKeepWhatComesBefore) {
    // A cut sequence at the end adds nothing, and what precedes it is kept.
    struct Case {
        std::string (*convert)(std::string_view);
        std::string complete, cut;
    } cases[] = {
        {&FromEUCtoSJIS, "\xA4\xA2", "\xA4"},
        {&FromEUCtoSJIS, "\xA4\xA2", "\x8E"},
        {&FromEUCtoJIS, "\xA4\xA2", "\xB0"},
        {&FromJIStoSJIS, kEsc2 + "\x24\x22", "\x30"},
        {&FromJIStoSJIS, kEsc2 + "\x24\x22", "\x1B$"},
        {&FromJIStoEUC, kEsc2 + "\x24\x22", "\x1B"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.convert(c.complete + c.cut), c.convert(c.complete)) << c.cut;
    // An odd byte before an escape does not swallow the escape.
    EXPECT_EQ(FromJIStoSJIS(kEsc2 + "\x24\x22\x30" + kEsc1 + "A"), Sys("あA"));
    // A Shift_JIS lead byte at the end (only a CP932 text can hold one).
    EXPECT_EQ(FromSJIStoEUC("\x82\xA0\x82"), FromSJIStoEUC("\x82\xA0"));
    EXPECT_EQ(FromSJIStoJIS("A\x88"), "A");
    EXPECT_EQ(ToUTF8("A\x88"), "A?");
}

TEST(JconvertLimit, ResultsPastTheStringLimitAreRefused) {
    const std::string huge(kestrel::TJString::kMaxLength / 2 + 1, 'a');
    try {
        ToWide(huge);
        FAIL() << "no error";
    } catch (const kestrel::EJRuntimeError& e) {
        EXPECT_EQ(e.ErrorName(), "EStringError");
        EXPECT_EQ(e.Message(), "string too long");
    }
}

TEST(JconvertRecognition, ByteRules) {
    struct Case {
        std::string bytes;
        TJCodeClass expected;
    } cases[] = {
        {"", TJCodeClass::None},
        {"ascii text", TJCodeClass::None},
        {std::string("ab\x07z", 4), TJCodeClass::Binary},
        {"a\xFFz", TJCodeClass::Binary},
        {"a\x07", TJCodeClass::None},  // the last byte is never examined
        {"\x1B$B\x24\x22", TJCodeClass::Jis},
        {"\x1B$@\x24\x22", TJCodeClass::OldJis},
        {"\x1B(B", TJCodeClass::None},
        {"\x1B$", TJCodeClass::None},
        {"\x82\xA0", TJCodeClass::Sjis},
        {"\x8E\x40", TJCodeClass::Sjis},
        {"\x8E\xB1z", TJCodeClass::EucOrSjis},
        {"\xA4\xF0", TJCodeClass::Euc},
        {"\xA4\xA2z", TJCodeClass::EucOrSjis},
        {"\xB1\x80", TJCodeClass::Sjis},
        {"\xB1\xE0\xA1\x85", TJCodeClass::Sjis},  // the bytes after 0xE0-0xEF decide
        {"\xB1\xE0\xA1\xFD", TJCodeClass::Euc},
        {"\xB1\xE0\x30\x85", TJCodeClass::EucOrSjis},
        {"\xE0\x40", TJCodeClass::Sjis},
        {"\xE0\xFD", TJCodeClass::Euc},
        {"\xE0\xA1z", TJCodeClass::EucOrSjis},
        {"\xF0\xA1", TJCodeClass::Euc},
        {"\x80\xA0\x82\xA0", TJCodeClass::Sjis},
        {std::string(600, 'a') + "\x01\x82\xA0", TJCodeClass::Binary},  // later than 512 bytes, in the scan
        {"\xB1\xB2" + std::string(600, 'a') + std::string("\x01z", 2), TJCodeClass::Binary},
    };
    for (const Case& c : cases) EXPECT_EQ(RecognizeBytes(c.bytes), c.expected) << c.bytes;
}

TEST(JconvertRecognition, Utf8TextIsSystemText) {
    CodePage::Select(CodePage::Utf8);
    EXPECT_EQ(RecognizeBytes("世"), TJCodeClass::EucOrSjis);
    EXPECT_EQ(Recognize("世"), TJCodeClass::Sjis);
    EXPECT_EQ(Recognize("\xA4\xA2\xA4\xA4"), TJCodeClass::EucOrSjis);
    EXPECT_EQ(ToSJIS("色"), "色");
    EXPECT_EQ(ToSJIS("\x90\x46"), "\x90\x46");  // legacy Shift_JIS bytes are left alone
    EXPECT_EQ(FromSJIStoEUC("\x90\x46"), "\xBF\xA7");
}

}  // namespace
