// The TCPSocket object from scripts: a client and a server in one script, python3 peers
// on 127.0.0.1, events and their order, cancelling from a handler, and the errors.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <cstdio>
#include <fstream>

#include "net_script_runner.h"
#include "script/net/ecma_tcpsocket.h"
#include "python_server.h"

using nettest::NetScriptRunner;
using nettest::PythonPeer;
using nettest::WithPort;

namespace {

const std::string kConnectedPair = R"(
var srv = new TCPSocket(); srv.port = 0; srv.bind();
var c = new TCPSocket(); c.host = "127.0.0.1"; c.port = srv.port;
c.connect();
var a = srv.accept();
)";

}  // namespace

TEST(TCPSocketScript, ClientAndServerInOneScript) {
    NetScriptRunner runner;
    EXPECT_EQ(runner.Output(R"(
var log = [];
var srv = new TCPSocket(); srv.port = 0; srv.bind();
println(srv.port > 0);
var c = new TCPSocket(); c.host = "127.0.0.1"; c.port = srv.port;
c.onConnect = function(s) { log.push("connect " + (s == c)); };
c.onWrite = function(s, n, cancel) { log.push("write " + n); };
c.onPacketRecvd = function(s, n, cancel) { log.push("recvd " + n); };
c.onDisconnect = function(s) { log.push("disconnect"); };
c.connect();
var a = srv.accept();
println(a.isConnected());
c.writeln("hello");
println(a.readln());
a.writeln("one"); a.write("two"); a.close();
println(c.readln()); println(c.read()); println(c.isConnected());
println(c.bytesRead, c.bytesWrote, c.bytesTotal);
c.close();
println(log.join(","));
)"),
              "true\ntrue\nhello\none\ntwo\nfalse\n8\n7\n15\nconnect true,write 7,recvd 5,recvd 3,disconnect\n");
}

TEST(TCPSocketScript, StatusTextsGoToPrintlnFirstWhenDebugging) {
    PythonPeer peer = PythonPeer::Server("c, _ = srv.accept(); c.recv(1)\n");
    NetScriptRunner runner;
    // Only the texts up to level 2, each printed before its event.
    std::string expected;
    const std::string port = std::to_string(peer.Port());
    for (const std::string& text : {std::string("suc>127.0.0.1が見つかりました"), "suc>127.0.0.1(127.0.0.1):" + port + "にconnect成功しました",
                             "nfo>127.0.0.1:" + port + "から切断します"})
        expected += text + "\nevent " + text + "\n";
    EXPECT_EQ(runner.Output(WithPort(peer.Port(), R"(
var d = new TCPSocket(); d.host = "127.0.0.1"; d.port = PORT;
d.debug = true;
d.onStatus = function(s, text) { println("event " + text); };
d.connect(); d.close();
)")),
              expected);
}

TEST(TCPSocketScript, FailuresBecomeTheMethodsError) {
    const int freePort = nettest::FreePort();
    struct Case {
        std::string script;
        std::string message;
    } cases[] = {
        {WithPort(freePort, "var c = new TCPSocket(); c.host = '127.0.0.1'; c.port = PORT; c.connect();"),
         "TCPSocket.connect error"},
        // glibc refuses the name itself: nothing is sent to a resolver.
        {"var c = new TCPSocket(); c.host = 'no_such!host'; c.port = 80; c.open();", "TCPSocket.open error"},
        {"new TCPSocket(1);", "TCPSocket.create error"},
        {"new TCPSocket().accept();", "TCPSocket.accept error"},
        {"new TCPSocket().write('x');", "TCPSocket.write error"},
        {kConnectedPair + "var d = new TCPSocket(); d.port = srv.port; d.bind();", "TCPSocket.bind error"},
        {kConnectedPair + "c.abort();", "TCPSocket.abort error"},
        {kConnectedPair + "c.timeout = 1; c.readln();", "TCPSocket.readln error"},
        {kConnectedPair + "a.writeln('x'); c.onRead = function(s, n, cancel) { cancel.bool = true; }; c.readln();",
         "TCPSocket.readln error"},
        {kConnectedPair + "c.onRead = function(s, n, cancel) { cancel.bool = true; }; a.write('x'); c.read(1);",
         "TCPSocket.read error"},
        // A handler's own error is the script's, not the connection's.
        {kConnectedPair + "c.onWrite = function() { throw 'mine'; };"
                          "try { c.write('x'); } catch (e) { println(e); }",
         "mine\n"},
        {kConnectedPair + "try { c.abort(); } catch (e) { println(e, c.isConnected()); }", "ESocketError\nfalse\n"},
    };
    NetScriptRunner runner;
    for (const Case& test : cases) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(runner.ErrorMessage(test.script), test.message) << test.script;
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5) << test.script;
    }
}

TEST(TCPSocketScript, FilesAndCountsAgainstAPeer) {
    const std::string sent = ::testing::TempDir() + "tcpsocket-sent.txt";
    const std::string captured = ::testing::TempDir() + "tcpsocket-captured.txt";
    std::ofstream(sent) << "12345";
    // The peer waits for five bytes, answers with their reverse and a tail, and closes.
    PythonPeer peer = PythonPeer::Server(R"(
c, _ = srv.accept()
data = b''
while len(data) < 5: data += c.recv(5)
c.sendall(data[::-1] + b'-tail' * 1000)
c.close()
)");
    NetScriptRunner runner;
    EXPECT_EQ(runner.Output(WithPort(peer.Port(), R"(
var c = new TCPSocket(); c.host = "127.0.0.1"; c.port = PORT; c.connect();
c.sendFile(")" + sent + R"(");
c.sendFile("/no/such/file");
println(c.read(5));
c.capture(")" + captured + R"(");
println(c.bytesWrote, c.bytesRead);
)")),
              "54321\n5\n5005\n");
    std::ifstream in(captured);
    std::string tail((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(tail.size(), 5000u);
    EXPECT_TRUE(tail.starts_with("-tail-tail"));
    std::remove(sent.c_str());
    std::remove(captured.c_str());
}

TEST(TCPSocketScript, DataEventsFindAHandlerSetMeanwhile) {
    // A byte at a time, each once the script acknowledged the last on a second connection.
    const std::string peer = "c, _ = srv.accept()\nk, _ = srv.accept()\n"
                             "for part in (b'a', b'b', b'c'): c.sendall(part); k.recv(1)\nc.close()\n";
    const std::string connect = "var log = [], c = new TCPSocket(), k = new TCPSocket();"
                                "c.host = k.host = '127.0.0.1'; c.port = k.port = PORT; c.connect(); k.connect();"
                                "function onRead(s, n, cancel) { log.push('read ' + n); k.write('k'); }";
    const std::pair<const char*, const char*> cases[] = {
        // Set by a handler within one read, or by the script between two reads.
        {"c.onPacketRecvd = function(s, n, cancel) { log.push('recvd ' + n); k.write('k'); s.onRead = onRead; };"
         "println(c.read()); println(log.join(','));", "abc\nrecvd 1,read 1,read 1\n"},
        {"println(c.read(1)); k.write('k'); c.onRead = onRead; println(c.read()); println(log.join(','));",
         "a\nbc\nread 1,read 1\n"}};
    for (auto [script, output] : cases) {
        PythonPeer server = PythonPeer::Server(peer);
        EXPECT_EQ(NetScriptRunner().Output(WithPort(server.Port(), connect + script)), output) << script;
    }
}

TEST(TCPSocketScript, CountersShowTheirLow32Bits) {
    struct Case {
        std::uint64_t count;
        std::int32_t seen;
    } cases[] = {{5, 5}, {0x1'0000'0005ull, 5}, {0x8000'0000ull, INT32_MIN}, {0xFFFF'FFFF'FFFF'FFFFull, -1}};
    NetScriptRunner runner;
    auto* socket = kestrel::TJObject::New<kestrel::TJTCPSocketObject>(&runner.engine, true);
    for (const Case& test : cases) {
        socket->Socket().BytesTotal = test.count;
        kestrel::TJValue total;
        socket->GetValue("bytesTotal", false, total);
        EXPECT_EQ(total.AsInteger(), test.seen) << test.count;
    }
}

TEST(TCPSocketScript, AStopTheHostAsksForEndsAWaitOrATransfer) {
    static volatile std::sig_atomic_t stop = 0;
    struct Case {
        const char* peer;
        const char* read;
    } cases[] = {
        {"c, _ = srv.accept(); time.sleep(30)\n", "c.readln();"},
        {"c, _ = srv.accept()\ntry:\n    while True: c.sendall(b'x' * 65536)\nexcept OSError: pass\n", "c.read();"},
    };
    for (const Case& test : cases) {
        PythonPeer peer = PythonPeer::Server(test.peer);
        NetScriptRunner runner;
        runner.engine.AbortFlag = &stop;
        stop = 0;
        std::thread stopper([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            stop = 1;
        });
        auto start = std::chrono::steady_clock::now();
        std::string output = runner.Output(WithPort(peer.Port(), std::string(R"(
var c = new TCPSocket(); c.host = "127.0.0.1"; c.port = PORT; c.connect();
try { )") + test.read + " } catch (e) { println(e); }"));
        stopper.join();
        EXPECT_TRUE(output.starts_with("!Abort Script(")) << test.read << output;
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3) << test.read;
    }
}
