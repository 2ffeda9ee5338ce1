// The RegExp object from scripts (state, "$" members, the shared object, templates,
// the mended faults) in both code pages, and the PCRE2 engine's byte rules directly.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "script/lib/ecma_regexp.h"
#include "script_runner.h"
#include "util/CodePage.h"

using namespace kestrel;
using kestrel::testing::CodePageScope;
using kestrel::testing::ExpectOutputs;
using kestrel::testing::ExpectOutputsInBothCodePages;
using kestrel::testing::ScriptRunner;

namespace {

TEST(RegExpObject, StateAfterMatches) {
    ExpectOutputsInBothCodePages({
        // Arguments are evaluated from the last to the first: the match runs first.
        {"var r = new RegExp('a(b)?c'); var m = r.exec('xacy'); print(m, '|', r.lastMatch, '|', r.index, '|',"
         " r.lastIndex, '|', r.leftContext, '|', r.rightContext, '|', r.$1, '|', r.lastParen, '|', r.input);",
         "ac|ac|1|3|x|y|||xacy"},
        {"var r = new RegExp('o', 'g'); var m = r.exec('foo boo'); print(m, ' ', r.index, ' ', r.lastIndex);",
         "o,o,o,o 6 7"},
        {"var r = new RegExp('x'); print(r.exec('abc'), ' ', r.index, ' ', r.lastIndex);", "null -1 -1"},
        // Every search starts at the beginning: the same result twice.
        {"var r = new RegExp('b', 'g'); print(r.exec('abab'), ' ', r.exec('abab'));", "b,b b,b"},
        {"var r = new RegExp('b', 'gi'); print(r.global, r.ignoreCase, r.multiline);", "truetruefalse"},
        {"var r = new RegExp('b', 'global'); print(r.global, r.ignoreCase, r.multiline);", "falsefalsefalse"},
        {"print(/a/gim.global, /a/gim.ignoreCase, /a/gim.multiline, /a/.global);", "truetruetruefalse"},
        {"var r = new RegExp(); print('[', r.source, ']', r.test('a'), r.exec('a'));", "[]falsenull"},
        // exec() without argument reads the shared object's input.
        {"RegExp.input = 'xyz'; var m = new RegExp('y').exec(); print(m, RegExp.lastMatch);", "yy"},
        {"var r = new RegExp('b'); r.source = 'c'; r.ignoreCase = true; print(r.test('C'), r.source);", "truec"},
        {"print(new RegExp('a').toString(), ' ', new RegExp('(').test('('));", "[object RegExp] false"},
    });
}

TEST(RegExpObject, SharedObjectAndDollars) {
    ExpectOutputsInBothCodePages({
        {"/(\\d)(\\d)/.exec('ab12'); print(RegExp.$1, RegExp.lastMatch, RegExp.index, RegExp.source);",
         "1122(\\d)(\\d)"},
        // A failing exec leaves the shared object cleared; a failing test reports to it.
        {"/(a)/.exec('a'); /z/.exec('a'); print('[', RegExp.$1, RegExp.lastMatch, RegExp.index, RegExp.source, ']');",
         "[-1(a)]"},
        {"/(a)/.exec('a'); /z/.test('a'); print('[', RegExp.$1, RegExp.index, RegExp.source, ']');", "[-1z]"},
        {"/(a)|(b)/.exec('b'); print('[', RegExp.$1, '][', RegExp.$2, '][', RegExp.lastParen, ']');", "[][b][b]"},
        {"/a(b)?c/.exec('xacy'); print('[', RegExp.$1, '][', RegExp.lastParen, ']');", "[][]"},
        // Groups above 14 are not reported; "$10" ... "$14" are cleared by a later match.
        {"var r = /(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)(p)/; r.test('abcdefghijklmnop');"
         "print(RegExp.$14, RegExp.lastParen); /(x)/.test('x'); print('[', RegExp.$10, RegExp.$14, ']', RegExp.$1);",
         "nn[]x"},
        {"var r = new RegExp('(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)'); r.test('abcdefghijk'); r.test('z');"
         " print('[', r.$10, r.$11, ']');",
         "[]"},
        {"switch ('hello') { case /^h(.)/: print('matched ', RegExp.$1); break; default: print('default'); }",
         "matched e"},
        {"var r = new RegExp('^w'); switch ('world') { case r: print('object'); break; }", "object"},
    });
}

TEST(RegExpObject, ReplaceAndTemplates) {
    ExpectOutputsInBothCodePages({
        {"print(/-/.replace('a-b-c', '+'), ' ', /-/g.replace('a-b-c', '+'));", "a+b-c a+b+c"},
        {"print(/(\\w+) (\\w+)/.replace('ab cd', '$2 $1'));", "cd ab"},
        {R"(print(/(a)(b)/.replace("ab", "${1}0|$10|\\$1|\\\\|$&|${&}|$15|$3|$x|${x}|$"));)",
         R"(a0||$1|\|ab|ab|||$x|${x}|$)"},
        {"print(/(a)/.replace('abc'), '|', /(a)/.replace(), '|', new RegExp('(').replace('abc', 'x'));", "bc||"},
        {"print(/(a)(b)/.replace('abc', function(m, a, b, p, s) { print(m, a, b, p, s, ':'); return 7; }));",
         "abab0abc:7c"},
        // The replacement function may use the same object; the outer loop goes on.
        {"var r = new RegExp('a', 'g'); print(r.replace('xaxa', function(m) { return r.replace('ya', 'b'); }));",
         "xybxyb"},
        {"try { /a/.replace('a', function() { throw 'boom'; }); } catch (e) { print('caught ', e); }",
         "caught boom"},
        {"/(b)/g.replace('abcb', 'x'); print(RegExp.$1, RegExp.index, RegExp.lastMatch);", "b3b"},
    });
}

TEST(RegExpObject, Split) {
    ExpectOutputsInBothCodePages({
        {"print(/,/.split('a,b,,c').length, ':', /,/.split('a,b,,c'));", "4:a,b,,c"},
        {"print(/,/.split('a,b,,c', 2).length, /,/.split('a,b,,c', 0).length, /,/.split('abc'));", "20abc"},
        {"print(/,/.split('a,b,', -1).length, /,/.split().length, new RegExp('').split('abc').length);", "300"},
        {"print(/x*/.split('abc').length);", "5"},
    });
}

// A resource limit late in a long text: the pieces and replacements already made
// stay, and the rest of the input is kept as it is.
TEST(RegExpObject, ResourceLimitKeepsTheRest) {
    const std::string runaway(40, 'a');
    const std::string script = "var s = 'x,y," + runaway +
                               "'; var p = /,|(a+)+b/g; print(p.split(s).length, ' ', p.replace(s, '+'));";
    const std::string expected = "3 x+y+" + runaway;
    ExpectOutputs({{script.c_str(), expected.c_str()}});
    ScriptRunner runner;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runner.Output("print(/^(a+)+$/.test('aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!'));"), "false");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(RegExpObject, BytePositionsInBothCodePages) {
    {
        CodePageScope cp(tinctor::CodePage::Utf8);
        ExpectOutputs({{"print(/./g.exec('\xE3\x81\x82\xE3\x81\x84').length, ' ', RegExp.index, ' ',"
                   " /\xE3\x81\x84/.exec('\xE3\x81\x82\xE3\x81\x84'));",
                   "6 3 \xE3\x81\x84"}});
    }
    CodePageScope cp(tinctor::CodePage::ShiftJis);
    // "あい" is four bytes; "ソ" ends in 0x5C, which a template must not read as "\".
    ExpectOutputs({{"print(/./g.exec('\x82\xA0\x82\xA2').length, ' ', RegExp.index, ' ', /\x82\xA2/.exec('\x82\xA0\x82\xA2'));",
               "4 2 \x82\xA2"},
              {"print(/a/.replace('a', '\x83\x5C$&'));", "\x83\x5C" "a"}});
}

// The engine itself: byte classes, case folding, groups, NUL bytes, refused patterns.
TEST(RegExpEngine, ByteRules) {
    struct Search {
        const char* pattern;
        unsigned flags;
        std::string subject;
        TJMatchStatus status;
    };
    const Search searches[] = {
        {"\\s", rfNone, "\x0B", TJMatchStatus::NotFound},
        {"[\\s]", rfNone, "\x0B", TJMatchStatus::NotFound},
        {"\\S", rfNone, "\x0B", TJMatchStatus::Found},
        {"[^\\s]", rfNone, "\x0B", TJMatchStatus::Found},
        {"^\\s{5}$", rfNone, " \t\n\r\f", TJMatchStatus::Found},
        {"\\w", rfNone, "\xE3\x81\x82\xC3\xA9", TJMatchStatus::NotFound},
        {"\\d", rfNone, "\xD9\xA3", TJMatchStatus::NotFound},
        {"\xC3\xA9", rfIgnoreCase, "\xC3\x89", TJMatchStatus::NotFound},
        {"AbC", rfIgnoreCase, "aBc", TJMatchStatus::Found},
        {"(?i)a(?-i)b", rfNone, "AB", TJMatchStatus::NotFound},
        {"a\\x00b", rfNone, std::string("xa\0b", 4), TJMatchStatus::Found},
        {"^b", rfMultiline, "a\rb", TJMatchStatus::Found},
        {"a$", rfMultiline, "a\r\nb", TJMatchStatus::Found},
        {"a$", rfNone, "a\n", TJMatchStatus::NotFound},
        {"a.b", rfNone, "a\nb", TJMatchStatus::Found},
    };
    for (const Search& s : searches) {
        auto pattern = TJPattern::Compile(s.pattern, s.flags);
        ASSERT_TRUE(pattern) << s.pattern;
        TJMatcher matcher(pattern);
        EXPECT_EQ(matcher.Find(s.subject, 0), s.status) << s.pattern;
    }
    for (const char* refused : {"", "(", "(*UTF)a", "(*UCP)a", "a{2,1}"})
        EXPECT_FALSE(TJPattern::Compile(refused, rfNone)) << refused;
    int words = 0;
    auto word = TJPattern::Compile("^\\w$", rfNone);
    TJMatcher matcher(word);
    for (int b = 0; b < 256; ++b) words += matcher.Find(std::string(1, static_cast<char>(b)), 0) == TJMatchStatus::Found;
    EXPECT_EQ(words, 63);
}

TEST(RegExpEngine, GroupsAndNextStart) {
    auto pattern = TJPattern::Compile("a(b)?c|(x)(y)?(z)?", rfNone);
    TJMatcher matcher(pattern);
    ASSERT_EQ(matcher.Find("-acy", 0), TJMatchStatus::Found);
    EXPECT_EQ(matcher.GroupCount(), 0);
    EXPECT_EQ(matcher.GroupStart(0), 1u);
    EXPECT_EQ(matcher.NextStart(), 3u);
    ASSERT_EQ(matcher.Find("-acy", 3), TJMatchStatus::NotFound);
    ASSERT_EQ(matcher.Find("--xz", 0), TJMatchStatus::Found);
    EXPECT_EQ(matcher.GroupCount(), 4);
    EXPECT_EQ(matcher.GroupStart(3), std::string_view::npos);
    // An empty match moves on by one byte.
    auto empty = TJPattern::Compile("x*", rfNone);
    TJMatcher e(empty);
    ASSERT_EQ(e.Find("ab", 1), TJMatchStatus::Found);
    EXPECT_EQ(e.NextStart(), 2u);
    // Thirty groups: no "ovector too small", and k stops at 14.
    std::string many;
    for (int i = 0; i < 30; ++i) many += "(.)";
    TJMatcher m(TJPattern::Compile(many, rfNone));
    ASSERT_EQ(m.Find(std::string(30, 'q'), 0), TJMatchStatus::Found);
    EXPECT_EQ(m.GroupCount(), TJMatcher::kMaxGroup);
}

// Catastrophic backtracking ends at the match limit as a failure, not as a hang; the
// script test above relies on this for the rest of its text.
TEST(RegExpEngine, RunawayPatternsFail) {
    const std::string runaway = std::string(40, 'a') + "!";
    for (const char* pattern : {"^(a+)+$", ",|(a+)+b"}) {
        TJMatcher matcher(TJPattern::Compile(pattern, rfNone));
        EXPECT_EQ(matcher.Find(runaway, 0), TJMatchStatus::Failed) << pattern;
    }
}

TEST(RegExpEngine, CacheReturnsTheSameCompiledPattern) {
    TJPatternCache cache;
    auto a = cache.Get("a+", rfNone);
    EXPECT_EQ(cache.Get("a+", rfNone), a);
    EXPECT_NE(cache.Get("a+", rfIgnoreCase), a);
    EXPECT_FALSE(cache.Get("(", rfNone));
}

}  // namespace
