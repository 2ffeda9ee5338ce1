// A scripted python3 peer on 127.0.0.1: the script gets a listening socket `srv` on an
// ephemeral port (or, as a client, the port to reach), runs for at most a bounded time
// and is stopped when the object goes away.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace nettest {

inline constexpr int kPeerLifetimeSeconds = 60;

class PythonPeer {
public:
    // As a server: Body runs after `srv` listens; the port is read from its output.
    static PythonPeer Server(const std::string& body) {
        return PythonPeer(
            "srv = socket.socket(); srv.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)\n"
            "srv.bind(('127.0.0.1', 0)); srv.listen(8)\n"
            "print(srv.getsockname()[1], flush=True)\n" + body);
    }
    // Body prints the port itself, when it is ready.
    static PythonPeer Script(const std::string& body) { return PythonPeer(body); }
    // As a client of Port: Body runs with `port` set.
    static PythonPeer Client(int port, const std::string& body) {
        return PythonPeer("port = " + std::to_string(port) + "\nprint(port, flush=True)\n" + body);
    }

    PythonPeer(PythonPeer&& other) noexcept : pid_(other.pid_), port_(other.port_) { other.pid_ = -1; }
    ~PythonPeer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    int Port() const { return port_; }
    // Waits for the peer to finish; its exit status.
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    explicit PythonPeer(const std::string& body) {
        std::string script = "import socket, sys, time, signal, threading, ssl\nsignal.alarm(" +
                             std::to_string(kPeerLifetimeSeconds) + ")\n" + body;
        int out[2];
        if (::pipe(out) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            ::execlp("python3", "python3", "-c", script.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        FILE* reader = ::fdopen(out[0], "r");
        if (!reader || std::fscanf(reader, "%d", &port_) != 1) port_ = 0;
        if (reader) std::fclose(reader);
        if (port_ == 0) throw std::runtime_error("python3 peer did not start");
    }

    pid_t pid_ = -1;
    int port_ = 0;
};

// serve(reply, ...) for server scripts: one connection per reply, each answered by a
// thread; the request head (and a body of its Content-Length) is read first. A reply is bytes ({req} becomes the request) or a
// function of the connection and the request.
inline const std::string kServe = R"(
def read_request(c):
    data = b''
    while b'\r\n\r\n' not in data:
        d = c.recv(65536)
        if not d: return data
        data += d
    head, _, body = data.partition(b'\r\n\r\n')
    for line in head.split(b'\r\n'):
        if line.lower().startswith(b'content-length:'):
            while len(body) < int(line.split(b':')[1]): body += c.recv(65536)
    return head + b'\r\n\r\n' + body
def answer(c, reply):
    req = read_request(c)
    try:
        if callable(reply): reply(c, req)
        else: c.sendall(reply.replace(b'{req}', req))
    except OSError: pass
    c.close()
def serve(*replies):
    for reply in replies:
        c, _ = srv.accept()
        threading.Thread(target=answer, args=(c, reply)).start()
)";

// A server answering one connection per reply.
inline PythonPeer Serve(const std::string& replies, const std::string& functions = "") {
    return PythonPeer::Server(kServe + functions + "serve(" + replies + ")\n");
}

// A port that was free a moment ago (bound to 0 and closed).
inline int FreePort() {
    PythonPeer peer = PythonPeer::Server("");
    int port = peer.Port();
    peer.Wait();
    return port;
}

}  // namespace nettest
