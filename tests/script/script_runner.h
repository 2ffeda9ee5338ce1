// Runs scripts through an engine and keeps what they wrote and reported.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/lib/ecma_object.h"

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
        return engine.Run(nullptr, args);
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
};

}  // namespace kestrel::testing
