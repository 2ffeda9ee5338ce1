// The Array methods from scripts: their exact results, the merge sort's order of
// comparisons, compare functions that misbehave, and the errors.
#include <gtest/gtest.h>

#include "script_runner.h"

namespace {

using kestrel::testing::ScriptRunner;

class ArrayMethods : public ::testing::Test {
protected:
    std::string Out(std::string_view script) { return runner_.Output(script); }
    ScriptRunner runner_;
};

struct Case {
    const char* script;
    const char* expected;
};

TEST_F(ArrayMethods, Results) {
    const Case cases[] = {
        {"println([1, 2, 3].add(4), [].add() == undefined);", "3\ntrue\n"},
        {"println([1, 2, 3].push(4), [1].push());", "4\n1\n"},
        {"println([].pop() == undefined, [].shift() == undefined);", "true\ntrue\n"},
        {"var a = [3]; println(a.unshift(1, 2) == a, a);", "true\n1,2,3\n"},
        {"var a = [1, 2, 3]; println(a.delete(1) == a, a); println(a.clear() == a); println(a.length);",
         "true\n1,3\ntrue\n0\n"},
        {"var a = [9]; a.assign(new Array('a', 'b')); println(a);", "a,b\n"},
        {"println([1].concat(2, [3, 4]), [1].concat() == undefined);", "1,2,3,4\ntrue\n"},
        {"println([1, null, 3].join('-'), [1, undefined].join(), '[' + [].join() + ']');", "1--3\n1,\n[]\n"},
        {"var a = [1, 2, 3]; println(a.reverse() == a, a);", "true\n3,2,1\n"},
        {"var a = [1, 2, 3]; println(a.slice(-2), a.slice(-5).length, a.slice(1, 99), a.slice(2, 1).length, a.slice());",
         "2,3\n0\n2,3\n0\n1,2,3\n"},
        {"var a = [1, 2, 3, 4]; println(a.splice(1, 2, 'a', 'b', 'c'), a);", "2,3\n1,a,b,c,4\n"},
        {"var a = [1, 2]; println(a.splice(1) == undefined, a.splice(2, 0, 'x').length, a);", "true\n0\n1,2,x\n"},
        {"var a = [1, 2, 3]; println(a.splice(-2, 1), a);", "2\n1,3\n"},
        {"println([10, 9, 1].sort(), ['b', 'a'].sort(), ['10', '9'].sort());", "1,9,10\nb,a\n9,10\n"},
        {"println([1, 3, 2].sort(function(a, b){ return b - a; }));", "3,2,1\n"},
        // Equal elements keep their order.
        {"var a = [{k: 1, n: 'x'}, {k: 0, n: 'y'}, {k: 1, n: 'z'}]; a.sort(function(a, b){ return a.k - b.k; });"
         "println(a[0].n + a[1].n + a[2].n);",
         "yxz\n"},
        {"println(new Array(3).length, new Array(3.5).length, new Array('3').length, new Array(2 + 1).length);",
         "3\n1\n1\n1\n"},
        {"var a = [1, 2, 3]; a.length = 1; println(a); a.length = 4; println(a); a.Length = -5; println(a.length);",
         "1\n1,,,\n0\n"},
        {"var a = [1, 2]; println(a.toString(), a.valueOf(), a['length']);", "1,2\n1,2\n2\n"},
        // An object taken out of its only array stays alive for the caller.
        {"var a = [{k: 1}, {k: 2}]; var p = a.pop(); var s = a.shift(); println(p.k, s.k, a.length);", "2\n1\n0\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Out(c.script), c.expected) << c.script;
}

TEST_F(ArrayMethods, Errors) {
    const Case cases[] = {
        {"[1, 2, 3].delete(3);", "!Exception: EIndexError(1) => "},
        {"[1, 2, 3].delete(-1);", "!Exception: EIndexError(1) => "},
        {"[1].assign(5);", "!Exception: ETypeError(1) => array assign error"},
        {"[1].assign();", "!Exception: ETypeError(1) => array assign error"},
        {"[1, 2].sort(5);", "!Exception: ETypeError(1) => sort compare function error"},
        {"[1, 2].sort(println);", "!Exception: ETypeError(1) => sort compare function error"},
        {"[1, 2, 3].splice(9, 1);", "!Exception: EIndexError(1) => "},
        {"[1, 2].splice(5, 0, 'x');", "!Exception: EIndexError(1) => "},
        {"var a = []; a.length = 2147483647;", "!Exception: EIndexError(1) => 2147483647 beyond the array limit 16777216"},
        {"new Array(2147483647);", "!Exception: EIndexError(1) => 2147483647 beyond the array limit 16777216"},
        {"var a = []; a[2000000000] = 1;", "!Exception: EIndexError(1) => 2000000000"},
    };
    for (const Case& c : cases) EXPECT_EQ(Out(c.script), c.expected) << c.script;
    // A failing splice removes nothing when the top index is outside, and what lay
    // above a start that is outside.
    EXPECT_EQ(Out("var a = [1, 2, 3]; try { a.splice(1, 5); } catch (e) { println(e, a); }"), "EIndexError\n1,2,3\n");
    EXPECT_EQ(Out("var a = [1, 2, 3]; try { a.splice(-5, 3); } catch (e) { println(e, a); }"), "EIndexError\n2,3\n");
}

TEST_F(ArrayMethods, SortComparesInTheMergeSortsOrder) {
    // The split point is hi div 2 + lo div 2, so six elements split 0-2, 3-3, 4-5
    // below the top, and the right element is taken only when compare says > 0.
    EXPECT_EQ(Out("var calls = ''; var a = [6, 5, 4, 3, 2, 1];"
                  "a.sort(function(x, y){ calls += x + '' + y + ' '; return x - y; }); println(calls, a);"),
              "65 54 21 31 32 41 42 43 \n1,2,3,4,5,6\n");
    EXPECT_EQ(Out("var calls = ''; [3, 1, 2, 5, 4].sort(function(x, y){ calls += x + '' + y + ' '; return x - y; });"
                  "println(calls);"),
              "31 12 32 54 14 24 34 \n");
    // The compare function is called with the array as this.
    EXPECT_EQ(Out("var a = [2, 1]; var same; a.sort(function(x, y){ same = this == a; return x - y; }); println(same);"),
              "true\n");
}

TEST_F(ArrayMethods, MendedFaults) {
    // assign of the array itself keeps it.
    EXPECT_EQ(Out("var a = [1, 2, 3]; a.assign(a); println(a);"), "1,2,3\n");
    // The default order does not wrap around in 32 bits.
    EXPECT_EQ(Out("println([2147483647, -2, -2147483648, 0].sort());"), "-2147483648,-2,0,2147483647\n");
}

TEST_F(ArrayMethods, CompareFunctionsThatMisbehaveLoseNothing) {
    // An error ends the sort, reaches the caller and leaves the old order.
    EXPECT_EQ(Out("var a = [3, 1, 2]; var n = 0;"
                  "try { a.sort(function(x, y){ if (++n == 2) throw 'stop'; return x - y; }); } catch (e) { println(e); }"
                  "println(a);"),
              "stop\n3,1,2\n");
    // Sorting the same array again inside the compare function: the inner sort's
    // result stands and no element is lost or doubled.
    EXPECT_EQ(Out("var a = [3, 1, 2, 5, 4]; var inner = false;"
                  "a.sort(function(x, y){ if (!inner) { inner = true; a.sort(function(p, q){ return q - p; }); } return x - y; });"
                  "println(a);"),
              "5,4,3,2,1\n");
    // Changing the array inside the compare function leaves it as the function left it.
    EXPECT_EQ(Out("var a = [3, 1, 2]; a.sort(function(x, y){ if (a.length == 3) { a.pop(); a.push(9, 8); } return x - y; });"
                  "println(a);"),
              "3,1,9,8\n");
    EXPECT_EQ(Out("var a = [{}, {}, {}]; a.sort(function(x, y){ a.clear(); return 0; }); println(a.length);"), "0\n");
    // Endless recursion in the compare function is a script error.
    EXPECT_EQ(Out("function c(x, y){ return c(x, y); } try { [2, 1].sort(c); } catch (e) { println(e); }"),
              "ECallError\n");
}

TEST_F(ArrayMethods, SortKeysAndCompareFunctions) {
    const Case cases[] = {
        // The default order reads every kind of value as an integer (doubles round,
        // other texts are 0) and keeps equal ones in their order.
        {"println(['10', 2.6, true, null, '9', 'x', 2.4, -1].sort());", "-1,,x,true,2.4,2.6,9,10\n"},
        // A closure compares with what it captured.
        {"function by(k){ return function(x, y){ return x[k] - y[k]; }; }"
         "var a = [{n: 3}, {n: 1}, {n: 2}]; a.sort(by('n')); println(a[0].n, a[2].n);",
         "1\n3\n"},
        // Another array sorted inside the compare function.
        {"var b = [2, 1]; var a = [3, 1, 2]; a.sort(function(x, y){ b.sort(function(p, q){ return p - q; }); return x - y; });"
         "println(a, b);",
         "1,2,3\n1,2\n"},
        {"println([3, 1, 2].sort(function(x, y){ return arguments.length * (x - y); }));", "1,2,3\n"},
        // The compared elements outlive the array emptying itself.
        {"var a = [{k: 2}, {k: 1}]; var seen; a.sort(function(x, y){ a.clear(); seen = x.k + ':' + y.k; return 0; });"
         "println(seen, a.length);",
         "2:1\n0\n"},
        // A replace function's error ends the replace.
        {"var n = 0; try { 'aaa'.replace(/a/g, function(){ if (++n == 2) throw 'r'; return 'b'; }); } catch (e) { println(e, n); }",
         "r\n2\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Out(c.script), c.expected) << c.script;
}

TEST_F(ArrayMethods, AQueueKeepsItsOrder) {
    // shift leaves a gap at the front that indexing, unshift and growth respect.
    EXPECT_EQ(Out("var q = []; for (var i = 0; i < 300; i++) q.push(i);"
                  "var sum = 0; for (var i = 0; i < 250; i++) sum += q.shift();"
                  "q.unshift('a', 'b'); q[60] = 'z';"
                  "println(sum, q.length, q[0] + q[1] + q[2], q[51], q.slice(51, 53));"),
              "31125\n61\nab250\n299\n299,\n");
}

}  // namespace
