// Scripted POP3 and SMTP servers in python3 for exact transcripts and bad replies:
// one session each, every line received logged to a file.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "python_server.h"

namespace nettest {

// pop3(greeting, replies, path): one session; every line received is logged to Path
// and answered by the next reply; a None after a reply closes the connection once it
// is sent.
inline const std::string kPop3Server = R"(
def pop3(greeting, replies, path):
    c, _ = srv.accept(); f = c.makefile('rb'); log = open(path, 'wb')
    c.sendall(greeting)
    for line in f:
        log.write(line); log.flush()
        r = replies.pop(0) if replies else None
        if r is None: break
        c.sendall(r)
        if replies and replies[0] is None: break
    c.close()
)";

// smtp(greeting, replies, path): one session; every line received is logged to Path, a
// reply is sent per command and per end of data.
inline const std::string kSmtpServer = R"(
def smtp(greeting, replies, path):
    c, _ = srv.accept(); f = c.makefile('rb'); log = open(path, 'wb')
    c.sendall(greeting)
    data = False
    for line in f:
        log.write(line); log.flush()
        if data and line != b'.\r\n': continue
        if not replies: break
        r = replies.pop(0); c.sendall(r)
        data = line.startswith(b'DATA') and r.startswith(b'354')
        if line.startswith(b'QUIT'): break
    c.close()
)";

// One scripted session of Kind ("pop3" or "smtp") with the greeting and the list of
// replies as python expressions.
struct TMailPeer {
    TMailPeer(const std::string& kind, const std::string& greeting, const std::string& replies)
        : log(::testing::TempDir() + kind + "-peer-" + std::to_string(::getpid()) + ".log"),
          peer(PythonPeer::Server((kind == "pop3" ? kPop3Server : kSmtpServer) + kind + "(" + greeting + ", [" +
                                  replies + "], '" + log + "')\n")) {}
    // Every line the peer received, once the session is over.
    std::string Transcript() {
        peer.Wait();
        std::ifstream in(log, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string log;
    PythonPeer peer;
};

}  // namespace nettest
