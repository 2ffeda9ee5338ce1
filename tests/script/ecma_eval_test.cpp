// The evaluator, through scripts: order of evaluation, the dialect's values,
// members, calls, objects, classes, loops, switch, exceptions and their messages.
#include <gtest/gtest.h>

#include "script_runner.h"

using kestrel::testing::ScriptRunner;

namespace {

class Eval : public ::testing::Test {
protected:
    std::string Out(std::string_view script) { return runner.Output(script); }
    ScriptRunner runner;
};

TEST_F(Eval, RightOperandsAndArgumentsAreEvaluatedFirst) {
    EXPECT_EQ(Out("function f(){ print('f'); return 1; } function g(){ print('g'); return 2; }"
                  "var x = f() + g(); println(x);"),
              "gf3\n");
    EXPECT_EQ(Out("function f(){ print('f'); return 'a'; } function g(){ print('g'); return 'b'; }"
                  "function h(a, b){ return a + b; } println(h(f(), g()));"),
              "gfab\n");
    // An argument evaluated first outlives the last variable holding it, which a later
    // argument drops; more arguments than a plain call takes without a list, too.
    EXPECT_EQ(Out("var o = {v: 1}; function f(a, b){ return b.v; } println(f(o = null, o));"), "1\n");
    EXPECT_EQ(Out("function f(a, b, c, d, e, f, g){ return a + g + arguments.length; } println(f(1, 2, 3, 4, 5, 6, 7));"),
              "15\n");
    // Object literal values go from the last member to the first.
    EXPECT_EQ(Out("function p(s){ print(s); return s; } var o = {a: p('1'), b: p('2')}; println(o.a + o.b);"), "2112\n");
}

TEST_F(Eval, DialectValues) {
    EXPECT_EQ(Out("var x; println(x, typeof(x));"), "0\nnumber\n");
    EXPECT_EQ(Out("var y = 1 + 2; println(y, typeof(y), 3 / 2);"), "3\nnumber\n1.5\n");
    EXPECT_EQ(Out("println(-8 >>> 1, -1 >>> 0, 7 % 0, 1 / 0, -1 / 0);"), "2147483644\n-1\nNaN\ninfinity\n-infinity\n");
    EXPECT_EQ(Out("println(void(0), typeof(null), typeof(NaN), null == undefined);"), "null\nnull\nnumber\ntrue\n");
    // Without parentheses typeof takes the whole list that follows.
    EXPECT_EQ(Out("println(typeof 1, 'a');"), "string\n");
    EXPECT_EQ(Out("var i = 2.5; i++; println(i); var j = 'x'; j++; println(j);"), "3\n1\n");
    // The short-circuit forms give booleans, never an operand.
    EXPECT_EQ(Out("println(0 || 'a', 'a' && 0, !'');"), "true\nfalse\ntrue\n");
}

// A slash after a postfix ++ or -- or after an object literal divides; after a
// prefix operator or a block's closing brace it still starts a regular expression.
TEST_F(Eval, SlashAfterAnOperandDivides) {
    const struct {
        const char* script;
        const char* output;
    } cases[] = {
        {"var a = 5; var c = a-- / 2; println(c, a);", "2.5\n4\n"},
        {"var a = [8]; var c = a[0]++ /2/ 2; println(c, a[0]);", "2\n9\n"},
        {"var a = 3; var c = (a)++ / 3; println(c);", "1\n"},
        {"var b = 3; var d = ++b / 2; println(d);", "2\n"},
        {"println({a: 1} / 2, {a: 4}.a / 2);", "0\n2\n"},
        {"var r = /b/; println(r.test('abc'), 'a/b'.split(/\\//).length);", "true\n2\n"},
        {"if (true) {} /b/.test('abc'); function f(){} /x/g; println('re');", "re\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Out(c.script), c.output) << c.script;
}

TEST_F(Eval, ShortCircuitSwitchEvaluatesBoth) {
    EXPECT_EQ(Out("function f(){ print('f'); return true; } function g(){ print('g'); return true; }"
                  "f() || g(); println();"),
              "f");
    EXPECT_EQ(Out("@set @SHORT_CIRCUIT = 0\n"
                  "function f(){ print('f'); return true; } function g(){ print('g'); return true; }"
                  "f() || g();"),
              "gf");
}

TEST_F(Eval, ObjectLiteralsAndMembers) {
    EXPECT_EQ(Out("var o = {a: 1, b, a: 2}; println(o.a, typeof(o.b), o.hasKey('b'));"), "1\nundefined\ntrue\n");
    EXPECT_EQ(Out("var o = {}; println(typeof o.x); o.x;"), "undefined\n!Exception: ENameError(1) => x");
    EXPECT_EQ(Out("var o = {}; o.x = 1; o.x = 2; println(o.x); println(o.removeKey('x')); println(o.removeKey('x'));"),
              "2\ntrue\nfalse\n");
    // Arguments go from the last to the first.
    EXPECT_EQ(Out("var o = {x: 1}; println(o.x, o.removeKey('x'));"), "!Exception: ENameError(1) => x");
    EXPECT_EQ(Out("var o = {x: 1}; var d = delete o.x; println(d, o.hasKey('x'));"), "true\nfalse\n");
    EXPECT_EQ(Out("var x = 5; delete x; println(x);"), "5\n");
    EXPECT_EQ(Out("var o = {n: 1}; o.n++; ++o.n; o.n += 10; println(o.n);"), "13\n");
    EXPECT_EQ(Out("var a = [1, 2]; a[1]++; a[0] += 5; println(a);"), "6,3\n");
    EXPECT_EQ(Out("var o = {Aa: 1, aA: 2}; println(o.Aa, o.aA);"), "1\n2\n");
    EXPECT_EQ(Out("var o = {'a b': 1, 3: 'three'}; println(o['a b'], o[3], o['3']);"), "1\nthree\nthree\n");
}

TEST_F(Eval, MemberErrors) {
    EXPECT_EQ(Out("var n = NaN; n.x;"), "!Exception: ENameError(1) => member error x");
    EXPECT_EQ(Out("var u = null; u.x = 1;"), "!Exception: ENameError(1) => member assign error x");
    EXPECT_EQ(Out("function f(){} f.x;"), "!Exception: ENameError(1) => member error x");
    EXPECT_EQ(Out("var a = 1; a();"), "!Exception: ECallError(1) => call function error,need function or object");
    EXPECT_EQ(Out("var o = {}; o['k'];"), "!Exception: EKeyError(1) => k");
    EXPECT_EQ(Out("var a = 1; a + 2 = 3;"), "!Exception: ETypeError(1) => can not assign - ");
    EXPECT_EQ(Out("super.x;"), "!Exception: ESyntaxError(1) => super");
    EXPECT_EQ(Out("new Nothing();"), "!Exception: ENameError(1) => create object error Nothing");
    EXPECT_EQ(Out("undefinedName;"), "!Exception: ENameError(1) => undefined - undefinedName");
    EXPECT_EQ(Out("with (3) {}"), "!Exception: ETypeError(1) => need object - with");
    EXPECT_EQ(Out("for (1 in []) {}"), "!Exception: ETypeError(1) => need variable - for..in");
    EXPECT_EQ(Out("for (var i in 5) {}"), "!Exception: ETypeError(1) => need object,array or collection - for..in");
    EXPECT_EQ(Out("function f(){} f.apply(null, 5);"), "!Exception: ETypeError(1) => f.apply arguments error");
    EXPECT_EQ(Out("class C {} C();"), "!Exception: ECallError(1) => not support function type");
    EXPECT_EQ(Out("break;"), "!Exception: ESyntaxError(1) => break");
}

TEST_F(Eval, CatchGetsTheErrorNameOrTheThrownValue) {
    EXPECT_EQ(Out("var o = {}; try { o.missing; } catch (e) { println(e); }"), "ENameError\n");
    EXPECT_EQ(Out("try { throw 'x'; } catch (e) { println(e + '!'); }"), "x!\n");
    EXPECT_EQ(Out("try { throw; } catch (e) { println(typeof(e), e == ''); }"), "string\ntrue\n");
    EXPECT_EQ(Out("try { throw {k: 4}; } catch (e) { println(e.k); }"), "4\n");
    EXPECT_EQ(Out("try { try { throw 1; } finally { println('f'); } } catch (e) { println('c', e); }"), "f\nc\n1\n");
    EXPECT_EQ(Out("function f(){ try { return 1; } finally { println('fin'); } } println(f());"), "fin\n1\n");
    EXPECT_EQ(Out("function f(){ try { return 1; } finally { return 2; } } println(f());"), "2\n");
    EXPECT_EQ(Out("try { throw 1; } catch (e) { throw 2; } finally { println('f'); }"),
              "f\n!Exception: EThrow(1) => ");
    EXPECT_EQ(Out("try { exit(4); } catch (e) { println('no'); } finally { println('f'); }"), "f\n");
}

TEST_F(Eval, DoublingAStringEndsInACatchableError) {
    EXPECT_EQ(Out("var s = 'x'; try { while (true) s = s + s; } catch (e) { println(e); }"),
              "EStringError\n");
}

// `s += x` and `s = s + a + b` append to a variable's text in place; what scripts
// see is what the operators give: the order of evaluation, the texts of the other
// kinds, the errors, and other holders of the same text unchanged.
TEST_F(Eval, AppendingToAVariable) {
    const struct {
        const char* script;
        const char* output;
    } cases[] = {
        {"var s = 'a'; s += 1; s += 2.5; s += true; s += null; println(s);", "a12.5truenull\n"},
        {"var s = 'a'; var t = s; s = s + 'b' + 1 + 'c'; println(s, t);", "ab1c\na\n"},
        {"var s = ''; for (var i = 0; i < 3; s += i++) ; println(s);", "012\n"},
        {"var s = 'x'; s += s; s = s + s; println(s);", "xxxx\n"},
        {"var s = 'a'; function f(){ s = 'z'; return 'b'; } s = s + f(); println(s);", "zb\n"},
        {"var s = 'a'; function f(){ s += 'b'; } f(); f(); println(s);", "abb\n"},
        {"function f(){ var s = 'a'; for (var i = 0; i < 3; i++) s = s + i; return s; } println(f());", "a012\n"},
        {"var s = 'a'; s += new Object(); println(s);", "a[object Object]\n"},
        {"var n = 1; n += 2; n = n + 'x'; println(n);", "3x\n"},
        {"var s = 'a'; s = s + 1 + 2; println(s); var n = 1; n = n + 1 + 'x'; println(n);", "a12\n2x\n"},
        {"var s = 5; s -= s + 1; println(s);", "-1\n"},
        {"var s = 'a'; var r = (s += 'b'); r += 'c'; println(s, r);", "ab\nabc\n"},
        {"var s = 'a'; try { s += undefined; } catch (e) { println(e); } println(s);", "ENameError\na\n"},
        {"try { q += 'a'; } catch (e) { println(e); }", "ENameError\n"},
        {"var s = 'a'; try { s = s + 'b' + NaN; } catch (e) { println(e); } println(s);", "ETypeError\na\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Out(c.script), c.output) << c.script;
}

TEST_F(Eval, LoopsAndTheirIncrements) {
    EXPECT_EQ(Out("var k = 0; do { k++; continue; } while (false); println(k);"), "1\n");
    EXPECT_EQ(Out("var i; function f(){ for (i = 0; i < 5; i++) { if (i == 2) return i; } } println(f()); println(i);"),
              "2\n3\n");
    EXPECT_EQ(Out("var i; for (i = 0; i < 5; i++) { if (i == 2) break; } println(i);"), "2\n");
    EXPECT_EQ(Out("var i; try { for (i = 0; i < 5; i++) throw 'x'; } catch (e) {} println(i);"), "1\n");
    // An error from the increment replaces the pending one.
    EXPECT_EQ(Out("try { for (var i = 0; i < 5; nothing()) throw 'x'; } catch (e) { println(e); }"), "ENameError\n");
    EXPECT_EQ(Out("var s = ''; var i = 0; while (i < 5) { i++; if (i == 2) continue; if (i == 4) break; s += i; }"
                  "println(s);"),
              "13\n");
    EXPECT_EQ(Out("var s = 0; for (var i = 0, j = 10; i < j; i++, j--) s++; println(s);"), "5\n");
}

TEST_F(Eval, ForIn) {
    EXPECT_EQ(Out("var a = ['x', 'y']; for (var i in a) print(i, typeof(i));"), "0number1number");
    EXPECT_EQ(Out("@set @VERSION7 = 1\nvar a = ['x', 'y']; for (var v in a) print(v);"), "xy");
    EXPECT_EQ(Out("var o = {b: 1, a: 2, f: print}; var s = ''; for (var k in o) s += k; println(s == 'ab' || s == 'ba');"),
              "true\n");
    // The count is taken once: a shorter array ends the walk early, a longer one is
    // not walked further; the collection is held while the loop runs.
    EXPECT_EQ(Out("var a = [1, 2, 3]; for (var i in a) { print(i); a.length = 2; }"), "01");
    EXPECT_EQ(Out("var a = [1, 2, 3]; for (var i in a) { print(i); a = null; }"), "012");
    EXPECT_EQ(Out("var a = [1, 2, 3]; var s = ''; for (var k in a) { if (k == 0) a[3] = 4; s += k; } println(s);"),
              "012\n");
    EXPECT_EQ(Out("@set @VERSION7 = 1\nvar a = [1, 2, 3]; for (var v in a) { a.length = 0; print(v); }"), "1");
}

// A postfix operator gives the old value after storing the new one: an object held
// only by the operand outlives the store for the rest of the statement.
TEST_F(Eval, PostfixKeepsTheOldObject) {
    const struct {
        const char* script;
        const char* output;
    } cases[] = {
        {"var o = new Object(); println(o--); println(o);", "[object Object]\n-1\n"},
        {"var h = {}; h.o = new Object(); println(h.o++); println(h.o);", "[object Object]\n1\n"},
        {"var a = [new Object()]; println(a[0]--); println(a[0]);", "[object Object]\n-1\n"},
        {"var o = new Object(); println(eval('o--'));", "[object Object]\n"},
        {"var arr = [1, 2, 3]; var q = arr--; println(q.length); println(arr);", "3\n-1\n"},
        {"function f(){ var o = [5]; return o++; } println(f()[0]);", "5\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Out(c.script), c.output) << c.script;
}

TEST_F(Eval, Switch) {
    EXPECT_EQ(Out("switch (3) { case 1: print(1); case 3: print(3); case 4: print(4); break; default: print('d'); }"),
              "34");
    EXPECT_EQ(Out("switch (9) { case 1: print(1); default: print('d'); case 4: print(4); }"), "d4");
    EXPECT_EQ(Out("switch ('1') { case 1: print('num'); break; case '1': print('str'); }"), "num");
    EXPECT_EQ(Out("for (var i = 0; i < 3; i++) { switch (i) { case 1: continue; } print(i); }"), "02");
    EXPECT_EQ(Out("function f(){ switch (1) { case 1: continue; } } f();"),
              "!Exception: ESyntaxError(1) => continue");
    EXPECT_EQ(Out("switch (1) { case 1: continue; }"), "!Exception: ESyntaxError(1) => continue");
    // The discriminant lives through every clause, though the clauses clear temporaries.
    EXPECT_EQ(Out("switch ({}) { case 1: print(1); case 'x': print('x'); default: print('d'); }"), "d");
}

TEST_F(Eval, ScopesAndFunctions) {
    EXPECT_EQ(Out("function f(){ x = 5; } f(); println(x);"), "5\n");
    EXPECT_EQ(Out("function f(){ var y = 1; } f(); println(typeof y);"), "undefined\n");
    EXPECT_EQ(Out("function f(){ static n = 0; n = n + 1; return n; } f(); f(); println(f());"), "3\n");
    EXPECT_EQ(Out("g(); function g(){}"), "!Exception: ENameError(1) => undefined - g");
    EXPECT_EQ(Out("function f(a, b){ return arguments.length + ':' + b + ':' + arguments[2]; } println(f(1, 2, 3));"),
              "3:2:3\n");
    EXPECT_EQ(Out("function f(a, b){ return typeof b; } println(f(1));"), "undefined\n");
    EXPECT_EQ(Out("function f(){ return arguments.callee == f; } println(f());"), "true\n");
    EXPECT_EQ(Out("function outer(){ var v = 'outer'; function inner(){ return v; } return inner(); } println(outer());"),
              "outer\n");
    EXPECT_EQ(Out("function mk(n){ return function(x){ return x + n; }; } var add = mk(5); println(add(1), add(2));"),
              "6\n7\n");
    EXPECT_EQ(Out("var f = function named(){ return 1; }; println(named(), f());"), "1\n1\n");
    EXPECT_EQ(Out("function f(){ return this == Global; } println(f());"), "true\n");
    EXPECT_EQ(Out("println(print);"), "function print\n");
}

// A returned function keeps the values its return saw; each of its calls starts
// from them again, and names it did not capture are looked up where it runs.
TEST_F(Eval, ClosuresKeepWhatTheirReturnCaptured) {
    const struct {
        const char* script;
        const char* output;
    } cases[] = {
        // Not captured: a variable of a call still running is read as it is now.
        {"function o(){ var x = 1; function mk(){ return function(){ return x; }; } var k = mk(); x = 2; return k(); }"
         "println(o());",
         "2\n"},
        // The values are taken when the function is returned, not when it is made.
        {"function mk(n){ var k = function(){ return n; }; n = 7; return k; } println(mk(1)());", "7\n"},
        {"function mk(n){ function inner(){ return n; } if (n > 1) return inner; return inner(); }"
         "println(mk(1), mk(2)());",
         "1\n2\n"},
        // A variable not yet declared when the return ran was not captured.
        {"var late = 'g'; function mk(){ if (false) { var late = 1; } return function(){ return late; }; }"
         "println(mk()());",
         "g\n"},
        // Captured variables come before the members of the call's `this`.
        {"function mk(n){ return function(){ return n; }; } var o = {n: 5, f: mk(1)}; println(o.f());", "1\n"},
        // A write inside a call changes that call's copy only.
        {"function mk(){ var c = 0; return function(){ c = c + 1; return c; }; } var k = mk(); k(); println(k());",
         "1\n"},
        {"function mk(s){ return function(t){ s = s + t; return s; }; } var k = mk('a'); println(k('b'), k('c'));",
         "ab\nac\n"},
        // The loop's increment after the return does not reach the captured value.
        {"function f(){ for (var i = 0; i < 5; i++) { return function(){ return i; }; } } println(f()());", "0\n"},
        {"function mk(i){ return function(){ return i; }; } var fs = [];"
         "for (var i = 0; i < 3; i++) fs.push(mk(i * 10)); println(fs[0](), fs[2]());",
         "0\n20\n"},
        // Two levels: a closure made by a closure's call takes what that call saw.
        {"function a(x){ return function(y){ return function(z){ return x + ':' + y + ':' + z; }; }; }"
         "var b = a(1); println(b(2)(3), b(4)(5));",
         "1:2:3\n1:4:5\n"},
        // eval and with see the captured names; a with object's member comes first.
        {"function mk(n){ return function(){ return eval('n * 2'); }; } println(mk(4)());", "8\n"},
        {"function mk(n){ return function(o){ with (o) { return n + m; } }; } var k = mk(1);"
         "println(k({m: 2}), k({n: 5, m: 2}));",
         "3\n7\n"},
        // Parameters and (once declared) variables of the closure hide captured names.
        {"function mk(x){ return function(x){ return x; }; } println(mk(1)(2));", "2\n"},
        {"function mk(v){ return function(){ var b = v; var v = 9; return b + ':' + v; }; } var k = mk(1);"
         "println(k(), k());",
         "1:9\n1:9\n"},
        // A captured name comes before the program's variable of that name.
        {"var n = 100; function show(){ return n; } function mk(n){ return show; } println(mk(1)(), show());",
         "1\n100\n"},
        // The closure's variable is cleared while it runs.
        {"var k; function mk(n){ return function(){ k = null; return n; }; } k = mk(3); println(k());", "3\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Out(c.script), c.output) << c.script;
}

TEST_F(Eval, CallAndApply) {
    EXPECT_EQ(Out("function f(a){ return this.q + ':' + a + ':' + arguments.length; } var o = {q: 'o'};"
                  "println(f.call(o, 1)); var g = {q: 'g', f: f}; println(g.f(2));"),
              "o:1:1\ng:2:1\n");
    EXPECT_EQ(Out("function f(a, b){ return a + b; } println(f.apply(null, [1, 2])); f.apply(null);"),
              "3\n!Exception: ENameError(1) => ");
    // The applied array becomes `arguments` itself.
    EXPECT_EQ(Out("function f(){ return arguments.length; } var a = [1, 2, 3]; println(f.apply(null, a)); println(a.hasKey('callee'));"),
              "3\ntrue\n");
    EXPECT_EQ(Out("function f(n){ return arguments.length + ':' + arguments[0]; } println(f(4));"), "1:4\n");
}

TEST_F(Eval, NewAndPrototypes) {
    EXPECT_EQ(Out("function F(x){ this.x = x; } F.prototype.get = function(){ return this.x; };"
                  "var f = new F(5); println(f.get(), f.constructor == F, f.toString());"),
              "5\ntrue\n[object F]\n");
    EXPECT_EQ(Out("function F(){} F.prototype.x = 1; var a = new F(); var b = new F(); b.x = 2;"
                  "println(a.x, b.x, F.prototype.x);"),
              "1\n2\n1\n");
    // An anonymous function and `new` on it agree on the prototype.
    EXPECT_EQ(Out("var Foo = function(){}; Foo.prototype.m = function(){ return 'm'; }; println(new Foo().m());"),
              "m\n");
    EXPECT_EQ(Out("function F(){} F.prototype = new F();"), "!Exception: ENameError(1) => prototype assign error F");
    EXPECT_EQ(Out("var a = new Array(3); var b = new Array(2 + 1); var c = [5]; println(a.length, b.length, c.length, c[0]);"),
              "3\n1\n1\n5\n");
}

TEST_F(Eval, Classes) {
    EXPECT_EQ(Out("class A { var v = 3; w; function A(n){ this.v = n; } function get(){ return v; } }"
                  "var a = new A(7); println(a.get(), a.w, a.toString());"),
              "7\nnull\n[object A]\n");
    EXPECT_EQ(Out("class B { function hello(){ return 'b'; } } class C extends B { function C(){} }"
                  "var c = new C(); println(c.hello(), c.toString());"),
              "b\n[object C]\n");
    EXPECT_EQ(Out("class D(Array) { function D(){ this.add2 = 1; } } var d = new D(); d[2] = 'z'; println(d.length);"),
              "3\n");
    EXPECT_EQ(Out("class Loop extends Loop {} try { new Loop(); } catch (e) { println(e); }"), "ECallError\n");
    EXPECT_EQ(Out("class P extends Q {} class Q extends P {} new P();"),
              "!Exception: ECallError(1) => too much recursion");
}

TEST_F(Eval, With) {
    EXPECT_EQ(Out("var o = {a: 1}; with (o) { a = 2; println(a); } println(o.a);"), "2\n2\n");
    // The table is restored after an error inside.
    EXPECT_EQ(Out("var o = {a: 1}; try { with (o) { throw 1; } } catch (e) {} println(typeof a);"), "undefined\n");
}

TEST_F(Eval, Eval) {
    EXPECT_EQ(Out("println(eval('1 + 2'));"), "3\n");
    EXPECT_EQ(Out("function f(){ var local = 4; return eval('local * 2'); } println(f());"), "8\n");
    EXPECT_EQ(Out("eval('var y');"), "!SyntaxError: Line(1) => Text( var )");
}

// Every kind of target is resolved once per store: a compound assignment or an
// increment reads the target first and resolves it again to store.
TEST_F(Eval, AssignmentTargets) {
    const struct {
        const char* script;
        const char* output;
    } cases[] = {
        {"var n = 0; var a = [10, 20]; function i(){ n++; return 0; } a[i()] += 1; println(a, n);", "11,20\n2\n"},
        {"var m = 0; var o = {v: 1}; function g(){ m++; return o; } g().v++; println(o.v, m);", "2\n2\n"},
        // A function as target is called with the value after its arguments.
        {"var p = {f: function(a, b){ this.got = a + ':' + b; }}; p.f(1) = 5; println(p.got);", "1:5\n"},
        {"var log = ''; function f(a, b){ log = a + ':' + b; } f(1) = 2; println(log);", "1:2\n"},
        {"var q = {m: [0, 0]}; q.m[1] = 7; q.m[0] += 3; println(q.m);", "3,7\n"},
        {"var r = {k: 1}; r.k = r.k++ + 10; println(r.k);", "11\n"},
        {"var a = 1; a + 2 += 3;", "!Exception: ETypeError(1) => can not assign - "},
    };
    for (const auto& c : cases) EXPECT_EQ(Out(c.script), c.output) << c.script;
}

// Variables a function or program is known to declare sit in a record by index; the
// name still means what the scope chain says wherever the record cannot answer.
TEST_F(Eval, RecordedVariablesKeepTheScopeRules) {
    const struct {
        const char* script;
        const char* output;
    } cases[] = {
        // A var means the outer name until its declaration has run.
        {"var x = 'g'; function f(){ var a = x; var x = 'l'; return a + x; } println(f());", "gl\n"},
        {"function f(){ var t = typeof q; var q = 1; return t + q; } println(f());", "undefined1\n"},
        {"function f(){ z = 3; } f(); var w = z; var z = 5; println(w, z);", "3\n5\n"},
        // Inside `with` the object's member comes before the call's variable.
        {"function f(){ var x = 'l'; var o = {x: 'o'}; with (o) { println(x); x = 'w'; } println(x, o.x); } f();",
         "o\nl\nw\n"},
        {"var x = 'g'; var o = {x: 'o'}; with (o) { x = 'w'; } println(x, o.x);", "g\nw\n"},
        // A member of `this` is a variable, unless the call declares the name.
        {"var o = {v: 'm', f: function(){ return v; }, g: function(v){ return v; }}; println(o.f(), o.g('p'));",
         "m\np\n"},
        // eval and nested functions reach the running call's variables by name.
        {"function f(){ var n = 1; eval('n = n + 41'); return n; } println(f());", "42\n"},
        {"function f(){ eval('nv = 7'); } f(); println(nv);", "7\n"},
        {"function o(){ var c = 0; function inc(){ c = c + 1; } inc(); inc(); return c; } println(o());", "2\n"},
        {"function o(d){ function inner(){ return d; } if (d > 0) return o(d - 1) + inner(); return inner(); }"
         "println(o(2));",
         "3\n"},
        // Each call has its own record; a repeated parameter takes the last value.
        {"function f(n){ var m = n * 2; if (n > 0) f(n - 1); return m; } println(f(3));", "6\n"},
        {"function f(a, a){ return a; } println(f(1, 2));", "2\n"},
        {"function f(){ try { throw 'x'; } catch (e) { return e; } } println(f());", "x\n"},
        {"function f(){ var s = ''; for (var k in [7, 8]) s = s + k; return s; } println(f());", "01\n"},
        // An object held only by a call's variable lives as long as the call.
        {"function f(){ var o = new Object(); o.v = 5; g(); return o.v; } function g(){} println(f());", "5\n"},
        // A returned function takes the call's variables with it.
        {"function mk(){ var a = 1; return function(){ return a; }; } var k = mk(); println(k());", "1\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Out(c.script), c.output) << c.script;
}

// A top-level function reads and writes its program's variables straight from the
// namespace's record, yet every change of what the name means shows at once.
TEST_F(Eval, ProgramNamesInFunctionsFollowEveryChange) {
    const struct {
        const char* script;
        const char* output;
    } cases[] = {
        // Replaced between calls, by an assignment or by eval.
        {"function g(){ return 1; } function f(){ return g(); } var a = f(); g = function(){ return 2; };"
         "println(a, f());",
         "1\n2\n"},
        {"function g(){ return 1; } function f(){ return g(); } f(); eval('g = function(){ return 3; }'); println(f());",
         "3\n"},
        // A recursion through its own name reaches the replacement.
        {"function r(n){ return n == 0 ? 'r' : r(n - 1); } var old = r; r = function(n){ return 'new' + n; };"
         "println(old(3));",
         "new2\n"},
        // Shadowed by `with` at namespace level while it runs, and by `with` in the call.
        {"function g(){ return 'g'; } function f(){ return g(); } var o = {g: function(){ return 'o'; }};"
         "println(f()); with (o) { println(f()); } println(f());",
         "g\no\ng\n"},
        {"function g(){ return 'g'; } function f(o){ with (o) { return g(); } }"
         "println(f({g: function(){ return 'w'; }}), f({}));",
         "w\ng\n"},
        // A member of the call's `this`: the Global object's own, added and deleted, or
        // another object's.
        {"function g(){ return 'g'; } function f(){ return g(); } println(f()); Global.g = function(){ return 'G'; };"
         "println(f(), g()); delete Global.g; println(f());",
         "g\nG\ng\ng\n"},
        {"var n = 0; function set(){ n = 5; } Global.n = 1; set(); println(n, Global.n);", "0\n5\n"},
        {"function g(){ return 'g'; } var o = {g: function(){ return 'm'; }, f: function(){ return g(); }};"
         "function f2(){ return g(); } println(o.f(), f2.call(o), f2());",
         "m\nm\ng\n"},
        // A static of the function, and variables a returned function took with it.
        {"function g(){ return 'g'; } function f(){ static g = 's'; return g; } println(f(), g());", "s\ng\n"},
        {"var g = 'g'; function k(){ return g; } function mk(){ var g = 'cap'; return k; } println(mk()(), k());",
         "cap\ng\n"},
        // Declared only when its var runs, or created at run time.
        {"function f(){ return v; } try { f(); } catch (e) { println(e); } var v = 2; println(f());",
         "ENameError\n2\n"},
        {"function f(){ return h; } try { f(); } catch (e) { println(e); } h = 7; println(f());", "ENameError\n7\n"},
        {"var n = 0; function inc(){ n = n + 1; } inc(); inc(); println(n);", "2\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Out(c.script), c.output) << c.script;
}

TEST_F(Eval, ArraysGrowAndRefuseNegativeIndexes) {
    EXPECT_EQ(Out("var a = [1, 2]; var x = a[5]; println(typeof(x), a.length);"), "undefined\n6\n");
    EXPECT_EQ(Out("var a = [1, 2]; a[-1];"), "!Exception: EIndexError(1) => -1");
    EXPECT_EQ(Out("var a = [1, 2]; a['-2'] = 1;"), "!Exception: EIndexError(1) => -2");
    EXPECT_EQ(Out("var a = [1, 2, 3]; a.length = 1; println(a); a.length = 3; println(a, a['0x1'] == null);"),
              "1\n1,,\ntrue\n");
    EXPECT_EQ(Out("var a = [1, null, 3]; println(a); a.x = 4; println(a.x, a.length);"), "1,,3\n4\n3\n");
    // An array that holds itself prints it as empty text.
    EXPECT_EQ(Out("var a = [1, 2]; a[2] = a; println(a);"), "1,2,\n");
}

TEST_F(Eval, RecursionEndsInACatchableError) {
    EXPECT_EQ(Out("function f(n){ return f(n + 1); } try { f(0); } catch (e) { println(e); }"), "ECallError\n");
    EXPECT_EQ(Out("var depth = 0; function f(){ depth++; f(); } try { f(); } catch (e) {} println(depth > 500);"),
              "true\n");
    EXPECT_EQ(Out("function f(n){ if (n == 0) return 0; return 1 + f(n - 1); } f(1000000);"),
              "!Exception: ECallError(1) => too much recursion");
    EXPECT_EQ(Out("var s = 'eval(s)'; eval(s);"), "!Exception: ECallError(1) => too much recursion");
    EXPECT_EQ(Out("var a = []; for (var i = 0; i < 300000; i++) a = [a]; print(a);"),
              "!Exception: ECallError(1) => too much recursion");
}

}  // namespace
