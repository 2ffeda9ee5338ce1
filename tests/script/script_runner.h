// Runs scripts through an engine and keeps what they wrote and reported.
//
// With KESTREL_TEST_COMPILED set in the environment (the script_tests_compiled run),
// every script that compiles is saved as a compiled file and run from the tree loaded
// back, which must equal the parsed one: each script test then checks the loader too.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compiled_tree.h"
#include <gtest/gtest.h>

#include "script/lib/ecma_object.h"
#include "util/CodePage.h"

namespace kestrel::testing {

class ScriptRunner {
public:
    ScriptRunner() {
        engine.OnStdout = [this](std::string_view text) {
            ++outputCalls;
            out += text;
        };
        engine.OnStderr = [this](std::string_view text) { err += text; };
        engine.OnError = [this](int line, std::string_view text) { errors.emplace_back(line, std::string(text)); };
    }

    // Compiles and runs Script; the run's result, or -1000 when it does not compile.
    int Run(std::string_view script, const TJValueList* args = nullptr) {
        out.clear();
        err.clear();
        errors.clear();
        outputCalls = 0;
        if (!engine.CompileText(script)) return -1000;
        if (compiledRoundTrip) RunFromCompiledFile(script);
        return engine.Run(nullptr, args);
    }

    // Replaces the parsed tree by its copy from a compiled file.
    void RunFromCompiledFile(std::string_view script) {
        const std::string parsed = TreeSignature(engine.Parser().Root());
        const std::string file = ::testing::TempDir() + "round-trip-" + std::to_string(getpid()) + ".kcb";
        EXPECT_TRUE(engine.Parser().SaveToFile(file)) << script;
        EXPECT_TRUE(engine.Parser().LoadFromFile(file)) << script;
        EXPECT_EQ(TreeSignature(engine.Parser().Root()), parsed) << script;
        std::remove(file.c_str());
    }

    // What the script printed, with CR LF as "\n", followed by its first report, if any.
    std::string Output(std::string_view script) {
        Run(script);
        std::string text;
        for (char c : out)
            if (c != '\r') text += c;
        if (!errors.empty()) text += "!" + errors.front().second;
        return text;
    }

    TJEngine engine;
    std::string out;
    std::string err;
    std::vector<std::pair<int, std::string>> errors;
    int outputCalls = 0;
    bool compiledRoundTrip = std::getenv("KESTREL_TEST_COMPILED") != nullptr;
};

// Selects a code page for as long as it lives, then the one in force before.
class CodePageScope {
public:
    explicit CodePageScope(int id) : saved_(tinctor::CodePage::Current().Id()) { tinctor::CodePage::Select(id); }
    ~CodePageScope() { tinctor::CodePage::Select(saved_); }
    CodePageScope(const CodePageScope&) = delete;
    CodePageScope& operator=(const CodePageScope&) = delete;

private:
    int saved_;
};

// A script and what it prints (with its first report, as Output gives it).
struct OutputCase {
    std::string script;
    std::string output;
};

// Runs each script in turn in one runner and compares what it printed.
inline void ExpectOutputs(std::initializer_list<OutputCase> cases) {
    ScriptRunner runner;
    for (const OutputCase& c : cases) EXPECT_EQ(runner.Output(c.script), c.output) << c.script;
}

// The same under UTF-8 and under CP932, for scripts whose texts are ASCII.
inline void ExpectOutputsInBothCodePages(std::initializer_list<OutputCase> cases) {
    for (int id : {tinctor::CodePage::Utf8, tinctor::CodePage::ShiftJis}) {
        SCOPED_TRACE(id);
        CodePageScope codePage(id);
        ExpectOutputs(cases);
    }
}

}  // namespace kestrel::testing
