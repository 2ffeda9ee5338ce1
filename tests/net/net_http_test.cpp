// The web client against scripted python3 servers on 127.0.0.1: exact requests,
// response evaluation, bodies, redirection and hostile replies.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "python_server.h"
#include "script/net/net_http.h"

using namespace kestrel;
using nettest::PythonPeer;
using nettest::Serve;

namespace {

std::string Base(const PythonPeer& peer) { return "http://127.0.0.1:" + std::to_string(peer.Port()); }

constexpr int kBufferSize = 65536;

}  // namespace

TEST(HttpRequest, BareGetSendsTheHeadersInKeyListOrder) {
    PythonPeer peer = Serve("b'HTTP/1.0 200 OK\\r\\n\\r\\n{req}'");
    TgHTTP http(kBufferSize);
    std::string text;
    http.Get(Base(peer) + "/", text);
    EXPECT_EQ(text, "GET / HTTP/1.0\r\nConnection: close\r\nHost: 127.0.0.1:" + std::to_string(peer.Port()) +
                        "\r\nAccept: */*\r\n\r\n");
    EXPECT_EQ(http.StatusCode, 200);
    EXPECT_EQ(http.ResponseHeaders.Version, "1.0");
}

TEST(HttpRequest, PostAuthorizationAndProxyTargets) {
    PythonPeer peer = Serve("b'HTTP/1.0 200 OK\\r\\n\\r\\n{req}', b'HTTP/1.0 200 OK\\r\\n\\r\\n{req}', "
                            "b'HTTP/1.0 200 OK\\r\\n\\r\\n{req}'");
    TgHTTP http(kBufferSize);
    std::string text;
    http.Post(Base(peer) + "/form", "a=1&b=2", text);
    EXPECT_NE(text.find("POST /form HTTP/1.0\r\n"), std::string::npos);
    EXPECT_NE(text.find("Content-Type: application/x-www-form-urlencoded\r\n"), std::string::npos);
    EXPECT_NE(text.find("Content-Length: 7\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n\r\na=1&b=2"));

    // Through a proxy the target is absolute; the name is never resolved here.
    TgHTTP proxied(kBufferSize);
    proxied.Proxy = "127.0.0.1:" + std::to_string(peer.Port());
    text.clear();
    proxied.Get("http://u:p@far.invalid/x?y", text);
    EXPECT_TRUE(text.starts_with("GET http://far.invalid/x?y HTTP/1.0\r\n")) << text;
    EXPECT_NE(text.find("Authorization: Basic dTpw\r\n"), std::string::npos);
    EXPECT_NE(text.find("Host: far.invalid\r\n"), std::string::npos);

    proxied.Proxy += "+a+b";
    text.clear();
    proxied.Get("http://far.invalid/x", text);
    EXPECT_TRUE(text.starts_with("GET http://a/-_-http://b/-_-http://far.invalid/x HTTP/1.0\r\n")) << text;
}

TEST(HttpRequest, LineBreaksAreRefusedBeforeConnecting) {
    // Nothing listens on the port: a request that got as far as connecting would fail
    // with a socket error instead.
    std::string base = "http://127.0.0.1:" + std::to_string(nettest::FreePort());
    TgHTTP http(kBufferSize);
    std::string text;
    EXPECT_THROW(http.Get(base + "/a\r\nX-Injected: 1", text), EHttpError);
    EXPECT_THROW(http.Get(base + std::string("/a\0b", 4), text), EHttpError);
    http.RequestHeaders.Set("X-Note", "one\ntwo");
    EXPECT_THROW(http.Get(base + "/", text), EHttpError);
    http.RequestHeaders.Remove("X-Note");
    EXPECT_THROW(http.Get(base + "/", text), ESocketError);
}

TEST(HttpResponse, EvaluationAndBodies) {
    struct Case {
        const char* reply;   // a python bytes literal or function name
        int statusCode;
        const char* body;    // null: the request raises
        std::int64_t contentLength;
    } cases[] = {
        // A keep-alive server: the body ends at Content-Length, not at the close.
        {"keepalive", 200, "hello", 5},
        {"b'HTTP/1.1 200 OK\\r\\nTransfer-Encoding: chunked\\r\\n\\r\\n5\\r\\nhello\\r\\n6;x=1\\r\\n world\\r\\n"
         "0\\r\\nX-Trailer: 1\\r\\n\\r\\n'", 200, "hello world", -1},
        {"b'HTTP/1.1 100 Continue\\r\\n\\r\\nHTTP/1.1 200 OK\\r\\nContent-Length: 2\\r\\n\\r\\nok'", 200, "ok", 2},
        {"nocontent", 204, "", -1},
        {"b'HTTP/1.0 206 Partial\\r\\nContent-Range: bytes 100-199/1000\\r\\n\\r\\nrest'", 206, "rest", 900},
        {"b'HTTP/1.0 200 OK\\r\\nContent-Length: many\\r\\n\\r\\nall of it'", 200, "all of it", 0},
        {"b'just text without a status\\r\\n'", 0, "", -1},
        {"b''", 0, "", -1},
        {"bytewise", 200, "slow", 4},
        {"b'HTTP/1.0 abc OK\\r\\n\\r\\nx'", 999, nullptr, -1},
        {"b'HTTP/1.0 404 Not Found\\r\\n\\r\\ngone'", 404, nullptr, -1},
        {"b'HTTP/1.0 200 OK\\r\\nContent-Length: 10\\r\\n\\r\\nabc'", 200, nullptr, 10},
        {"b'HTTP/1.1 200 OK\\r\\nTransfer-Encoding: chunked\\r\\n\\r\\nzz\\r\\nabc'", 200, nullptr, -1},
        {"b'HTTP/1.0 200 OK\\r\\nX: ' + b'a' * (10 << 20) + b'\\r\\n\\r\\n'", 200, nullptr, -1},
        {"endless", 200, nullptr, -1},
    };
    const std::string functions = R"(
def keepalive(c, req):
    c.sendall(b'HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: keep-alive\r\n\r\nhello'); time.sleep(30)
def nocontent(c, req):
    c.sendall(b'HTTP/1.1 204 No Content\r\n\r\n'); time.sleep(30)
def bytewise(c, req):
    for b in b'HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nslow':
        c.sendall(bytes([b])); time.sleep(0.002)
def endless(c, req):
    c.sendall(b'HTTP/1.0 200 OK\r\n')
    while True: c.sendall(b'X-More: 1\r\n' * 100)
)";
    std::string replies;
    for (const Case& test : cases) replies += std::string(test.reply) + ", ";
    PythonPeer peer = Serve(replies, functions);
    for (const Case& test : cases) {
        TgHTTP http(kBufferSize);
        http.Timeout = 5;
        std::string text;
        auto start = std::chrono::steady_clock::now();
        try {
            http.Get(Base(peer) + "/", text);
            EXPECT_TRUE(test.body) << test.reply << " did not fail";
            if (test.body) {
                EXPECT_EQ(text, test.body) << test.reply;
            }
        } catch (const EgSocket& error) {
            EXPECT_FALSE(test.body) << test.reply << ": " << error.what();
        }
        EXPECT_EQ(http.StatusCode, test.statusCode) << test.reply;
        EXPECT_EQ(http.ContentLength, test.contentLength) << test.reply;
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 4.0)
            << test.reply;
    }
}

TEST(HttpResponse, SilentServerTimesOut) {
    PythonPeer peer = Serve("silent", "def silent(c, req):\n    c.sendall(b'HTTP/1.0 200 OK\\r\\n\\r\\n'); time.sleep(30)\n");
    TgHTTP http(kBufferSize);
    http.Timeout = 2;
    std::vector<int> failures;
    http.OnFailure = [&](int kind) { failures.push_back(kind); };
    std::string text;
    EXPECT_THROW(http.Get(Base(peer) + "/", text), ESocketTimeout);
    EXPECT_EQ(failures, std::vector<int>{kHttpGet});
}

TEST(HttpRedirect, FollowsLimitsAndForgetsCredentials) {
    PythonPeer other = Serve("b'HTTP/1.0 200 OK\\r\\n\\r\\n{req}'");
    std::string found = "b'HTTP/1.0 302 Found\\r\\nLocation: /new\\r\\nSet-Cookie: id=42; path=/x\\r\\n\\r\\n', "
                        "b'HTTP/1.0 200 OK\\r\\nContent-Location: /elsewhere\\r\\n\\r\\n{req}', "
                        "b'HTTP/1.0 301 Moved\\r\\nLocation: " + Base(other) + "/there\\r\\n\\r\\n', ";
    std::string loop;
    for (int i = 0; i <= kMaxRedirects; ++i) loop += "b'HTTP/1.0 302 Found\\r\\nLocation: /loop\\r\\n\\r\\n', ";
    PythonPeer peer = Serve(found + loop);

    TgHTTP http(kBufferSize);
    http.AutoRedirect = true;
    http.StatusLevel = kStatusInfo;
    std::vector<std::string> status;
    http.OnStatus = [&](TgSocket&, const std::string& text) { status.push_back(text); };
    std::string text;
    http.Get(Base(peer) + "/old", text);
    EXPECT_TRUE(text.starts_with("GET /new HTTP/1.0\r\n")) << text;  // 2xx Content-Location is no redirect
    EXPECT_EQ(status, (std::vector<std::string>{"nfo>" + Base(peer) + "/oldをgetします",
                                                "nfo>" + Base(peer) + "/newにredirectします",
                                                "nfo>" + Base(peer) + "/newのget正常終了"}));
    EXPECT_EQ(http.Location, Base(peer) + "/elsewhere");

    // Another origin gets neither the credentials nor the script's cookies.
    http.RequestHeaders.Set("Cookie", "secret=1");
    text.clear();
    http.Get("http://u:p@127.0.0.1:" + std::to_string(peer.Port()) + "/a", text);
    EXPECT_TRUE(text.starts_with("GET /there HTTP/1.0\r\n")) << text;
    EXPECT_EQ(text.find("Authorization"), std::string::npos) << text;
    EXPECT_EQ(text.find("secret"), std::string::npos) << text;

    text.clear();
    EXPECT_THROW(http.Get(Base(peer) + "/loop", text), EHttpError);
}

TEST(HttpResponse, CookiesAndFileName) {
    PythonPeer peer = Serve(
        "b'HTTP/1.0 200 OK\\r\\nSet-Cookie: id=42; path=/x\\r\\nContent-Disposition: attachment;; "
        "filename=\"a b.txt\"\\r\\n\\r\\n'");
    TgHTTP http(kBufferSize);
    http.Head(Base(peer) + "/c");
    EXPECT_EQ(http.ResponseHeaders.Cookies.Get("id"), "42");
    EXPECT_EQ(http.ResponseHeaders.Cookies.Path, "/x");
    EXPECT_EQ(http.FileName, "a b.txt");
    EXPECT_TRUE(http.RawHeader.starts_with("HTTP/1.0 200 OK\r\nSet-Cookie: id=42; path=/x\r\n"));
}
