// The engine component: events with their sender, host values as arguments, the
// library path, the timings and the last error text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "script/lib/ecma_object.h"
#include "scripthost/Kestrel.h"

namespace tinctor {
namespace {

using kestrel::TJValue;
using ::testing::ElementsAre;
using testing::TTempFolder;

// A component whose output is collected, running scripts written to a folder.
class KestrelTest : public ::testing::Test {
protected:
    KestrelTest() {
        component.SetOnStdout([this](TKestrel& sender, std::string_view text) {
            EXPECT_EQ(&sender, &component);
            out += text;
        });
    }

    // Compiles and runs Text as the file main.ksc with Values as arguments.
    int Run(const std::string& text, std::initializer_list<THostValue> values = {}) {
        folder.Write("main.ksc", text);
        if (!component.CompileFile(folder.Path() + "main.ksc")) return -1000;
        return component.Run(values);
    }

    TTempFolder folder;
    TKestrel component;
    std::string out;
};

TEST_F(KestrelTest, TheNetworkClassesComeWithReadyInstances) {
    Run("println(new URL('http://h:81/p').host, Cookie.length, HTTP.responseHeader.code, HTTPS.version,"
        "TCPSocket.timeout);");
    EXPECT_EQ(out, "h:81\r\n0\r\n999\r\n1.0\r\n30\r\n");
}

TEST_F(KestrelTest, IntegersBecomeTheArgumentsOfTheRun) {
    EXPECT_EQ(Run("println(arguments.length); var kind = typeof arguments[1]; println(kind);"
                  "println(arguments[1] === 128); return arguments[0];",
                  {255, 128, 0}),
              255);
    EXPECT_EQ(out, "3\r\nnumber\r\ntrue\r\n");
}

TEST_F(KestrelTest, HostValuesConvertByKind) {
    const auto kind = [](const THostValue& v) { return v.ToScript().ValueType(); };
    EXPECT_EQ(kind(7), kestrel::vtInteger);
    EXPECT_EQ(kind(true), kestrel::vtBool);
    EXPECT_EQ(kind(2.5), kestrel::vtDouble);
    EXPECT_EQ(kind(static_cast<long double>(2.5)), kestrel::vtDouble);
    EXPECT_EQ(kind(static_cast<long long>(1) << 40), kestrel::vtDouble);
    EXPECT_EQ(THostValue(static_cast<long long>(1) << 40).ToScript().AsDouble(), 1099511627776.0);
    EXPECT_EQ(kind(static_cast<const void*>(&component)), kestrel::vtUndefined);
    EXPECT_EQ(kind(static_cast<kestrel::TJObject*>(nullptr)), kestrel::vtUndefined);

    const auto text = [](const THostValue& v) {
        const TJValue value = v.ToScript();
        EXPECT_EQ(value.ValueType(), kestrel::vtString);
        return std::string(value.AsString().view());
    };
    EXPECT_EQ(text('x'), "x");
    EXPECT_EQ(text(u'色'), "色");
    EXPECT_EQ(text(std::u16string(u"色の反転")), "色の反転");
    EXPECT_EQ(text(static_cast<const char*>(nullptr)), "");

    // Variants hold only what a variant can: a function value is no variant.
    EXPECT_EQ(kind(kestrel::IntegerValue(3)), kestrel::vtInteger);
    EXPECT_EQ(kind(kestrel::NullValue()), kestrel::vtNull);
    EXPECT_EQ(kind(kestrel::NaNValue()), kestrel::vtUndefined);

    // A script object reaches the script as itself. It is the host's: a run begins by
    // clearing the objects of the engine's list, so it is kept off that list.
    auto* array = kestrel::TJObject::New<kestrel::TJArrayObject>(&component.Engine(), false);
    array->IncRef();
    array->SetElement(0, kestrel::IntegerValue(42));
    EXPECT_EQ(Run("println(arguments[0][0]); println(arguments[1]);", {array, u'x'}), 0);
    EXPECT_EQ(out, "42\r\nx\r\n");
    component.Clear();
    array->DecRef();
}

TEST_F(KestrelTest, WithoutHandlersReportsAreLostButTheLastErrorTextIsKept) {
    TKestrel silent;
    folder.Write("bad.ksc", "var a = 1;\r\n\r\nfoo();\r\n");
    EXPECT_TRUE(silent.CompileFile(folder.Path() + "bad.ksc"));
    EXPECT_EQ(silent.Run({}), 0);
    EXPECT_EQ(silent.LastErrorText(), "Exception: ENameError(3) => undefined - foo\r\n");

    // With a handler the same text goes to it as well.
    std::vector<std::string> texts;
    silent.SetOnStderr([&texts](TKestrel&, std::string_view text) { texts.emplace_back(text); });
    folder.Write("syntax.ksc", "var a = 1;\r\nvar b = ;\r\n");
    EXPECT_FALSE(silent.CompileFile(folder.Path() + "syntax.ksc"));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(silent.LastErrorText(), texts[0]);
    EXPECT_TRUE(texts[0].starts_with("SyntaxError: Line(2) => ")) << texts[0];
    EXPECT_TRUE(texts[0].ends_with("\r\n"));
}

TEST_F(KestrelTest, ErrorsReachOnErrorWithTheirLineAndNoLineEnd) {
    std::vector<std::pair<int, std::string>> errors;
    component.SetOnError([&](TKestrel& sender, int line, std::string_view text) {
        EXPECT_EQ(&sender, &component);
        errors.emplace_back(line, std::string(text));
    });
    EXPECT_EQ(Run("var a = 1;\r\nvar b = 2;\r\nvar c = 3;\r\nvar d = 4;\r\nthrow 'x'; var e;\r\n"), 0);
    EXPECT_THAT(errors, ElementsAre(std::pair(5, std::string("Exception: EThrow(5) => "))));
    EXPECT_EQ(component.LastErrorText(), "Exception: EThrow(5) => \r\n");

    // A missing file: false, and no report at all.
    errors.clear();
    EXPECT_FALSE(component.CompileFile(folder.Path() + "none.ksc"));
    EXPECT_TRUE(errors.empty());
    // Without a handler the hook is gone from the engine.
    component.SetOnError(nullptr);
    EXPECT_FALSE(component.Engine().OnError);
}

TEST_F(KestrelTest, RunEventsAndStepsNameTheComponent) {
    std::vector<std::string> log;
    component.SetOnRun([&](TKestrel& sender) {
        EXPECT_EQ(&sender, &component);
        log.push_back("run");
    });
    component.SetOnDone([&](TKestrel&) { log.push_back("done"); });
    std::vector<int> lines;
    component.SetOnStep([&](TKestrel& sender, bool& abort) {
        EXPECT_FALSE(abort);
        lines.push_back(sender.Engine().CurrentLine());
        abort = sender.Engine().CurrentLine() == 3;
    });
    component.SetOnError([&](TKestrel&, int, std::string_view text) { log.emplace_back(text); });
    EXPECT_EQ(Run("print('a');\r\nprint('b');\r\nprint('c');\r\nprint('d');\r\n"), 0);
    EXPECT_EQ(out, "ab");
    EXPECT_THAT(log, ElementsAre("run", "Abort Script(3)", "done"));
    EXPECT_EQ(lines.back(), 3);

    component.SetOnStep(nullptr);
    component.SetOnRun(nullptr);
    EXPECT_FALSE(component.Engine().OnStep);
    EXPECT_FALSE(component.Engine().OnRun);
    out.clear();
    log.clear();
    EXPECT_EQ(Run("print('e');"), 0);
    EXPECT_EQ(out, "e");
    EXPECT_THAT(log, ElementsAre("done"));
}

TEST_F(KestrelTest, InputPassesItsParametersBothWays) {
    std::vector<std::pair<int, bool>> asked;
    component.SetOnStdin([&](TKestrel&, std::string& text, bool& success, int count, bool line) {
        EXPECT_FALSE(success);
        asked.emplace_back(count, line);
        text = "typed";
        success = true;
    });
    std::string text;
    bool success = false;
    component.Engine().ReadStdin(text, success, 3, false);
    EXPECT_TRUE(success);
    EXPECT_EQ(text, "typed");
    EXPECT_THAT(asked, ElementsAre(std::pair(3, false)));
    component.SetOnStdin(nullptr);
    success = false;
    component.Engine().ReadStdin(text, success, -1, true);
    EXPECT_FALSE(success);  // no handler: the input fails
}

TEST_F(KestrelTest, TheEventLoopEndsWhenOnDoEventsAborts) {
    int rounds = 0;
    component.SetOnDoEvents([&](TKestrel& sender, bool& abort) {
        EXPECT_EQ(&sender, &component);
        abort = ++rounds == 4;
    });
    EXPECT_EQ(Run("eventLoop(); print('main done');"), 0);
    EXPECT_EQ(out, "main done");
    EXPECT_EQ(rounds, 4);
}

TEST_F(KestrelTest, NewObjectsAndTheTokenTraceAreEvents) {
    int made = 0;
    component.SetOnNewObject([&](TKestrel&, kestrel::TJObject* object) {
        if (object->IsArray()) ++made;
    });
    std::string trace;
    component.SetOnDebugout([&](TKestrel&, std::string_view text) { trace += text; });
    // Every run makes the global instances of the classes first (one Array among them).
    EXPECT_EQ(Run("var a = 1;"), 0);
    const int globals = made;
    made = 0;
    EXPECT_EQ(Run("var a = new Array(); var b = new Array();"), 0);
    EXPECT_EQ(made, globals + 2);
    EXPECT_NE(trace.find("Array"), std::string::npos) << trace;
    component.SetOnDebugout(nullptr);
    trace.clear();
    Run("var c = 1;");
    EXPECT_EQ(trace, "");
}

TEST_F(KestrelTest, LibraryPathAssignedBeforeTheCompileFindsImports) {
    folder.Write("lib/colours.ksc", "function twice(x) { return x * 2; }\r\n");
    component.SetLibraryPath({folder.Path() + "elsewhere/", folder.Path() + "lib/"});
    EXPECT_EQ(Run("import colours;\r\nprintln(colours.twice(21));\r\n"), 0);
    EXPECT_EQ(out, "42\r\n");
    // The folders the compile added are gone again.
    EXPECT_THAT(component.LibraryPath(), ElementsAre(folder.Path() + "elsewhere/", folder.Path() + "lib/"));
    // Assigning replaces the entries.
    component.SetLibraryPath({"/one/"});
    component.SetLibraryPath({"/two/"});
    EXPECT_THAT(component.LibraryPath(), ElementsAre("/two/"));
    component.SetLibraryPath(component.LibraryPath());
    EXPECT_THAT(component.LibraryPath(), ElementsAre("/two/"));
}

TEST_F(KestrelTest, HostErrorsLeaveRunAndStillStopTheClock) {
    folder.Write("main.ksc", "sleep(30);\r\nsleep(30);\r\n");
    ASSERT_TRUE(component.CompileFile(folder.Path() + "main.ksc"));
    component.SetOnStep([](TKestrel& sender, bool&) {
        if (sender.Engine().CurrentLine() == 2) throw std::runtime_error("host failure");
    });
    EXPECT_THROW(component.Run({}), std::runtime_error);
    EXPECT_GE(component.RunTime(), 30);
    EXPECT_LT(component.RunTime(), 5000);
    EXPECT_LT(component.CompileTime(), 5000);
    // The engine is usable again afterwards.
    component.SetOnStep(nullptr);
    EXPECT_EQ(Run("return 7;"), 7);
}

}  // namespace
}  // namespace tinctor
