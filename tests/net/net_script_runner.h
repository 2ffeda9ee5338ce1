// A script runner whose engine has the network classes, for scripts that talk to
// peers the tests start on 127.0.0.1.
#pragma once

#include <string>

#include "script/net/ecma_net_objects.h"
#include "script/script_runner.h"

namespace nettest {

class NetScriptRunner : public kestrel::testing::ScriptRunner {
public:
    NetScriptRunner() { kestrel::ImportNetObjects(engine); }

    // The message of the first uncaught error, or what the script printed when none.
    std::string ErrorMessage(const std::string& script) {
        std::string output = Output(script);
        std::size_t arrow = output.find("=> ");
        return arrow == std::string::npos ? output : output.substr(arrow + 3);
    }
};

// "var PORT = N;" ahead of Script.
inline std::string WithPort(int port, const std::string& script) {
    return "var PORT = " + std::to_string(port) + ";\n" + script;
}

}  // namespace nettest
