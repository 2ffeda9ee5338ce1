// The global functions, Number, Boolean and Math as scripts see them, with a host in
// memory for dialogs and standard input.
#include <gtest/gtest.h>

#include <bit>
#include <csignal>
#include <cstring>

#include "script/lib/ecma_math.h"
#include "script_runner.h"
#include "fake_host.h"

using namespace kestrel;
using kestrel::testing::FakeHost;
using kestrel::testing::ScriptRunner;

namespace {

struct Case {
    const char* script;
    const char* expected;
};

class Library : public ::testing::Test {
protected:
    Library() {
        runner.engine.Host = &host;
        runner.engine.OnStdin = [this](std::string& text, bool& success, int count, bool line) {
            host.Read(text, success, count, line);
        };
    }
    void Check(std::initializer_list<Case> cases) {
        for (const Case& c : cases) EXPECT_EQ(runner.Output(std::string(c.script) + ";"), c.expected) << c.script;
    }
    FakeHost host;
    ScriptRunner runner;
};

}  // namespace

TEST_F(Library, PercentCodingWorksOnTheBytesOfTheCodePage) {
    Check({
        {R"(print(escape("a b~")))", "a+b%7E"},
        {R"(print(encodeURIComponent("a b!'()*-._")))", "a%20b!'()*-._"},
        {R"(print(encodeURI("a b?c=d#e;/:@&+,")))", "a%20b?c=d#e;/:@&+,"},
        {R"(print(escape("あ")))", "%E3%81%82"},  // UTF-8 bytes, one group each
        {R"(print(unescape("a+b"), "|", unescape("a+b%21"), "|", decodeURIComponent("a+b%21")))", "a+b|a b!|a+b!"},
        {R"(print(decodeURI("%2F%2f"), "|", unescape("%%%41")))", "//|%A"},
        {R"(var s = unescape("%zz%41"); print(s == unescape("%00A"), "|", escape(s)))", "true|"},  // a zero byte ends coding
        {R"(print(unescape("%41%"), "|", unescape("%41%4")))", "A%|A%4"},          // never past the end
        {R"(print(escape()))", "undefined"},
    });
}

TEST_F(Library, NumbersParseWholeTextsWithoutRadix) {
    Check({
        {R"(print(parseInt(2.5), parseInt(3.5), parseInt("2.5"), parseInt("abc"), parseInt("12abc")))", "240NaNNaN"},
        {R"(print(parseInt("0x1F"), parseInt("$1F"), parseInt(1e300), parseInt(-1e300)))", "313100"},
        {R"(print(parseFloat("12abc"), parseFloat(true), parseFloat(" 1.5e3 ")))", "NaN11500"},
        {R"(print(isNaN("abc"), isNaN(NaN), isFinite(1), isFinite(NaN), isFinite(), isUndefined(), isNull(null)))",
         "falsetruetruefalsefalsefalsetrue"},
    });
}

TEST_F(Library, EngineFactsAndReadOnlyProperties) {
    Check({
        {R"(print(scriptEngine(), scriptEngineVersion(), scriptEngineMajorVersion(), scriptEngineBuildVersion()))",
         "KeScript0.3.5035"},
        {R"(print(scriptEngineMinorVersion() == 3.5); print(typeof scriptEngineMinorVersion()))", "truenumber"},
        {R"(platform = "nt"; terminated = false; print(platform, terminated, finalizer.length, isConsole()))",
         "unknowntrue0false"},
        {R"(print(applicationHandle == 0x3A00005, mainFormHandle == applicationHandle))", "truetrue"},
        {R"(print(eval("1 + 2"), "|", sleep(1) == Global, sleep(-1) == Global))", "3|truetrue"},
        {R"(print(eval("var y")))", "!SyntaxError: Line(1) => Text( var )"},
        {R"~(function f() { return eval("f()"); } try { f(); } catch (e) { print("caught"); })~", "caught"},
    });
}

TEST_F(Library, PrintSendsOneCallPerArgument) {
    runner.Run(R"(print(1, 2); println(); println("a", "b");)");
    EXPECT_EQ(runner.out, "12a\r\nb\r\n");
    EXPECT_EQ(runner.outputCalls, 4);
}

TEST_F(Library, DialogsReachTheHostAndCancelGivesNull) {
    host.boxAnswers = {1, 2, 1, 6};
    host.inputAnswers = {std::nullopt, "typed", "l1\r\nl2"};
    Check({
        // Arguments are evaluated from the last to the first: one call per statement.
        {R"(print(alert() == Global); print(alert("x") == Global); print(confirm("sure?")); print(confirm("again?")); print(msgBox("m", 4, "Cap")))",
         "truetruefalsetrue6"},
        {R"(print(prompt("p", "d")); print(prompt("p")); print(textArea("t", "x")))", "nulltypedl1\nl2"},
        {R"(print(confirm(), msgBox()))", "undefinedundefined"},
    });
    const std::vector<FakeHost::Box> boxes = {
        {"x", "Tinctor", 0x30}, {"sure?", "Tinctor", 0x21}, {"again?", "Tinctor", 0x21}, {"m", "Cap", 4}};
    EXPECT_EQ(host.boxes, boxes);
    const std::vector<FakeHost::Box> inputs = {{"p", "d", 0}, {"p", "", 0}, {"t", "x", 1}};
    EXPECT_EQ(host.inputs, inputs);
}

TEST_F(Library, WithoutAHostBoxesAnswerAsDismissed) {
    runner.engine.Host = nullptr;
    Check({{R"(print(confirm("q"), prompt("p"), msgBox("m", 4), msgBox("m", 3), msgBox("m", 2), msgBox("m")))",
            "falsenull7211"}});
}

TEST_F(Library, StandardInputThroughTheHost) {
    host.stdinText = "abcdef\r\nsecond";
    Check({{R"(print(read(3), "|", read(0), "|", read(-5)))", "abc||"}});
    host.stdinText = "line one\nrest";
    Check({{R"(print(readln()); print("|", read()))", "line one|rest"}});
    EXPECT_EQ(host.reads.back(), std::make_pair(-1, false));
    host.stdinText.reset();
    Check({{R"(try { read(3); } catch (e) { print(e); })", "EFileError"}});
    runner.engine.OnStdin = nullptr;
    Check({{R"(readln())", "!Exception: EFileError(1) => read error: STDIN"}});
}

TEST_F(Library, DoEventsAsksTheHostAndStopsWhenItCloses) {
    Check({{R"(print(doEvents()))", "true"}});
    host.closing = true;
    Check({{R"(print(doEvents()); eventLoop();)", "false"}});  // and the loop ends at once
    EXPECT_GE(host.processed, 2);
}

TEST_F(Library, NumberObjectsKeepTheKindOfTheirValue) {
    Check({
        {R"(print((255).toString(16), " ", (-1).toString(16), " ", (1.5).toString(16), " ", (1e300).toString(16)))",
         "000000FF FFFFFFFF 00000002 00000000"},
        {R"(print((255).toString(2), " ", (0).toString(2), " ", (-1).toString(2), " ", (10).toString(8)))",
         "11111111 0 11111111111111111111111111111111 10"},
        {R"(var n = new Number("12"); print(typeof n.valueOf()); print(n.valueOf(), n.number + 1, n.int))", "string121312"},
        {R"(print(new Number("x").valueOf(), new Number().valueOf(), new Number(new Number(2.5)).valueOf()))", "002.5"},
        {R"(var n = new Number(1); n.number = 2.5; print(n.valueOf(), "|"); n.int = 7.5; print(n.valueOf()))", "2.5|8"},
        {R"(print(Number.MAX_VALUE, " ", Number.NaN, Number.POSITIVE_INFINITY, Number.NEGATIVE_INFINITY, (65).toChar()))",
         "1.7E308 NaNinfinity-infinityA"},
        {R"(print(new Boolean("false"), new Boolean(0), new Boolean(0).bool, new Boolean(1) + 1, new Boolean()))",
         "truefalsefalse2false"},
    });
}

TEST(NumberObject, MaxAndMinValueHaveTheirExactBits) {
    ScriptRunner runner;
    runner.Run("var n = new Number(0); var a = n.MAX_VALUE; var b = n.MIN_VALUE;");
    TJValue a, b;
    ASSERT_TRUE(runner.engine.FindVariable("a", a));
    ASSERT_TRUE(runner.engine.FindVariable("b", b));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(a.vDouble()), 0x7FEE42D130773B76u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(b.vDouble()), 1u);
}

TEST_F(Library, MathFunctionsAndTheirKinds) {
    Check({
        {R"(print(Math.round(2.5), Math.round(-2.5), Math.round(3.5), Math.floor(-1.5), Math.ceil(1.2)))", "2-24-22"},
        {R"(print(Math.floor(1e10), " ", Math.round(-4294967297.5)))", "1410065408 -2"},
        {R"(print(Math.abs(-3), " ", Math.abs(-3.5), " ", Math.abs("-2.5"), " ", Math.abs(-2147483648)))", "3 3.5 0 2147483648"},
        {R"(print(Math.max(1, 5, 9), " ", Math.max(1), " ", Math.min(2, -1), " ", Math.sqrt(NaN)))", "5 undefined -1 0"},
        {R"(print(Math.pow(2, 10), " ", Math.pow(2, -1), " ", Math.pow(0, 3), " ", Math.pow(5, 0), " ", Math.pow(4, 0.5)))",
         "1024 0.5 0 1 2"},
        {R"(print(Math.pow(2, 1e300), " ", Math.pow(-2, 1e300 + 1), " ", Math.pow(2, -1e300), " ", Math.pow(10, 400)))",
         "infinity infinity 0 infinity"},
        {R"(print(Math.exp(1000), " ", Math.atan2(1, 0) == Math.PI / 2, " ", Math.E, " ", Math.SQRT1_2))",
         "infinity true 2.71828182845905 0.707106781186548"},
    });
}

TEST(Math, DomainErrorsEndTheRunAsHostErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {"Math.log(-1)", kInvalidOperation},     {"Math.log(0)", kDivisionByZero},
        {"Math.sqrt(-1)", kInvalidOperation},    {"Math.asin(2)", kInvalidOperation},
        {"Math.acos(-1.5)", kInvalidOperation},  {"Math.pow(-8, 1/3)", kInvalidOperation},
        {"Math.pow(0, -1)", kDivisionByZero},    {"Math.floor(1e19)", kInvalidOperation},
        {"Math.round(-1e19)", kInvalidOperation},
    };
    for (const auto& [expression, message] : cases) {
        ScriptRunner runner;
        std::string script = "try { ";
        script += expression;
        script += "; } catch (e) { print(\"caught\"); }";
        try {
            runner.Run(script);
            ADD_FAILURE() << expression << " did not fail";
        } catch (const EMathError& e) {
            EXPECT_STREQ(e.what(), message) << expression;
        }
        EXPECT_EQ(runner.out, "") << expression;
        EXPECT_FALSE(runner.engine.IsRunning());
    }
}

TEST(Math, TheSeedHookFixesTheSequence) {
    ScriptRunner runner;
    auto* const clock = TJRandom::Clock;
    TJRandom::Clock = [] { return std::uint32_t(0); };
    runner.Run(R"(var m = new Math(); print(Math.random() * 4294967296); print(" ", Math.random(10)); print(" ", Math.random(0)); print(" ", Math.random(-5));)");
    TJRandom::Clock = clock;
    EXPECT_EQ(runner.out, "1 0 0 0");
}

TEST_F(Library, FormattingHandsValuesOverByKind) {
    Check({
        {R"(print(format("%5.1f|%-4d|", 3.14159, 7), sprintf("%s/%s/%s", true, null, NaN), format("100%%")))",
         "  3.1|7   |true/null/NaN100%"},
        {R"~(print(formatFloat("#,##0.00", 1234.5), " ", formatFloat("0.0;(0.0)", -2.25), " ", formatFloat("", 0.5)))~",
         "1,234.50 (2.3) 0.5"},
        {R"(print(format(), formatFloat("0")))", "undefinedundefined"},
        {R"(format("%d", 1 + 2))", "!Exception: EConvertError(1) => 書式文字列 '%d' は正しくないか引数の型と一致しません"},
        {R"(format("%f", 1))", "!Exception: EConvertError(1) => 書式文字列 '%f' は正しくないか引数の型と一致しません"},
        {R"(format("%d %d", 1))", "!Exception: EConvertError(1) => 書式文字列 '%d' の引数が見つかりません"},
        {R"(print(format("%d|%x", Math.floor(1e10), Math.round(255.5))))", "1410065408|100"},
        {R"(format("%*d", 2147483647, 1))",
         "!Exception: EConvertError(1) => 書式文字列 '%*d' は正しくないか引数の型と一致しません"},
    });
}

TEST_F(Library, PrintfWritesOnlyWhatItFormatted) {
    runner.Run(R"(printf(); printf("%d|", 5); printfln("<%s>", "a"); try { printf("%d", "x"); } catch (e) {})");
    EXPECT_EQ(runner.out, "undefined5|<a>\r\n");
}

TEST_F(Library, NumberFormsUseTheFloatForms) {
    Check({
        {R"(print((12345.678).toExponential(2), " ", (5).toExponential(), " ", (2.5).toFixed()))", "1.23E+4 5.0E+0 3"},
        {R"(print((1.234).toFixed(2), " ", (1.234).toPrecision(2), " ", (1.5).toFixed(-3), " ", (1.005).toFixed(2)))",
         "1.23 1.23 2 1.00"},
        {R"(print((1234567890123456789).toFixed(2), " ", (0.5).toFixed(2000000000)))",
         "1.23456789012346E18 0.500000000000000000"},
    });
}

TEST_F(Library, ArrayLengthsAreCheckedWholeBeforeAnythingIsAllocated) {
    Check({
        {R"(var a = [1, 2, 3]; a.LENGTH = 1; a.length = "2"; a.length = 2.4; print(a.length, "|", a))", "2|1,"},
        {R"(var a = [1, 2, 3]; try { a.length = 100000000; } catch (e) { print(e, a.length); })", "EIndexError3"},
        {R"([].length = 4294967297)", "!Exception: EIndexError(1) => 4294967297 beyond the array limit 16777216"},
        {R"([].length = 1e15)", "!Exception: EIndexError(1) => 1E15 beyond the array limit 16777216"},
        {R"(var a = [1]; a.length = -1; print(a.length))", "0"},
    });
}

TEST(AbortFlag, EndsTheRunningStatementAsAnAbortOfItsLine) {
    ScriptRunner runner;
    volatile std::sig_atomic_t flag = 0;
    runner.engine.AbortFlag = &flag;
    // The script raises the flag by printing, as a signal would arrive between statements.
    runner.engine.OnStdout = [&flag](std::string_view) { flag = 1; };
    runner.engine.CompileText("var i = 0; print(1); while (true) { i++; }");
    runner.engine.Run();
    ASSERT_EQ(runner.errors.size(), 1u);
    EXPECT_EQ(runner.errors[0].second, "Abort Script(1)");
}
