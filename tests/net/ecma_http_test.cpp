// The HTTP, HTTPS, URL and Cookie objects from scripts against python3 servers on
// 127.0.0.1: complete requests, the header exchange both ways, cookies round trip,
// redirects, the single steps, events and their order, and the errors scripts see.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "net_script_runner.h"
#include "python_server.h"

using nettest::NetScriptRunner;
using nettest::Serve;
using nettest::WithPort;

namespace {

// "http://127.0.0.1:" PORT, for scripts run WithPort.
const std::string kBase = "var BASE = 'http://127.0.0.1:' + PORT;\n";

}  // namespace

TEST(HTTPScript, GetExchangesHeadersBothWaysAndFiresEventsInOrder) {
    nettest::PythonPeer peer =
        Serve("b'HTTP/1.0 200 OK\\r\\nX-Reply: yes\\r\\nSet-Cookie: id=42; path=/x\\r\\n\\r\\n{req}'");
    NetScriptRunner runner;
    EXPECT_EQ(runner.Output(WithPort(peer.Port(), kBase + R"(
var log = [];
HTTP.onRequest = function(h) { log.push("request"); };
HTTP.onConnect = function(h) { log.push("connect"); };
HTTP.onResponse = function(h) { log.push("response"); };
HTTP.onDisconnect = function(h) { log.push("disconnect"); };
HTTP.onSuccess = function(h) { log.push("success " + (h == HTTP)); };
HTTP.onFailure = function(h) { log.push("failure"); };
HTTP.requestHeader["X-Test"] = "1";
HTTP.requestHeader.Number = 5;  // not text: no header
var body = HTTP.get(BASE + "/p?q");
println(body.indexOf("GET /p?q HTTP/1.0\n") == 0, body.indexOf("X-Test: 1\n") > 0, body.indexOf("Number") < 0);
var r = HTTP.responseHeader;
println(r.code, r.text, r.version, r["x-reply"], r.cookie["id"], r.cookie.path, HTTP.length);
println(r);
println(log.join(","));
)")),
              "true\ntrue\ntrue\n200\nOK\n1.0\nyes\n42\n/x\n-1\nHTTP/1.0 200 OK\nx-reply: yes\n"
              "request,connect,response,disconnect,success true\n");
}

TEST(HTTPScript, PostHeadGetFileCookiesAndRedirects) {
    const std::string file = ::testing::TempDir() + "http-script-getfile.txt";
    nettest::PythonPeer peer = Serve(
        "b'HTTP/1.0 200 OK\\r\\nSet-Cookie: sid=abc\\r\\n\\r\\n{req}', "      // post
        "b'HTTP/1.0 200 OK\\r\\n\\r\\n{req}', "                                // get with the cookie
        "b'HTTP/1.0 200 OK\\r\\nContent-Length: 5\\r\\n\\r\\n', "              // head
        "b'HTTP/1.0 302 Found\\r\\nLocation: /moved\\r\\n\\r\\n', "            // getFile, redirected
        "b'HTTP/1.0 200 OK\\r\\nContent-Length: 4\\r\\n\\r\\nfile'");
    NetScriptRunner runner;
    EXPECT_EQ(runner.Output(WithPort(peer.Port(), kBase + R"(
var body = HTTP.post(BASE + "/form", "a=1&b=2");
println(body.indexOf("POST /form HTTP/1.0\n") == 0, body.indexOf("Content-Length: 7\n") > 0,
        body.substring(body.length - 7));
HTTP.requestHeader.Cookie = HTTP.responseHeader.cookie.data;
body = HTTP.get(BASE + "/again");
println(body.indexOf("Cookie: sid=abc;\n") > 0);
var same = HTTP.head(BASE + "/h") == HTTP;
println(same, HTTP.length);
HTTP.autoRedirect = true;
HTTP.getFile(BASE + "/old", ")" + file + R"(");
println(HTTP.responseHeader.code);
)")),
              "true\ntrue\na=1&b=2\ntrue\ntrue\n5\n200\n");
    std::ifstream in(file);
    std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, "file");
    std::remove(file.c_str());
}

TEST(HTTPScript, SingleStepsAndTheConnectionMethods) {
    nettest::PythonPeer peer = Serve("b'HTTP/1.0 201 Made\\r\\nX-A: 1\\r\\n\\r\\nline one\\r\\nrest'");
    NetScriptRunner runner;
    EXPECT_EQ(runner.Output(WithPort(peer.Port(), kBase + R"(
var h = new HTTP();
println(h.request("PUT", BASE + "/r", "data") == h);
var code = h.response().responseHeader.code;
println(code, h.responseHeader["x-a"]);
println(h.readln()); println(h.read());
h.close();
)")),
              "true\n201\n1\nline one\nrest\n");
}

TEST(HTTPScript, FailuresNameTheMethodAndKeepTheLastResponse) {
    const std::string keep = "println(HTTP.responseHeader.code, HTTP.responseHeader.text);";
    nettest::PythonPeer peer = Serve(
        "b'HTTP/1.0 200 Fine\\r\\n\\r\\n', b'HTTP/1.0 404 Not Found\\r\\n\\r\\ngone', "
        "b'HTTP/1.0 200 Fine\\r\\n\\r\\n', b'HTTP/1.0 abc OK\\r\\n\\r\\nx', "
        "b'HTTP/1.0\\r\\n\\r\\nx', b'no status line\\r\\n\\r\\nbody', b'', "
        "b'HTTP/1.0 200 OK\\r\\n\\r\\n' + b'x' * 100000, "
        "b'HTTP/1.0 200 OK\\r\\nX: ' + b'a' * (10 << 20) + b'\\r\\n\\r\\n', "
        "b'HTTP/1.0 200 OK\\r\\nContent-Length: 10\\r\\n\\r\\nshort'");
    const int freePort = nettest::FreePort();
    struct Case {
        std::string script;
        std::string result;
    } cases[] = {
        // A failed request leaves responseHeader as the last success left it.
        {"println(HTTP.get(BASE));" + keep + "try { HTTP.get(BASE); } catch (e) { println(e); }" + keep,
         "\n200\nFine\nESocketError\n200\nFine\n"},
        // A status that is no number is 999, an error like every status from 400 on.
        {"HTTP.get(BASE);" + keep + "try { HTTP.get(BASE); } catch (e) { println(e); }" + keep,
         "200\nFine\nESocketError\n200\nFine\n"},
        {"HTTP.get(BASE);", "HTTP.get error"},
        // No status line at all (or no answer): status 0, no error.
        {"var b = HTTP.get(BASE); println(b, HTTP.responseHeader.code);", "body\n0\n"},
        {"var b = HTTP.get(BASE); println(b, HTTP.responseHeader.code);", "\n0\n"},
        {"HTTP.onRead = function(s, n, cancel) { cancel.bool = true; }; HTTP.get(BASE);", "HTTP.get error"},
        {"HTTP.get(BASE);", "HTTP.get error"},  // a 10 MiB header line
        {"HTTP.get(BASE);", "HTTP.get error"},  // closed before its Content-Length
        {WithPort(freePort, "HTTP.getFile('http://127.0.0.1:' + PORT + '/', '/dev/null');"), "HTTP.get error"},
        {WithPort(freePort, "HTTP.post('http://127.0.0.1:' + PORT + '/', 'x');"), "HTTP.post error"},
        {"HTTP.head('http://no_such!host/');", "HTTP.head error"},
        {"HTTP.get(BASE + \"/a\\nX-Injected: 1\");", "HTTP.get error"},
        {"HTTP.requestHeader.X = \"a\\nb\"; HTTP.request('GET', BASE);", "HTTP.request error"},
        // Fewer arguments than a method needs: nothing is done.
        {"println(HTTP.get(), HTTP.post('x'), HTTP.head() == HTTP, HTTP.getFile('x') == HTTP,"
         "HTTP.request('GET') == HTTP, HTTP.write() == HTTP, HTTP.capture() == HTTP);",
         "undefined\nundefined\ntrue\ntrue\ntrue\ntrue\ntrue\n"},
    };
    for (const Case& test : cases) {
        NetScriptRunner runner;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(runner.ErrorMessage(WithPort(peer.Port(), kBase + test.script)), test.result) << test.script;
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5) << test.script;
    }
}

TEST(URLAndCookieScript, PartsAliasesAndJar) {
    nettest::NetScriptRunner runner;
    EXPECT_EQ(runner.Output(R"(
var u = new URL("http://user:pw@SERVER:8080/a/b/c.html?x=1");
println(u.protocol, u.scheme, u.user, u.userid, u.pass, u.host, u.hostname, u.port, u.path, u.dir, u.filename, u.search);
u.host = "other:81"; println(u.url, u.toString());
u.host = "third"; println(u.href);
u.uri = "ftp://h/dir/f?x"; println(u.filename, u.query == "", u);
println(new URL("http://server/c/d/f.html").expand("../e.html"));
var c = new Cookie();
var same = c.parse("id=7; path=/p") == c;
println(same, c.length, c.path, c["id"], c.data, c["none"] == "");
c["x"] = 5; c.note = "member";
println(c.hasKey("x"), c.hasKey("note"), c.getKeys(), c.note, c.getProperties());
c.parse("http://h/d/e", "s=1; expires=Wed, 09 Jun 2021 10:18:14 GMT; Max-Age=60");
println(c.domain, c.path, c.expires.getUTCFullYear(), c);
)"),
              "http\nhttp\nuser\nuser\npw\nserver:8080\nserver\n8080\n/a/b/c.html?x=1\n/a/b/\nc.html\n?x=1\n"
              "http://user:pw@other:81/a/b/c.html?x=1\nhttp://user:pw@SERVER:8080/a/b/c.html?x=1\n"
              "http://user:pw@third:81/a/b/c.html?x=1\nf?x\ntrue\nftp://h/dir/f?x\n"
              "http://server/c/e.html\n"
              "true\n1\n/p\n7\nid=7;\ntrue\n"
              "true\nfalse\nx,id\nmember\nx,id\n"
              "h\n/d/e\n2021\nexpires=Wed, 09 Jun 2021 10:18:14 GMT;domain=h;path=/d/e;s=1;x=5;Max-Age=60;id=7;\n");
}
