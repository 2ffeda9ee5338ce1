// The engine's operations and hooks: reports, run results, the event loop, Clear,
// callables, the steps of every statement, and the mended lifetime rules.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "script_runner.h"

using namespace kestrel;
using kestrel::testing::ScriptRunner;

namespace {

// A String class of the host's own: the text it was made with, as `length` and `text`.
class HostString : public TJObject {
public:
    HostString(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
        SetObjectName("String");
        SetKind(TJObjectKind::String);
        if (param && param->Count() > 0) text = param->GetItem(0).AsString();
        DefineMember("length", IntegerValue(static_cast<std::int32_t>(text.size())));
    }
    TJString ToString(const TJValue*) override { return text; }
    static constexpr bool MakesGlobalInstance() { return false; }
    TJString text;
};

// An object that tries to reach the script while it dies.
class Dying : public TJObject {
public:
    Dying(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {}
    ~Dying() override {
        auto* engine = static_cast<TJEngine*>(Engine());
        currentWasRoot = engine->Current() == &engine->Root();
        TJValue handler, result;
        if (engine->FindVariable("onDie", handler)) engine->Invoke(handler, nullptr, result, nullptr);
    }
    static constexpr bool MakesGlobalInstance() { return false; }
    static inline bool currentWasRoot = false;
};

class Engine : public ::testing::Test {
protected:
    ScriptRunner runner;
    TJEngine& engine = runner.engine;
};

TEST_F(Engine, SyntaxErrorReport) {
    EXPECT_EQ(runner.Run("var a = 1;\nvar b = 2;\nvar c = );\n"), -1000);
    EXPECT_EQ(runner.err, "SyntaxError: Line(3) => Text( ) )\r\n");
    ASSERT_EQ(runner.errors.size(), 1u);
    EXPECT_EQ(runner.errors[0].first, 3);
    EXPECT_EQ(runner.errors[0].second, "SyntaxError: Line(3) => Text( ) )");
    // Only comments: no tree, and no message either.
    EXPECT_EQ(runner.Run("// nothing\n/* at all */"), -1000);
    EXPECT_TRUE(runner.errors.empty());
}

TEST_F(Engine, FoldingErrorsReportTheLexersLine) {
    EXPECT_EQ(runner.Run("var a = 1;\n\nvar b = -NaN;\n"), -1000);
    ASSERT_EQ(runner.errors.size(), 1u);
    EXPECT_EQ(runner.errors[0].first, 3);
    EXPECT_EQ(runner.errors[0].second, "Exception: ETypeError => vtNaN");
}

TEST_F(Engine, RuntimeReports) {
    runner.Run("var a = 1;\n\n\n\nthrow 'x'; var z;\n");
    EXPECT_EQ(runner.err, "Exception: EThrow(5) => \r\n");
    ASSERT_EQ(runner.errors.size(), 1u);
    EXPECT_EQ(runner.errors[0].first, 5);
    runner.Run("\nnothing();\n");
    EXPECT_EQ(runner.err, "Exception: ENameError(2) => undefined - nothing\r\n");
    EXPECT_TRUE(engine.ErrorReported());
    runner.Run("eval('1 +');");
    EXPECT_EQ(runner.err, "SyntaxError: Line(1) => Text( ; )\r\n");
}

TEST_F(Engine, CurrentLineComesBackAfterACall) {
    runner.Run("function f() {\n  return 1;\n}\nvar x = f() + missing;\n");
    ASSERT_EQ(runner.errors.size(), 1u);
    EXPECT_EQ(runner.errors[0].first, 4);
    EXPECT_EQ(engine.CurrentLine(), 4);
}

TEST_F(Engine, RunResults) {
    EXPECT_EQ(runner.Run("return 7;"), 7);
    EXPECT_TRUE(engine.ResultSet());
    EXPECT_EQ(runner.Run("exit(3); println('never');"), 3);
    EXPECT_EQ(runner.out, "");
    EXPECT_EQ(runner.Run("exit();"), 0);
    EXPECT_TRUE(engine.ResultSet());
    EXPECT_EQ(runner.Run("var a = 1;"), 0);
    EXPECT_FALSE(engine.ResultSet());
    EXPECT_FALSE(engine.ErrorReported());
    EXPECT_EQ(runner.Run("function f(){ exit(9); } f();"), 9);
}

TEST_F(Engine, RunInsideARunDoesNothing) {
    int inner = -1;
    bool compiled = true;
    engine.OnStep = [&](bool&) {
        if (inner != -1) return;
        inner = engine.Run();
        compiled = engine.CompileText("var b;");
    };
    EXPECT_EQ(runner.Run("return 5;"), 5);
    EXPECT_EQ(inner, 0);
    EXPECT_FALSE(compiled);
}

TEST_F(Engine, EveryStatementIsAStep) {
    int steps = 0;
    engine.OnStep = [&](bool&) { ++steps; };
    runner.Run("var x; for (var i = 0; i < 3; i++) x = i;");
    // program, var, its declarator, for, and the single-statement body three times
    EXPECT_EQ(steps, 7);
    engine.OnStep = [&](bool& abort) { abort = ++steps > 2; };
    steps = 0;
    runner.Run("var a = 1;\nvar b = 2;\n");
    EXPECT_EQ(runner.err, "Abort Script(1)\r\n");
}

TEST_F(Engine, RunAndDoneHooksFrameTheRun) {
    std::string order;
    engine.OnRun = [&] { order += engine.Active() ? "run+" : "run-"; };
    engine.OnDone = [&] { order += engine.MainDone() ? "|done" : "|early"; };
    engine.OnStdout = [&](std::string_view text) { order += text; };
    runner.Run("print('main');");
    EXPECT_EQ(order, "run+main|done");
    // Input goes to the host's hook, and without one nothing is read.
    std::string text = "left";
    bool success = false;
    engine.ReadStdin(text, success, 3, false);
    EXPECT_FALSE(success);
    engine.OnStdin = [](std::string& t, bool& ok, int count, bool line) {
        t = line ? "line" : std::string(static_cast<std::size_t>(count), 'x');
        ok = true;
    };
    engine.ReadStdin(text, success, 3, false);
    EXPECT_TRUE(success);
    EXPECT_EQ(text, "xxx");
}

TEST_F(Engine, OutputAndGlobalFunctions) {
    runner.Run("print(1, 'a'); println(); println('x', 2);");
    EXPECT_EQ(runner.out, "1ax\r\n2\r\n");
    EXPECT_EQ(runner.outputCalls, 4);
    EXPECT_EQ(runner.Output("println(isUndefined(), isUndefined(undefined), isNull(null), isNull(0));"),
              "false\ntrue\ntrue\nfalse\n");
    EXPECT_EQ(runner.Output("println(sleep(1) == Global, Global.toString());"), "true\n[object Global]\n");
    TJValueList args;
    args.AddString("first");
    args.AddInteger(2);
    runner.Run("println(arguments.length, arguments[0], Global.arguments[1]);", &args);
    EXPECT_EQ(runner.out, "2\r\nfirst\r\n2\r\n");
}

TEST_F(Engine, EventLoopRunsUntilTerminate) {
    int rounds = 0;
    engine.OnDoEvents = [&](bool& abort) {
        EXPECT_TRUE(engine.MainDone());
        if (++rounds == 3) {
            TJValue stop, result;
            ASSERT_TRUE(engine.FindVariable("stop", stop));
            engine.CallCallable(stop, nullptr, result, nullptr);
        }
        abort = rounds > 10;
    };
    runner.Run("function stop(){ print('stop'); terminate(); } eventLoop();");
    EXPECT_EQ(rounds, 3);
    EXPECT_EQ(runner.out, "stop");
    rounds = 0;
    engine.OnDoEvents = [&](bool& abort) { abort = ++rounds == 2; };
    runner.Run("eventLoop();");
    EXPECT_EQ(rounds, 2);
    // Without eventLoop() the run ends with its main program.
    rounds = 0;
    runner.Run("var a;");
    EXPECT_EQ(rounds, 0);
}

TEST_F(Engine, EventHandlersAfterTheMainProgram) {
    // However the program ended, handlers run in its namespace and errors are reported.
    for (const char* ending : {"exit(2);", "throw 'x';", "var done = 1;"}) {
        std::string reports;
        engine.OnDoEvents = [&](bool& abort) {
            abort = true;
            EXPECT_TRUE(engine.MainDone());
            TJValue handler, result;
            ASSERT_TRUE(engine.FindVariable("handler", handler)) << ending;
            engine.CallCallable(handler, nullptr, result, nullptr);
            engine.CallCallable(StringValue(TJString("1 + ")), nullptr, result, nullptr);
            engine.CallCallable(StringValue(TJString("value * 2")), nullptr, result, nullptr);
            EXPECT_EQ(result.AsInteger(), 42);
        };
        engine.OnError = [&](int, std::string_view text) { reports += std::string(text) + "|"; };
        std::string script = "var value = 21; function handler(){ throw 'h'; }\neventLoop(); ";
        runner.Run(script + ending);
        std::string expected = std::string_view(ending) == "throw 'x';" ? "Exception: EThrow(2) => |" : "";
        // The failing handler's line stays current for the report that follows.
        expected += "Exception: EThrow(1) => |SyntaxError: Line(1) => Text( ; )|";
        EXPECT_EQ(reports, expected) << ending;
    }
}

TEST_F(Engine, ACompareFunctionsErrorEndsTheSortInAHandler) {
    // Reported once, for the handler, not once per comparison with the sort going on.
    std::string reports;
    engine.OnDoEvents = [&](bool& abort) {
        abort = true;
        TJValue handler, result;
        ASSERT_TRUE(engine.FindVariable("handler", handler));
        engine.CallCallable(handler, nullptr, result, nullptr);
    };
    engine.OnError = [&](int, std::string_view text) { reports += std::string(text) + "|"; };
    runner.Run("var a = [3, 1, 2, 5, 4];\n"
               "function handler(){ a.sort(function(x, y){ throw 'c'; }); print('after'); }\neventLoop();");
    EXPECT_EQ(reports, "Exception: EThrow(2) => |");
    EXPECT_EQ(runner.out, "");
    TJValue a;
    ASSERT_TRUE(engine.FindVariable("a", a));
    EXPECT_EQ(a.AsString().view(), "3,1,2,5,4");
}

TEST_F(Engine, CallableErrorsBeforeMainDonePropagate) {
    bool raised = false;
    engine.OnStep = [&](bool&) {
        TJValue result;
        if (engine.CurrentLine() != 2 || raised) return;
        try {
            engine.CallCallable(StringValue(TJString("missing")), nullptr, result, nullptr);
        } catch (const EJThrow& e) {
            raised = e.ErrorName() == "ENameError";
        }
    };
    runner.Run("var a = 1;\nvar b = 2;\n");
    EXPECT_TRUE(raised);
}

TEST_F(Engine, ClearRaisesNoEventsAndEmptiesEverything) {
    engine.ImportObject("Dying", ClassOf<Dying>());
    runner.Run("function onDie(){ println('event'); } var keep = new Dying();");
    EXPECT_GT(engine.Factory().ObjectCount(), 0u);
    Dying::currentWasRoot = false;
    engine.Clear();
    EXPECT_TRUE(Dying::currentWasRoot);
    EXPECT_EQ(runner.out, "");
    EXPECT_EQ(engine.Factory().ObjectCount(), 0u);
    EXPECT_EQ(engine.CurrentLine(), -1);
    EXPECT_FALSE(engine.Active());
    EXPECT_FALSE(engine.MainDone());
}

TEST_F(Engine, WrappersComeFromTheRegisteredClass) {
    engine.ImportObject("String", ClassOf<HostString>());
    EXPECT_EQ(runner.Output("function String(){ print('ran'); } println('abc'.length); 'ab'[1];"),
              "3\n!Exception: EKeyError(1) => 1");
    EXPECT_EQ(runner.Output("var s = 'hello'; println(s.length); s.nothing;"), "5\n!Exception: ENameError(1) => nothing");
}

TEST_F(Engine, WithoutAStringClassMembersOfTextFail) {
    engine.ImportObject("String", nullptr);  // a host that takes the library's class away
    EXPECT_EQ(runner.Output("'abc'.length;"), "!Exception: ENameError(1) => create object error String");
}

TEST_F(Engine, GlobalInstancesFollowTheClassTable) {
    std::vector<std::string> made;
    engine.OnNewObject = [&](TJObject* o) { made.push_back(o->ObjectName()); };
    runner.Run("var a = 1;");
    std::vector<std::string> expected;
    for (const std::string& name : engine.Factory().ClassNames())
        if (engine.Factory().GetClass(name)->MakesGlobalInstance) expected.push_back(name);
    ASSERT_GE(made.size(), expected.size());
    made.resize(expected.size());
    EXPECT_EQ(made, expected);
}

TEST_F(Engine, CallsHoldTheirReceiver) {
    EXPECT_EQ(runner.Output("var o = {v: 1, m: function(){ o = null; return this.v; }}; println(o.m());"), "1\n");
    // A method read from an object that then died has nothing to call.
    EXPECT_EQ(runner.Output("var f = {}.toString; f();"),
              "!Exception: ECallError(1) => call function error,need function or object");
}

TEST_F(Engine, EvalAndProgramsRestoreTheTableOnErrors) {
    runner.Run("function f(){ var inner = 1; try { eval('nothing'); } catch (e) {} return typeof(inner); }"
               "println(f()); println(typeof(inner));");
    EXPECT_EQ(runner.out, "number\r\nundefined\r\n");
    runner.Run("try { eval('1 +'); } catch (e) { println(e); } println('after');");
    EXPECT_EQ(runner.out, "ESyntaxError\r\nafter\r\n");
    TJValue result;
    runner.Run("var a = 5;");
    TJLocalSymbolTable* before = engine.Current();
    EXPECT_THROW(engine.Eval("missing", nullptr, result), EJThrow);
    EXPECT_EQ(engine.Current(), before);
    engine.Eval("a * 3", nullptr, result);
    EXPECT_EQ(result.AsInteger(), 15);
}

TEST_F(Engine, CompileFileAndImports) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kestrel_engine_test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "lib.ksc") << "var shared = 'from lib';\r\nfunction twice(x) { return x * 2; }\r\n"
                                      "function own() { return shared + pick(); }\r\nfunction pick() { return '!'; }\r\n";
    // The main program's variables of the same names are other ones.
    std::ofstream(dir / "main.ksc") << "var shared = 'main';\nfunction pick() { return '?'; }\nimport lib;\n"
                                       "println(lib.shared, lib.twice(4));\n"
                                       "lib.shared = 'set';\nprintln(lib.shared, typeof(lib.none), lib.own(), shared);\n";
    EXPECT_FALSE(engine.CompileFile((dir / "none.ksc").string()));
    EXPECT_TRUE(runner.errors.empty());
    ASSERT_TRUE(engine.CompileFile((dir / "main.ksc").string()));
    EXPECT_EQ(engine.GetScriptFileName(), (dir / "main.ksc").string());
    engine.Run();
    EXPECT_EQ(runner.out, "from lib\r\n8\r\nset\r\nundefined\r\nset!\r\nmain\r\n");
    EXPECT_TRUE(engine.Parser().LibraryPath.empty());
    std::filesystem::remove_all(dir);
}

TEST_F(Engine, RecompilingDropsTheOldRun) {
    runner.Run("function f(){ return 1; } var o = {f: f};");
    EXPECT_GT(engine.Factory().ObjectCount(), 0u);
    ASSERT_TRUE(engine.CompileText("var other = 2;"));
    EXPECT_EQ(engine.Factory().ObjectCount(), 0u);
    EXPECT_EQ(engine.Root().DeclTableCount(), 0u);
}

// ---------------------------------------------------------------------------
// The kestrel command

struct Command {
    int status;
    std::string out;
};

Command Kestrel(const std::string& arguments, const std::string& input = {}) {
    const std::string kestrel = std::string(TINCTOR_BINARY_DIR) + "/src/tools/kestrel/kestrel";
    std::string command = kestrel + " " + arguments + " 2>&1";
    if (!input.empty()) command = "printf '" + input + "' | " + command;
    Command result{-1, {}};
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) result.out.append(buffer, n);
    const int status = pclose(pipe.release());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(KestrelCommand, ExitStatusAndOutput) {
    Command c = Kestrel("-e 'println(arguments[0], arguments.length);' one two");
    EXPECT_EQ(c.status, 0);
    EXPECT_EQ(c.out, "one\r\n2\r\n");
    EXPECT_EQ(Kestrel("-e 'return 4;'").status, 4);
    EXPECT_EQ(Kestrel("-e 'exit(5);'").status, 5);
    c = Kestrel("-e 'nothing();'");
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.out, "Exception: ENameError(1) => undefined - nothing\r\n");
    c = Kestrel("-e 'var x = ;'");
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.out, "SyntaxError: Line(1) => Text( ; )\r\n");
    c = Kestrel("/no/such/script.ksc");
    EXPECT_EQ(c.status, 2);
    EXPECT_EQ(c.out, "kestrel: cannot read /no/such/script.ksc\n");
    EXPECT_EQ(Kestrel("").status, 2);
    // A million-deep recursion is a script error, not a crash.
    c = Kestrel("-e 'function f(n){ return f(n + 1); } f(0);'");
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.out, "Exception: ECallError(1) => too much recursion\r\n");
}

TEST(KestrelCommand, RunsAFile) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "kestrel_command_test.ksc";
    std::ofstream(file) << "// caption\nvar s = 0;\nfor (var i = 0; i < 10; i++) s += i;\nprintln(s);\nreturn s;\n";
    const Command c = Kestrel(file.string());
    EXPECT_EQ(c.out, "45\r\n");
    EXPECT_EQ(c.status, 45);
    std::filesystem::remove(file);
}

TEST(KestrelCommand, CompiledWritesTheTreeBesideTheScriptAndLoadsItNextTime) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kestrel_compiled_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string script = (dir / "s.ksc").string();
    std::ofstream(script) << "println(arguments[0]);\nreturn 3;\n";
    Command c = Kestrel("--compiled " + script + " --compiled");
    EXPECT_EQ(c.out, "--compiled\r\n");  // words after FILE are the script's
    EXPECT_EQ(c.status, 3);
    ASSERT_TRUE(std::filesystem::exists(dir / "s.kcb"));
    // The next run loads the tree: the changed text, older than the file, is not read.
    std::ofstream(script) << "println('changed');\n";
    std::filesystem::last_write_time(script, std::filesystem::last_write_time(dir / "s.kcb") - std::chrono::seconds(5));
    c = Kestrel("--compiled " + script + " again");
    EXPECT_EQ(c.out, "again\r\n");
    EXPECT_EQ(Kestrel(script).out, "changed\r\n");  // without the option the text is parsed
    EXPECT_EQ(Kestrel("--compiled").status, 2);
    std::filesystem::remove_all(dir);
}

}  // namespace
