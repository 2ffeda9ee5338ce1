#include "script/core/ecma_lex.h"

#include <gtest/gtest.h>

#include <vector>

#include "script/core/ecma_type.h"
#include "util/CodePage.h"

using namespace kestrel;

namespace {

struct Tok {
    int code;
    std::string text;  // in the code page
    int sub = -1;      // operator sub-code, -1 when the token has none
    bool operator==(const Tok& o) const { return code == o.code && text == o.text && sub == o.sub; }
};

std::ostream& operator<<(std::ostream& os, const Tok& t) {
    os << t.code << "(" << t.text;
    if (t.sub >= 0) os << "/" << t.sub;
    return os << ")";
}

std::vector<Tok> Lex(std::string_view source) {
    TJLex lex;
    lex.SetSourceText(source);
    std::vector<Tok> out;
    while (lex.Next()) {
        const auto& v = lex.TokenValue();
        out.push_back({lex.Token(), lex.TokenString(), v.Kind == TJTokenValue::tvSubCode ? v.Integer : -1});
    }
    EXPECT_EQ(lex.Current(), 0);
    return out;
}

std::vector<int> Codes(std::string_view source) {
    std::vector<int> codes;
    for (const Tok& t : Lex(source)) codes.push_back(t.code);
    return codes;
}

// The single token of Source.
Tok One(std::string_view source) {
    auto toks = Lex(source);
    EXPECT_EQ(toks.size(), 1u) << source;
    return toks.empty() ? Tok{-1, ""} : toks[0];
}

}  // namespace

TEST(Lexer, OperatorsWithTheirSubCodes) {
    std::vector<Tok> expected = {
        {299, "("},        {300, ")"},        {301, "{"},        {302, "}"},        {303, "["},
        {304, "]"},        {305, ";"},        {306, ","},        {317, "?"},        {318, ":"},
        {327, "@"},        {324, "."},        {308, "+", 43},    {308, "-", 45},    {314, "++", 43},
        {314, "--", 45},   {313, "+=", 43},   {313, "-=", 45},   {310, "*", 42},    {313, "*=", 42},
        {310, "%", 37},    {313, "%=", 37},   {311, "<", 60},    {311, "<=", 40},   {309, "<<", 60},
        {313, "<<=", 60},  {311, ">", 62},    {311, ">=", 41},   {309, ">>", 62},   {313, ">>=", 62},
        {309, ">>>", 51},  {313, ">>>=", 51}, {316, "="},        {312, "==", 61},   {312, "===", 51},
        {315, "!", 33},    {312, "!=", 33},   {312, "!==", 50},  {320, "&&"},       {313, "&=", 38},
        {323, "&"},        {319, "||"},       {313, "|=", 124},  {321, "|"},        {322, "^"},
        {313, "^=", 94},   {315, "~", 126},
    };
    EXPECT_EQ(Lex("( ) { } [ ] ; , ? : @ . + - ++ -- += -= * *= % %= < <= << <<= > >= >> >>= >>> >>>= "
                  "= == === ! != !== && &= & || |= | ^ ^= ~"),
              expected);
    // Longest match without blanks, stepping back where the longer form does not match.
    EXPECT_EQ(Codes("a+++b"), (std::vector<int>{295, 314, 308, 295}));
    EXPECT_EQ(Codes("a>>>=b>>=c>>d>e"), (std::vector<int>{295, 313, 295, 313, 295, 309, 295, 311, 295}));
    EXPECT_EQ(Codes("a!==b===c"), (std::vector<int>{295, 312, 295, 312, 295}));
    EXPECT_EQ(Lex("x>")[1], (Tok{311, ">", 62})) << "an operator at the very end";
    EXPECT_EQ(Lex("x>>")[1], (Tok{309, ">>", 62}));
}

TEST(Lexer, KeywordsAreExactlyTheListedWords) {
    const char* words[] = {"var", "function", "if", "else", "while", "for", "continue", "break", "return",
                           "with", "this", "null", "true", "false", "new", "delete", "void", "typeof", "try",
                           "catch", "finally", "throw", "undefined", "infinity", "in", "case", "class",
                           "const", "debugger", "do", "enum", "export", "extends", "import", "super", "switch",
                           "default", "static", "global", "NaN"};
    int codes[] = {257, 258, 260, 261, 262, 263, 264, 265, 266, 267, 268, 269, 270, 271, 272, 273, 274, 275, 276,
                   277, 278, 279, 280, 281, 282, 283, 284, 285, 286, 287, 288, 289, 290, 291, 292, 293, 326, 328,
                   329, 502};
    for (std::size_t i = 0; i < std::size(words); ++i) EXPECT_EQ(One(words[i]), (Tok{codes[i], words[i]}));
    for (const char* word : {"Var", "IF", "Infinity", "nan", "let", "instanceof", "yield", "undefinedx", "_in",
                             "$this", "null1", "elseif"})
        EXPECT_EQ(One(word), (Tok{295, word})) << word;
}

TEST(Lexer, AfterADotEveryWordIsAMemberName) {
    EXPECT_EQ(Lex("obj.new"), (std::vector<Tok>{{295, "obj"}, {324, "."}, {295, "new"}}));
    EXPECT_EQ(Codes("obj.delete(x)"), (std::vector<int>{295, 324, 295, 299, 295, 300}));
    EXPECT_EQ(Codes("a. /*c*/ NaN"), (std::vector<int>{295, 324, 295})) << "a comment does not count as a token";
    EXPECT_EQ(Codes("a.b new"), (std::vector<int>{295, 324, 295, 272}));
}

TEST(Lexer, RegExpStaticPropertiesAfterADot) {
    EXPECT_EQ(Lex("RegExp.$\"")[2], (Tok{295, "rightContext"}));
    EXPECT_EQ(Lex("RegExp.$&")[2], (Tok{295, "lastMatch"}));
    EXPECT_EQ(Lex("RegExp.$*")[2], (Tok{295, "multiline"}));
    EXPECT_EQ(Lex("RegExp.$+")[2], (Tok{295, "lastParen"}));
    EXPECT_EQ(Lex("RegExp.$`")[2], (Tok{295, "leftContext"}));
    EXPECT_EQ(Lex("RegExp.$_")[2], (Tok{295, "input"}));
    EXPECT_EQ(Lex("RegExp.$1"), (std::vector<Tok>{{295, "RegExp"}, {324, "."}, {295, "$1"}}));
    EXPECT_EQ(Lex("RegExp.$_x").size(), 4u) << "the character is consumed, the rest is a new token";
    EXPECT_EQ(Lex("RegExp.$'").size(), 3u) << "a single quote is not one of them: it opens a string";
    EXPECT_EQ(Lex("$_ + $&")[0], (Tok{295, "$_"})) << "only after a dot";
}

TEST(Lexer, Numbers) {
    auto integer = [](std::string_view s) {
        TJLex lex;
        lex.SetSourceText(s);
        EXPECT_TRUE(lex.Next());
        EXPECT_EQ(lex.Token(), 296) << s;
        EXPECT_EQ(lex.TokenValue().Kind, TJTokenValue::tvInteger);
        return lex.TokenValue().Integer;
    };
    auto floating = [](std::string_view s) {
        TJLex lex;
        lex.SetSourceText(s);
        EXPECT_TRUE(lex.Next());
        EXPECT_EQ(lex.Token(), 297) << s;
        EXPECT_EQ(lex.TokenValue().Kind, TJTokenValue::tvDouble);
        return lex.TokenValue().Double;
    };
    EXPECT_EQ(integer("0x1F"), 31);
    EXPECT_EQ(integer("0XfF"), 255);
    EXPECT_EQ(integer("010"), 10) << "no octal literals";
    EXPECT_EQ(integer("2147483647"), 2147483647);
    EXPECT_EQ(integer("0xFFFFFFFF"), -1);
    EXPECT_EQ(floating("1e3"), 1000);
    EXPECT_EQ(floating("1.5"), 1.5);
    EXPECT_EQ(floating("2.5E-2"), 0.025);
    EXPECT_EQ(floating("1e+2"), 100);
    EXPECT_EQ(floating("2147483648"), 2147483648.0) << "beyond 32 bits: a 64-bit integer as a double";
    EXPECT_EQ(floating("0x1FFFFFFFF"), 8589934591.0);
    EXPECT_EQ(floating("99999999999999999999"), 1e20) << "beyond 64 bits: the floating syntax";
    for (const char* bad : {"1.2.3", "1e400", "0x", "1x5", "1e+", "1.5e-", "1e5e5"})
        EXPECT_EQ(One(bad), (Tok{502, bad}));
    EXPECT_EQ(Lex("0x1G"), (std::vector<Tok>{{296, "0x1"}, {295, "G"}}));
    EXPECT_EQ(Lex(".5"), (std::vector<Tok>{{324, "."}, {296, "5"}}));
    EXPECT_EQ(Lex("5."), (std::vector<Tok>{{296, "5"}, {324, "."}}));
    EXPECT_EQ(Lex("1.toString"), (std::vector<Tok>{{296, "1"}, {324, "."}, {295, "toString"}}));
    EXPECT_EQ(Lex("1e"), (std::vector<Tok>{{296, "1"}, {295, "e"}}));
    EXPECT_EQ(Lex("12ab"), (std::vector<Tok>{{296, "12"}, {295, "ab"}}));
    EXPECT_EQ(Lex("3-1"), (std::vector<Tok>{{296, "3"}, {308, "-", 45}, {296, "1"}}));
    EXPECT_EQ(Codes("1..5"), (std::vector<int>{296, 324, 324, 296}));
}

TEST(Lexer, DoubleQuotedStringEscapes) {
    EXPECT_EQ(One(R"("a\qb")"), (Tok{294, "ab"})) << "an unknown escape drops both characters";
    EXPECT_EQ(One(R"("x\ny")"), (Tok{294, "x\r\ny"}));
    EXPECT_EQ(One(R"("\\\b\f\r\t\"")"), (Tok{294, "\\\b\f\r\t\""}));
    EXPECT_EQ(One(R"("it's")"), (Tok{294, "it's"}));
    EXPECT_EQ(One("\"\\\xE3\x81\x82z\""), (Tok{294, "z"})) << "an escaped non-ASCII character goes whole";
    EXPECT_EQ(One("\"\\\xF0\x9F\x98\x80z\""), (Tok{294, "z"})) << "also beyond the BMP";
    EXPECT_EQ(One("\"\""), (Tok{294, ""}));
}

TEST(Lexer, SingleQuotedStringsHaveNoEscapes) {
    EXPECT_EQ(One(R"('a\nb')"), (Tok{294, R"(a\nb)"}));
    EXPECT_EQ(Lex(R"('a\' + 'b')"), (std::vector<Tok>{{294, R"(a\)"}, {308, "+", 43}, {294, "b"}}));
    EXPECT_EQ(One("'say \"hi\"'"), (Tok{294, "say \"hi\""}));
}

TEST(Lexer, UnterminatedStringsAndCommentsEndTheStream) {
    EXPECT_EQ(Codes("a \"abc"), (std::vector<int>{295}));
    EXPECT_EQ(Codes("a 'abc"), (std::vector<int>{295}));
    EXPECT_EQ(Codes("a \"abc\\"), (std::vector<int>{295})) << "a backslash as the last character";
    EXPECT_EQ(Codes("a \"abc\\\""), (std::vector<int>{295})) << "an escaped quote does not close";
    EXPECT_EQ(Codes("a /* b"), (std::vector<int>{295}));
    EXPECT_EQ(Codes("a /*/ b"), (std::vector<int>{295})) << "the opening star does not close";
    EXPECT_EQ(Codes("a // b"), (std::vector<int>{295}));
    EXPECT_EQ(Codes("a = /abc"), (std::vector<int>{295, 316}));
    EXPECT_EQ(Codes("a = /abc\\"), (std::vector<int>{295, 316}));
    EXPECT_EQ(Codes("a = /abc\\/"), (std::vector<int>{295, 316})) << "an escaped slash does not close";
}

TEST(Lexer, CommentsAndIgnoredCharacters) {
    EXPECT_EQ(Codes("a /* x */ b // c\nd"), (std::vector<int>{295, 295, 295}));
    EXPECT_EQ(Codes("a /** x **/ b"), (std::vector<int>{295, 295}));
    EXPECT_EQ(Lex("# a ` b \\ c"), (std::vector<Tok>{{295, "a"}, {295, "b"}, {295, "c"}}));
    EXPECT_EQ(Lex("a#b"), (std::vector<Tok>{{295, "a"}, {295, "b"}}));
    // Japanese text and the ideographic space outside strings are skipped like blanks.
    EXPECT_EQ(Lex("x\xE3\x80\x80=\xE6\x97\xA5\xE6\x9C\xAC 1"), (std::vector<Tok>{{295, "x"}, {316, "="}, {296, "1"}}));
    EXPECT_EQ(Lex("ab\xC3\xA9z"), (std::vector<Tok>{{295, "ab"}, {295, "z"}}));
    EXPECT_EQ(Codes(std::string("a\0b\x01\x7F", 5)), (std::vector<int>{295, 295}));
}

TEST(Lexer, SlashDividesAfterAnOperandElseStartsARegExp) {
    EXPECT_EQ(Lex("a = b / c;")[3], (Tok{310, "/", 47}));
    EXPECT_EQ(Lex("a /= 2")[1], (Tok{313, "/=", 47}));
    EXPECT_EQ(Lex("a = /x/g;")[2], (Tok{325, std::string("x\0g", 3)}));
    for (const char* before : {"null", "true", "false", "undefined", "infinity", "'s'", "x", "1", "1.5", ")",
                               "]", "/r/", "NaN"})
        EXPECT_EQ(Lex(std::string(before) + " /2")[1].code, 310) << before;
    for (const char* before : {"x++", "x--", "a[0]++", "(x)--"})
        EXPECT_EQ(Lex(std::string(before) + " /2")[Codes(before).size()].code, 310) << before << ", postfix";
    for (const char* before : {"this", "}", "(", ",", "=", "return", "+", "++", ";", "x = ++", "--"})
        EXPECT_EQ(Lex(std::string(before) + " /2/")[Codes(before).size()].code, 325) << before;
    EXPECT_EQ(One("/2/").code, 325) << "at the start";
    EXPECT_EQ(One("/=/").text, std::string("=\0", 2));
}

TEST(Lexer, RegExpLiterals) {
    using namespace std::string_literals;
    EXPECT_EQ(One(R"(/\bword\b/)").text, "\\bword\\b\0"s) << "\\b stays a word boundary for the matcher";
    EXPECT_EQ(One(R"(/a\/b/)").text, "a/b\0"s);
    EXPECT_EQ(One(R"(/\d+\.\s\\/)").text, "\\d+\\.\\s\\\\\0"s);
    EXPECT_EQ(One(R"(/\f\n\r\t/)").text, "\f\r\n\r\t\0"s);
    EXPECT_EQ(One("/a\\\0b/"s).text, "ab\0"s) << "a backslash and a zero character give nothing";
    EXPECT_EQ(One("/[\"']/").text, "[\"']\0"s);
    EXPECT_EQ(One("/x/gim").text, "x\0gim"s);
    EXPECT_EQ(One("/x/gimgimg").text, "x\0gimgimg"s) << "seven flag letters";
    EXPECT_EQ(Lex("/x/gix"), (std::vector<Tok>{{325, "x\0gi"s}, {295, "x"}}));
    EXPECT_EQ(Lex("/x/G"), (std::vector<Tok>{{325, "x\0"s}, {295, "G"}}));
    EXPECT_EQ(One("/\xFF\xE3\x81\x82/").text, "\xFF\xE3\x81\x82\0"s) << "bytes reach the matcher unchanged";
}

TEST(Lexer, MoreThanSevenFlagsIsASyntaxError) {
    TJLex lex;
    lex.SetSourceText("a;\nb = /x/gimgimgi;");
    ASSERT_TRUE(lex.Next());
    ASSERT_TRUE(lex.Next());
    ASSERT_TRUE(lex.Next());
    ASSERT_TRUE(lex.Next());
    try {
        lex.Next();
        FAIL() << "eight flag letters were accepted";
    } catch (const EJSyntaxError& e) {
        EXPECT_EQ(e.Line(), 2);
        EXPECT_EQ(e.ErrorName(), "ESyntaxError");
        EXPECT_STREQ(e.what(), "too many regular expression flags: Text( gimgimgi )");
    }
}

TEST(Lexer, LineNumbers) {
    // The line after each token, whatever ends the lines.
    auto lines = [](std::string_view source) {
        TJLex lex;
        lex.SetSourceText(source);
        std::vector<int> out;
        while (lex.Next())
            if (lex.Token() == 295 || lex.Token() == 296) out.push_back(lex.Line());
        return out;
    };
    EXPECT_EQ(lines("a\nb\n1\nc"), lines("a;\nb;\n1;\nc;"));
    EXPECT_EQ(lines("a\nb\n1\nc"), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(lines("a\r\n\r\nb"), (std::vector<int>{1, 3}));
    EXPECT_EQ(lines("a+\nb>\n\nc"), (std::vector<int>{1, 2, 4})) << "operators step back over the line feed too";
    EXPECT_EQ(lines("a /* 1\n2\n */ b // x\nc"), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(lines("a 'x\ny' b \"\\\n\" c = /x\n/ d"), (std::vector<int>{1, 2, 3, 4}))
        << "line feeds in strings and regular expressions count once";
    EXPECT_EQ(lines("1.\nx"), (std::vector<int>{1, 2})) << "stepping back twice over a line feed";
    EXPECT_EQ(lines("1e\nx"), (std::vector<int>{1, 1, 2}));
}

TEST(Lexer, StateAtTheEnd) {
    TJLex lex;
    EXPECT_TRUE(lex.AtEnd());
    EXPECT_FALSE(lex.Next());
    lex.SetSourceText("");
    EXPECT_TRUE(lex.AtEnd());
    EXPECT_FALSE(lex.Next());

    lex.SetSourceText("x = 1");
    EXPECT_EQ(lex.Size(), 5u);
    EXPECT_EQ(lex.Position(), 1u);
    ASSERT_TRUE(lex.Next());
    ASSERT_TRUE(lex.Next());
    ASSERT_TRUE(lex.Next());
    EXPECT_EQ(lex.Current(), 296) << "the last token is current although the source is used up";
    EXPECT_EQ(lex.PrevToken(), 316);
    EXPECT_FALSE(lex.AtEnd());
    EXPECT_FALSE(lex.Next());
    EXPECT_TRUE(lex.AtEnd());
    EXPECT_EQ(lex.Token(), 0);
    EXPECT_EQ(lex.Current(), 0);
    EXPECT_EQ(lex.PrevToken(), 296);
    EXPECT_FALSE(lex.Next()) << "reading on at the end stays at the end";

    lex.Reset();
    EXPECT_EQ(lex.Line(), 1);
    EXPECT_EQ(lex.Size(), 0u);
    EXPECT_EQ(lex.PrevToken(), 0);
    EXPECT_TRUE(lex.TokenText().empty());
}

TEST(Lexer, InsertSourceGoesBeforeTheNextUnreadCharacter) {
    TJLex lex;
    lex.SetSource(u"import lib; main");
    ASSERT_TRUE(lex.Next());
    ASSERT_TRUE(lex.Next());
    ASSERT_TRUE(lex.Next());  // ;
    lex.InsertSource(u" f(1)\n");
    lex.InsertSource(u"");
    std::vector<std::u16string> rest;
    while (lex.Next()) rest.push_back(lex.TokenText());
    EXPECT_EQ(rest, (std::vector<std::u16string>{u"f", u"(", u"1", u")", u"main"}));
    EXPECT_EQ(lex.Line(), 2);

    // At the end the inserted text is simply what comes next.
    lex.SetSource(u"a");
    ASSERT_TRUE(lex.Next());
    ASSERT_FALSE(lex.Next());
    lex.InsertSource(u"b c");
    EXPECT_FALSE(lex.AtEnd());
    ASSERT_TRUE(lex.Next());
    EXPECT_EQ(lex.TokenText(), u"b");
    ASSERT_TRUE(lex.Next());
    EXPECT_EQ(lex.TokenText(), u"c");
    EXPECT_FALSE(lex.Next());
}

TEST(Lexer, DebugOutput) {
    TJLex lex;
    std::vector<std::string> trace;
    lex.OnDebugout = [&](const std::string& s) { trace.push_back(s); };
    lex.SetSourceText("var s = \"\xE6\x97\xA5\" + 1.5; // note");
    while (lex.Next()) {
    }
    EXPECT_EQ(trace, (std::vector<std::string>{"257( var )", "295( s )", "316( = )", "294( \xE6\x97\xA5 )",
                                               "308( + )", "297( 1.5 )", "305( ; )"}));
}

TEST(Lexer, TokenTextsGoBackToTheirBytes) {
    // Invalid UTF-8 in strings, regular expressions and around them.
    const std::string bytes = "\xFF\xC3\x28\x80\xED\xA0\x80\xF4\x90\x80\x80";
    EXPECT_EQ(One("\"" + bytes + "\"").text, bytes);
    EXPECT_EQ(One("'" + bytes + "'").text, bytes);
    EXPECT_EQ(One("\"a\xC3\"").text, "a\xC3") << "a cut sequence before the closing quote";
}

TEST(Lexer, ShiftJisTrailBytesAreNotBackslashes) {
    tinctor::CodePage::Select(tinctor::CodePage::ShiftJis);
    // "表" is 0x95 0x5C and "ソ" 0x83 0x5C: their second byte is the backslash's.
    const std::string text = "\x95\x5C\x83\x5C\x8E\xA6";
    auto toks = Lex("x = \"" + text + "\"; '" + text + "'");
    tinctor::CodePage::Select(tinctor::CodePage::Utf8);
    ASSERT_EQ(toks.size(), 5u);
    EXPECT_EQ(toks[2], (Tok{294, text}));
    EXPECT_EQ(toks[4], (Tok{294, text}));
}

TEST(Lexer, BadInputGivesTokensOrItsErrorNeverAHang) {
    // Long lines and long tokens.
    const std::string longWord(1 << 20, 'w');
    EXPECT_EQ(One(longWord), (Tok{295, longWord}));
    EXPECT_EQ(One(std::string(1 << 20, '9')).code, 502) << "too large even for a double";
    EXPECT_EQ(One("0." + std::string(1 << 20, '0') + "1").code, 297);
    EXPECT_EQ(Codes("x /*" + std::string(1 << 20, '*')), (std::vector<int>{295}));
    EXPECT_EQ(Codes(std::string(1 << 20, '#') + "y"), (std::vector<int>{295}));
    EXPECT_EQ(Lex("\"" + std::string(1 << 20, '\\')).size(), 0u);

    // Random bytes in both code pages: every token takes at least one code unit.
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int codePage : {tinctor::CodePage::Utf8, tinctor::CodePage::ShiftJis}) {
        tinctor::CodePage::Select(codePage);
        for (int round = 0; round < 20; ++round) {
            std::string bytes(4096 + round * 1000, '\0');
            for (char& b : bytes) b = static_cast<char>(next() >> 16);
            TJLex lex;
            lex.SetSourceText(bytes);
            std::size_t tokens = 0;
            try {
                while (lex.Next()) ASSERT_LE(++tokens, lex.Size());
                EXPECT_TRUE(lex.AtEnd());
            } catch (const EJSyntaxError&) {
                // eight flag letters can come out of random bytes; the error is the answer
            }
        }
    }
    tinctor::CodePage::Select(tinctor::CodePage::Utf8);
}
