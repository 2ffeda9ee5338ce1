// TgSocket against scripted python3 peers on 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "python_server.h"
#include "script/net/net_socket.h"

using namespace kestrel;
using nettest::PythonPeer;

namespace {

constexpr int kBufferSize = 65536;

// A client socket on the peer's port, its status texts collected.
struct Client {
    explicit Client(const PythonPeer& peer, int bufferSize = kBufferSize) : socket(bufferSize) {
        socket.Host = "127.0.0.1";
        socket.Port = static_cast<std::uint16_t>(peer.Port());
        socket.OnStatus = [this](TgSocket&, const std::string& text) { status.push_back(text); };
    }
    std::vector<std::string> status;  // outlives the socket, which reports its close
    TgSocket socket;
};

}  // namespace

TEST(SocketLines, ReadLineEndsAtTheEarliestTerminator) {
    struct Case {
        const char* sends;  // python statements on `c`
        std::vector<std::string> lines;
    } cases[] = {
        {"c.sendall(b'abc\\ndef\\r\\n')", {"abc", "def"}},
        {"c.sendall(b'a\\r\\rb\\n')", {"a", "", "b"}},
        // A CR LF split between two segments is one terminator.
        {"c.sendall(b'abc\\r'); time.sleep(0.3); c.sendall(b'\\ndef\\r\\n')", {"abc", "def"}},
        // A close in the middle of a line gives what arrived.
        {"c.sendall(b'one\\r\\nxyz')", {"one", "xyz"}},
        // Lines far beyond one peek, as mail bodies have.
        {"c.sendall(b'x' * 300000 + b'\\n')", {std::string(300000, 'x')}},
    };
    for (const Case& test : cases) {
        PythonPeer peer = PythonPeer::Server(std::string("c, _ = srv.accept()\n") + test.sends + "\nc.close()\n");
        Client client(peer);
        client.socket.Connect();
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < test.lines.size(); ++i) lines.push_back(client.socket.ReadLine());
        EXPECT_EQ(lines, test.lines) << test.sends;
        EXPECT_EQ(client.socket.ReadLine(), "");
        EXPECT_TRUE(client.socket.AtEndOfData());
    }
}

// Counts the reads that reach the transport.
class CountingSocket : public TgSocket {
public:
    using TgSocket::TgSocket;
    int reads = 0;

protected:
    long TransportReceive(char* buffer, std::size_t size) override {
        ++reads;
        return TgSocket::TransportReceive(buffer, size);
    }
};

TEST(SocketLines, MixedReadsSeeOneStream) {
    // Each step: 'L' ReadLine, 'P' Peek, 'R' Receive, 'T' ReadText of Count bytes.
    struct Step {
        char op;
        int count;
        std::string result;
    };
    struct Case {
        const char* sends;
        std::vector<Step> steps;
        std::uint64_t bytesRead;  // peeked bytes are not counted
    } cases[] = {
        {"c.sendall(b'abc\\r\\ndef')", {{'L', 0, "abc"}, {'P', 4, "def"}, {'R', 2, "de"}, {'T', -1, "f"}}, 8},
        // A Receive before any line reads the transport straight; lines go on after it.
        {"c.sendall(b'one\\ntwo\\nthree')", {{'R', 3, "one"}, {'L', 0, ""}, {'L', 0, "two"}, {'T', 5, "three"}}, 13},
        {"c.sendall(b'ab\\r'); time.sleep(0.3); c.sendall(b'\\ncd\\n')", {{'L', 0, "ab"}, {'P', 1, "c"}, {'L', 0, "cd"}}, 7},
        {"c.sendall(b'x\\r\\n' * 3 + b'y' * 100000)", {{'L', 0, "x"}, {'L', 0, "x"}, {'L', 0, "x"}, {'T', -1, std::string(100000, 'y')}},
         100009},
    };
    for (const Case& test : cases) {
        PythonPeer peer = PythonPeer::Server(std::string("c, _ = srv.accept()\n") + test.sends + "\nc.close()\n");
        Client client(peer);
        client.socket.Connect();
        for (const Step& step : test.steps) {
            std::string got;
            if (step.op == 'L') {
                got = client.socket.ReadLine();
            } else if (step.op == 'T') {
                got = client.socket.ReadText(step.count);
            } else {
                got.resize(static_cast<std::size_t>(step.count));
                std::size_t count = step.op == 'P' ? client.socket.Peek(got.data(), got.size())
                                                   : client.socket.Receive(got.data(), got.size());
                got.resize(count);
            }
            EXPECT_EQ(got, step.result) << test.sends << " step " << step.op;
        }
        EXPECT_EQ(client.socket.BytesRead, test.bytesRead) << test.sends;
        EXPECT_EQ(client.socket.ReadLine(), "");
        EXPECT_TRUE(client.socket.AtEndOfData());
    }
}

TEST(SocketLines, ShortLinesShareNetworkReads) {
    constexpr int kLines = 20000;
    PythonPeer peer =
        PythonPeer::Server("c, _ = srv.accept()\nc.sendall(b'line\\r\\n' * 20000 + b'a\\nb\\n')\ntime.sleep(5)\n");
    CountingSocket socket(kBufferSize);
    socket.Host = "127.0.0.1";
    socket.Port = static_cast<std::uint16_t>(peer.Port());
    socket.Connect();
    int lines = 0;
    while (lines < kLines && socket.ReadLine() == "line") ++lines;
    EXPECT_EQ(lines, kLines);
    // 120000 bytes: a few reads of the read-ahead (each may meet an empty queue once).
    EXPECT_LE(socket.reads, 40);
    // The peer falls silent: what was read ahead still counts as readable, and only that.
    EXPECT_EQ(socket.ReadLine(), "a");
    EXPECT_EQ(socket.Poll() & kPollReadable, kPollReadable);
    EXPECT_EQ(socket.ReadLine(), "b");
    EXPECT_EQ(socket.Poll() & kPollReadable, 0);
}

TEST(SocketLines, LimitGivenByTheCallerIsEnforced) {
    PythonPeer peer = PythonPeer::Server("c, _ = srv.accept()\nc.sendall(b'y' * 5000)\ntime.sleep(5)\n");
    Client client(peer);
    client.socket.Connect();
    EXPECT_THROW(client.socket.ReadLine(4096), ELineTooLong);
}

TEST(SocketWaits, SilentPeerTimesOutAfterTimeoutSeconds) {
    PythonPeer peer = PythonPeer::Server("c, _ = srv.accept()\ntime.sleep(30)\n");
    Client client(peer);
    client.socket.Connect();
    client.socket.Timeout = 2;
    int idle = 0;
    client.socket.OnIdle = [&](TgSocket&, bool&) { ++idle; };
    char byte;
    auto start = std::chrono::steady_clock::now();
    try {
        client.socket.Receive(&byte, 1);
        FAIL() << "no time-out";
    } catch (const ESocketTimeout& error) {
        EXPECT_STREQ(error.what(), "socket timeout");
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 1.9);
    EXPECT_LT(seconds, 4.0);
    EXPECT_EQ(idle, 2);
    EXPECT_TRUE(client.socket.TimedOut);
    EXPECT_EQ(client.status.back(), "err>recv timeout");

    // Abort on the first idle second raises at once.
    client.socket.OnIdle = [&](TgSocket&, bool& abort) { abort = true; ++idle; };
    EXPECT_THROW(client.socket.Receive(&byte, 1), ESocketTimeout);
    EXPECT_EQ(idle, 3);
}

TEST(SocketConnect, FailuresRaiseTheirErrors) {
    TgSocket socket(kBufferSize);
    socket.Host = "no_such!host";
    socket.Port = 80;
    bool invalidHost = false;
    socket.OnInvalidHost = [&](bool&) { invalidHost = true; };
    try {
        socket.Connect();
        FAIL();
    } catch (const ETCPIPError& error) {
        EXPECT_STREQ(error.what(), "not found no_such!host");
    }
    EXPECT_TRUE(invalidHost);
    EXPECT_EQ(socket.LastError, 11001);

    socket.Host = "127.0.0.1";
    socket.Port = static_cast<std::uint16_t>(nettest::FreePort());
    std::vector<std::string> events;
    socket.OnConnectionFailed = [&](TgSocket&) { events.push_back("failed"); };
    socket.OnError = [&](TgSocket&, int code, const std::string& text) {
        events.push_back(std::to_string(code) + " " + text);
    };
    try {
        socket.Connect();
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.Code, 10061);
        EXPECT_STREQ(error.what(), "socket error no.10061");
    }
    EXPECT_EQ(events, (std::vector<std::string>{"failed", "10061 WSAECONNREFUSED"}));
    EXPECT_FALSE(socket.Connected);
}

TEST(SocketConnect, AnUnansweredConnectStopsAfterTimeout) {
    // A listener that never accepts and whose queue is full drops further SYNs.
    PythonPeer peer = PythonPeer::Script(
        "srv = socket.socket(); srv.bind(('127.0.0.1', 0)); srv.listen(0)\nheld = []\n"
        "for i in range(4):\n"
        "    s = socket.socket(); s.setblocking(False)\n"
        "    try: s.connect(('127.0.0.1', srv.getsockname()[1]))\n"
        "    except BlockingIOError: pass\n"
        "    held.append(s)\n"
        "time.sleep(0.5)\nprint(srv.getsockname()[1], flush=True)\ntime.sleep(30)\n");
    Client client(peer);
    client.socket.Timeout = 1;
    auto start = std::chrono::steady_clock::now();
    try {
        client.socket.Connect();
        FAIL() << "connected";
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.Code, 10060);
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0);
}

TEST(SocketStatus, LevelSelectsTheTexts) {
    PythonPeer peer = PythonPeer::Server("for i in range(2):\n    c, _ = srv.accept(); c.recv(10)\n");
    std::string port = std::to_string(peer.Port());
    std::string where = "127.0.0.1(127.0.0.1):" + port;
    std::vector<std::string> normal = {"suc>127.0.0.1が見つかりました", "suc>" + where + "にconnect成功しました",
                                       "nfo>127.0.0.1:" + port + "から切断します"};
    Client client(peer);
    client.socket.Connect();
    client.socket.Disconnect();
    EXPECT_EQ(client.status, normal);

    Client debug(peer);
    debug.socket.StatusLevel = kStatusDebug;
    debug.socket.Connect();
    int handle = debug.socket.Handle();
    debug.socket.Disconnect();
    EXPECT_EQ(debug.status, (std::vector<std::string>{
                                "rtn>127.0.0.1を探しています", normal[0], "rtn>socketを作成します",
                                "dbg>socket(" + std::to_string(handle) + ")を作成しました",
                                "rtn>127.0.0.1にconnectします", normal[1], normal[2],
                                "rtn>socket(" + std::to_string(handle) + ")をcloseします"}));
}

TEST(SocketTransfer, ChunksCountersAndCancel) {
    PythonPeer peer = PythonPeer::Server(
        "c, _ = srv.accept()\nn = 0\n"
        "while n < 200000:\n    n += len(c.recv(65536))\n"
        "c.sendall(str(n).encode() + b'\\r\\n' + b'z' * 100)\ntime.sleep(2)\n");
    Client client(peer);
    client.socket.StatusLevel = kStatusDebug;
    client.socket.Connect();
    std::vector<std::int64_t> chunks;
    client.socket.OnPacketSent = [&](TgSocket&, std::int64_t count, bool&) { chunks.push_back(count); };
    client.socket.SendText(std::string(200000, 'a'));
    EXPECT_EQ(chunks, (std::vector<std::int64_t>{65536, 65536, 65536, 3392}));
    EXPECT_EQ(client.socket.BytesWrote, 200000u);
    EXPECT_EQ(client.socket.ReadLine(), "200000");
    EXPECT_EQ(client.socket.BytesRead, 8u);
    EXPECT_EQ(client.socket.BytesTotal, 200008u);
    EXPECT_NE(std::find(client.status.begin(), client.status.end(), "dbg>socketから 8 bytes読み込みました"),
              client.status.end());

    client.socket.OnPacketRecvd = [](TgSocket&, std::int64_t, bool& cancel) { cancel = true; };
    try {
        client.socket.ReadText(10);
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.Code, 0);
        EXPECT_STREQ(error.what(), "socket error no.0");
    }
}

TEST(SocketTransfer, SendToAClosedPeerIsAnErrorNotASignal) {
    PythonPeer peer = PythonPeer::Server(
        "c, _ = srv.accept()\nc.recv(1)\nc.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b'\\x01\\0\\0\\0\\0\\0\\0\\0')\n"
        "c.close()\ntime.sleep(5)\n");
    Client client(peer);
    client.socket.Connect();
    client.socket.SendText("x");
    char byte;
    try {
        client.socket.Receive(&byte, 1);
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.Code, 10054);
    }
    try {
        for (int i = 0; i < 5; ++i) client.socket.SendText("data");
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_TRUE(error.Code == 10054 || error.Code == 10057) << error.Code;
    }
}

TEST(SocketServer, ListenAcceptAndClaim) {
    TgSocket server(kBufferSize);
    server.Port = static_cast<std::uint16_t>(nettest::FreePort());
    server.Listen();
    EXPECT_TRUE(server.Listening);
    PythonPeer peer = PythonPeer::Client(
        server.Port, "c = socket.create_connection(('127.0.0.1', port))\nc.sendall(b'hello\\r\\n')\n"
                     "sys.exit(0 if c.recv(10) == b'ok\\r\\n' else 1)\n");
    std::string acceptedFrom;
    server.OnAccept = [&](TgSocket&, int, const std::string& address) { acceptedFrom = address; };
    int accepted = server.Accept();
    ASSERT_GE(accepted, 0);
    EXPECT_EQ(acceptedFrom, "127.0.0.1");
    EXPECT_FALSE(ClaimAcceptedSocket(STDOUT_FILENO));
    EXPECT_TRUE(ClaimAcceptedSocket(accepted));
    EXPECT_FALSE(ClaimAcceptedSocket(accepted));
    TgSocket connection(accepted, kBufferSize);
    EXPECT_EQ(connection.Timeout, 120);
    EXPECT_EQ(connection.PeerAddress(), "127.0.0.1");
    EXPECT_EQ(connection.ReadLine(), "hello");
    connection.SendLine("ok");
    EXPECT_EQ(peer.Wait(), 0);

    // The port is taken now.
    TgSocket second(kBufferSize);
    second.Port = server.Port;
    try {
        second.Listen();
        FAIL();
    } catch (const EBindError& error) {
        EXPECT_STREQ(error.what(), "WSAEADDRINUSE");
    }
}

TEST(SocketErrors, NamesOfTheTable) {
    struct Case {
        std::int32_t code;
        const char* name;
    } cases[] = {{10004, "WSAEINTR"}, {10035, "WSAEWOULDBLOCK"}, {10071, "WSAEREMOTE"},
                 {10072, "UNKNOWN ERROR"}, {10101, "WSAEDISCON"}, {11004, "WSANO_DATA"}, {0, "UNKNOWN ERROR"}};
    for (const Case& test : cases) EXPECT_STREQ(SocketErrorName(test.code), test.name) << test.code;
    EXPECT_EQ(ESocketError(0x12345).what(), std::string("socket error no.") + std::to_string(0x2345));
}
