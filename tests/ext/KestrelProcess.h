// Runs scripts in real kestrel processes with an environment of the test's own.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace tinctor::testing {

class TKestrelProcess {
public:
    // Starts kestrel on Script (a file) with Env added to the environment, in a
    // session without a terminal; its standard input and output are pipes.
    TKestrelProcess(const std::string& script, const std::vector<std::pair<std::string, std::string>>& env);
    ~TKestrelProcess();
    TKestrelProcess(const TKestrelProcess&) = delete;
    TKestrelProcess& operator=(const TKestrelProcess&) = delete;

    // One line of the output (without LF); "" at its end or after TimeoutMs.
    std::string ReadLine(int timeoutMs = 10000);
    // Everything until the process ends, and its exit status.
    std::pair<std::string, int> Finish();
    void Kill(int signal = SIGKILL);

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string pending_;
};

// The kestrel program of this build.
std::string KestrelPath();

}  // namespace tinctor::testing
