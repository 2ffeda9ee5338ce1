// The String object from scripts: positions in characters and bytes in both code
// pages, the pattern methods through RegExp, indexed access, case mapping that never
// touches a trail byte, crypt against known hashes, and the bad-input rules.
#include <gtest/gtest.h>

#include <string>

#include "script_runner.h"
#include "util/CodePage.h"

using namespace kestrel;
using kestrel::testing::CodePageScope;
using kestrel::testing::ExpectOutputs;
using kestrel::testing::ExpectOutputsInBothCodePages;
using kestrel::testing::ScriptRunner;

namespace {

TEST(StringObject, PositionsAndSearches) {
    ExpectOutputsInBothCodePages({
        {"print('abc'.charAt(3), '|', 'abc'.charAt(-1), '|', 'abc'.charCodeAt(5), ' ', ''.charCodeAt(0));", "||NaN NaN"},
        {"var s = 'abcdef'; print(s.slice(2), ' ', s.slice(-2), ' ', s.slice(2, -1), ' ', s.slice(-10));",
         "cdef ef cde abcdef"},
        {"var s = 'abcdef'; print(s.substr(1, 2), ' ', s.substr(2), ' ', s.substring(4, 1), ' ', s.substring(3), ' ',"
         " s.substring(-2, 2), ' ', s.substr(-2, 3));",
         "bc cdef bcd def ab a"},
        {"var s = 'abcabc'; print(s.indexOf('b', 2), s.indexOf('b', -5), s.indexOf('x'), s.indexOf(''), s.indexOf('a', 9));",
         "41-1-1-1"},
        {"var s = 'abcabc'; print(s.lastIndexOf('bc'), s.lastIndexOf('bc', 2), s.lastIndexOf('bc', -1), s.lastIndexOf(''));",
         "414-1"},
        // 64-bit position arithmetic: no overflow at the ends of the integer range.
        {"var s = 'abcdef'; print(s.substr(5, 2147483647), s.slice(-2147483648), s.lastIndexOf('f', 2147483647),"
         " s.substring(2147483647, -2147483648).length, s.charAt(2147483647));",
         "fabcdef56"},
        {"print('a'.concat(), ' ', 'a'.concat(1, null), ' ', ''.fromCharCode(65, 322), ' ', ''.fromCharCode());",
         "undefined a1null AB undefined"},
        {"print('abc'.localeCompare('abd'), 'b'.localeCompare('a'), 'a'.localeCompare('a'), 'a'.localeCompare());",
         "-110undefined"},
    });
}

TEST(StringObject, PatternMethods) {
    ExpectOutputsInBothCodePages({
        {"print('a.b'.replace('.', '-'), ' ', 'aaa'.replace('a', 'g'), ' ', 'aaa'.replace('A', 'i', 'x'));", "-.b ggg xaa"},
        {"print('a-b-c'.replace(/-/g, '+'), ' ', 'ab cd'.replace(/(\\w+) (\\w+)/, '$2 $1'));", "a+b+c cd ab"},
        {"var a = 'a,b,c'.split(','); var b = 'a,b,c'.split(',', 2); print(a.length, a, ' ', b.length, b);", "3a,b,c 2a,b"},
        {"print('a,b,'.split(',').length, 'abc'.split('').length, 'a1b1c'.split('1', 'g', 2).length);", "302"},
        {"var m = 'aXbX'.match(/X/g); var n = 'ab'.match(/(a)(b)/); print(m, ' ', n, ' ', 'ab'.match('z'));",
         "X,X ab null"},
        {"var m = 'ab12'.match(/(\\d)(\\d)/); print(m, RegExp.$1, RegExp.lastMatch);", "1211" "2"},
        {"print('abcb'.search('b'), 'abcb'.search(/b/g), 'abc'.search('z'), 'abc'.search('('));", "13-1-1"},
        {"print('['+'abc'.replace('(', 'x')+']', 'abc'.match('('), 'abc'.split('(').length);", "[]null0"},
        {"var r = new RegExp('b', 'g'); 'abcb'.match(r); print(r.index, ' ', r.lastIndex);", "3 4"},
    });
}

TEST(StringObject, IndexedAccessAndWrappers) {
    ExpectOutputsInBothCodePages({
        {"var s = new String('hello'); print(s[-1], s[1, 3], s[0], s.length, s.Length);", "oel" "h55"},
        {"var s = new String('hello'); try { s['length']; } catch (e) { print(e); }", "EIndexError"},
        {"var s = new String('hello'); try { s[5]; } catch (e) { print(e); }", "EIndexError"},
        {"var s = new String('hello'); s[0] = 'J'; s[1, 3] = '--'; print(s, ' ', s.text, ' ', s.str);",
         "J--lo J--lo J--lo"},
        // Outside the text the positions are pulled in (and swapped): nothing is written outside.
        {"var s = new String('abc'); s[5, 1] = 'X'; print(s); s.text = 'xyz'; s[-9, 9] = ''; print('[', s, ']');",
         "aX[]"},
        {"var k = ''; for (var i in new String('abc')) k += i; print(k, ' ', new String('x1').valueOf());", "012 x1"},
        {"print(\"  a b \\t\".trim(), '|', ' a '.trimLeft(), '|', ' a '.trimRight(), '|');", "a b|a | a|"},
        {"print('x'.bold(), 'x'.anchor('n'), 'x'.link('u'), 'x'.fontsize(3), 'x'.sup(), 'x'.fontcolor());",
         "<B>x</B><A NAME=\"n\">x</A><A HREF=\"u\">x</A><FONT SIZE=\"3\">x</FONT><SUP>x</SUP>undefined"},
        {"print('Hello'.toUpperCase(), 'Hello'.toLowerCase(), 'abc'.sizeOf(), 'abc'.reverse());", "HELLOhello3cba"},
    });
}

// Known hashes of the traditional algorithm; only the first 8 bytes of the key count.
TEST(StringObject, Crypt) {
    ExpectOutputsInBothCodePages({
        {"print('test'.crypt('ab'), ' ', 'password'.crypt('..'), ' ', 'passwordIGNORED'.crypt('zZ'));",
         "abgOeLfPimXQo ..UZoIyj/Hy/c zZDDIZ0NOlPzw"},
        // A missing salt character is "." (value 0).
        {"print('x'.crypt() == 'x'.crypt('..'), 'x'.crypt('a') == 'x'.crypt('a.'));", "truetrue"},
    });
}

TEST(StringObject, CharactersInBothCodePages) {
    {
        CodePageScope cp(tinctor::CodePage::Utf8);
        ExpectOutputs({
            {"var s = '\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86'; print(s.length, s.sizeOf(), s.charAt(1), s.charCodeAt(1),"
             " s.reverse(), s.indexOf('\xE3\x81\x86'), s.search('\xE3\x81\x86'), s.lastIndexOf('\xE3\x81\x84'));",
             "39\xE3\x81\x84" "227\xE3\x81\x86\xE3\x81\x84\xE3\x81\x82" "261"},
            {"print('\xE3\x82\xA2'.toLowerCase().charCodeAt(0), 'a\xC3\xA9'.toUpperCase(), ' ', 'A'.toZenkaku());",
             "227A\xC3\xA9 \xEF\xBC\xA1"},
        });
    }
    CodePageScope cp(tinctor::CodePage::ShiftJis);
    ExpectOutputs({
        {"var s = '\x82\xA0\x82\xA2\x82\xA4'; print(s.length, s.sizeOf(), s.charAt(1), s.charCodeAt(1), s.reverse(),"
         " s.indexOf('\x82\xA4'), s.search('\x82\xA4'));",
         "36\x82\xA2" "130\x82\xA4\x82\xA2\x82\xA0" "24"},
        // Trail bytes that look like ASCII: "\" in "ソ", "A" in "ア", "a" in "ヂ".
        {"print('\x83\x5C'.indexOf('\\'), '\x83\x41'.toLowerCase() == '\x83\x41', '\x83\x61'.toUpperCase() == '\x83\x61',"
         " 'x\x83\x41'.lastIndexOf('A'), 'x\x83\x41'.indexOf('A'));",
         "-1truetrue-1-1"},
    });
}

}  // namespace
