// TKestrelProcess: fork, exec and the two pipes of a kestrel run.
#include "ext/KestrelProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace tinctor::testing {

std::string KestrelPath() { return std::string(TINCTOR_BINARY_DIR) + "/src/tools/kestrel/kestrel"; }

TKestrelProcess::TKestrelProcess(const std::string& script,
                                 const std::vector<std::pair<std::string, std::string>>& env) {
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
        // A session of its own: never the terminal of whoever runs the tests.
        setsid();
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
        const std::string program = KestrelPath();
        execl(program.c_str(), program.c_str(), script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
}

TKestrelProcess::~TKestrelProcess() {
    if (pid_ > 0) Kill();
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
}

std::string TKestrelProcess::ReadLine(int timeoutMs) {
    for (;;) {
        const std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) return {};
        char block[256];
        const ssize_t n = read(out_, block, sizeof block);
        if (n <= 0) return std::exchange(pending_, {});
        pending_.append(block, static_cast<std::size_t>(n));
    }
}

std::pair<std::string, int> TKestrelProcess::Finish() {
    close(in_);
    in_ = -1;
    std::string all = std::exchange(pending_, {});
    char block[256];
    ssize_t n;
    while ((n = read(out_, block, sizeof block)) > 0) all.append(block, static_cast<std::size_t>(n));
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return {all, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

void TKestrelProcess::Kill(int signal) {
    kill(pid_, signal);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace tinctor::testing
