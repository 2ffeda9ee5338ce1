// The web client over TLS against python3 TLS servers on 127.0.0.1, with a test CA,
// a good, a wrong-name, an expired and a self-signed certificate made for this run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "net_script_runner.h"
#include "python_server.h"
#include "script/net/net_https.h"

using namespace kestrel;
using nettest::PythonPeer;
using nettest::Serve;

namespace {

constexpr int kBufferSize = 65536;

// The CA signs "good" (127.0.0.1 and localhost), "wrong" (another name) and
// "expired"; "self" signs itself.
const char* kMakeCertificates = R"(
import datetime, os
from cryptography import x509
from cryptography.x509.oid import NameOID
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
import ipaddress
folder = sys.argv[1] if len(sys.argv) > 1 else os.environ['CERT_DIR']
now = datetime.datetime.utcnow()
def name(text): return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])
def make(subject, issuer_key, issuer, sans, start, end, ca=False):
    key = ec.generate_private_key(ec.SECP256R1())
    b = x509.CertificateBuilder().subject_name(name(subject)).issuer_name(issuer or name(subject))
    b = b.public_key(key.public_key()).serial_number(x509.random_serial_number())
    b = b.not_valid_before(start).not_valid_after(end)
    b = b.add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True)
    if sans: b = b.add_extension(x509.SubjectAlternativeName(sans), critical=False)
    cert = b.sign(issuer_key or key, hashes.SHA256())
    return key, cert
def save(tag, key, cert):
    open(f'{folder}/{tag}.key', 'wb').write(key.private_bytes(serialization.Encoding.PEM,
        serialization.PrivateFormat.PKCS8, serialization.NoEncryption()))
    open(f'{folder}/{tag}.pem', 'wb').write(cert.public_bytes(serialization.Encoding.PEM))
day = datetime.timedelta(days=1)
ca_key, ca = make('Test CA', None, None, None, now - day, now + 30 * day, ca=True)
save('ca', ca_key, ca)
local = [x509.IPAddress(ipaddress.ip_address('127.0.0.1')), x509.DNSName('localhost')]
save('good', *make('127.0.0.1', ca_key, ca.subject, local, now - day, now + 30 * day))
save('wrong', *make('wrong.example', ca_key, ca.subject, [x509.DNSName('wrong.example')], now - day, now + 30 * day))
save('expired', *make('127.0.0.1', ca_key, ca.subject, local, now - 30 * day, now - 2 * day))
save('self', *make('127.0.0.1', None, None, local, now - day, now + 30 * day))
print(1, flush=True)  # done (the peer helper waits for a number)
)";

class Https : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::filesystem::temp_directory_path() / ("tinctor-tls-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        ::setenv("CERT_DIR", folder_.c_str(), 1);
        PythonPeer::Script(kMakeCertificates).Wait();
        ::setenv("SSL_CERT_FILE", (folder_ / "ca.pem").c_str(), 1);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(folder_); }

    // A TLS server with the certificate Tag, answering each connection with Replies.
    static PythonPeer TlsServer(const std::string& tag, const std::string& replies) {
        std::string pem = (folder_ / (tag + ".pem")).string();
        std::string key = (folder_ / (tag + ".key")).string();
        return PythonPeer::Server(nettest::kServe +
                                  "tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\n"
                                  "tls.load_cert_chain('" + pem + "', '" + key + "')\n"
                                  "srv = tls.wrap_socket(srv, server_side=True, do_handshake_on_connect=False)\n"
                                  "def answer(c, reply):\n"
                                  "    try: c.do_handshake()\n"
                                  "    except OSError: return c.close()\n"
                                  "    req = read_request(c)\n"
                                  "    c.sendall(reply.replace(b'{req}', req)); c.close()\n"
                                  "serve(" + replies + ")\n");
    }
    static std::string Get(TgHTTPS& https, const std::string& address) {
        std::string text;
        https.Get(address, text);
        return text;
    }

    static inline std::filesystem::path folder_;
};

const std::string kEcho = "b'HTTP/1.0 200 OK\\r\\n\\r\\n{req}'";

}  // namespace

TEST_F(Https, VerifiesTheCertificateAndTheName) {
    PythonPeer good = TlsServer("good", kEcho + ", " + kEcho);
    TgHTTPS https(kBufferSize);
    std::string port = std::to_string(good.Port());
    EXPECT_TRUE(Get(https, "https://127.0.0.1:" + port + "/a").starts_with("GET /a HTTP/1.0\r\n"));
    EXPECT_TRUE(Get(https, "https://localhost:" + port + "/b").starts_with("GET /b HTTP/1.0\r\n"));

    // Out of its dates but otherwise sound: accepted.
    PythonPeer expired = TlsServer("expired", kEcho);
    EXPECT_TRUE(Get(https, "https://127.0.0.1:" + std::to_string(expired.Port()) + "/").starts_with("GET /"));

    for (const char* tag : {"wrong", "self"}) {
        PythonPeer bad = TlsServer(tag, kEcho);
        try {
            Get(https, "https://127.0.0.1:" + std::to_string(bad.Port()) + "/");
            ADD_FAILURE() << tag << " accepted";
        } catch (const ETlsError& error) {
            EXPECT_NE(std::string(error.what()).find("certificate verify failed"), std::string::npos) << error.what();
        }
    }
}

TEST_F(Https, PlainPeersAndStalls) {
    PythonPeer plain = Serve(kEcho + ", " + kEcho);
    TgHTTPS https(kBufferSize);
    https.Timeout = 2;
    std::string port = std::to_string(plain.Port());
    // An http address is plain HTTP; a plain server on an https address is an error.
    EXPECT_TRUE(Get(https, "http://127.0.0.1:" + port + "/p").starts_with("GET /p HTTP/1.0\r\n"));
    EXPECT_THROW(Get(https, "https://127.0.0.1:" + port + "/"), EgSocket);

    PythonPeer stall = PythonPeer::Server("c, _ = srv.accept()\ntime.sleep(30)\n");
    EXPECT_THROW(Get(https, "https://127.0.0.1:" + std::to_string(stall.Port()) + "/"), ESocketTimeout);

    std::vector<std::string> events;
    https.OnConnectionFailed = [&](TgSocket&) { events.push_back("failed"); };
    https.OnError = [&](TgSocket&, int code, const std::string& text) {
        events.push_back(std::to_string(code) + " " + text);
    };
    EXPECT_THROW(Get(https, "https://127.0.0.1:" + std::to_string(nettest::FreePort()) + "/"), ESocketError);
    EXPECT_EQ(events.back(), "10061 connect error");
}

TEST_F(Https, TunnelsThroughAProxy) {
    PythonPeer server = TlsServer("good", kEcho);
    PythonPeer proxy = Serve("tunnel", R"(
def tunnel(c, req):
    port = int(req.split(b' ')[1].split(b':')[1])
    u = socket.create_connection(('127.0.0.1', port))
    c.sendall(b'HTTP/1.0 200 Connection established\r\n\r\n')
    def pump(a, b):
        try:
            while True:
                d = a.recv(65536)
                if not d: break
                b.sendall(d)
        except OSError: pass
        try: b.shutdown(socket.SHUT_WR)
        except OSError: pass
    t = threading.Thread(target=pump, args=(u, c)); t.start(); pump(c, u); t.join()
)");
    TgHTTPS https(kBufferSize);
    https.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    EXPECT_TRUE(Get(https, "https://localhost:" + std::to_string(server.Port()) + "/t").starts_with("GET /t HTTP/1.0\r\n"));

    // Bytes after the proxy's answer, before the client's hello, are nobody's TLS.
    PythonPeer chatty = Serve("b'HTTP/1.0 200 Connection established\\r\\n\\r\\nstray'");
    https.Proxy = "127.0.0.1:" + std::to_string(chatty.Port());
    try {
        Get(https, "https://localhost:" + std::to_string(server.Port()) + "/t");
        ADD_FAILURE() << "stray bytes taken for TLS";
    } catch (const ETlsError& error) {
        EXPECT_STREQ(error.what(), "data before the TLS handshake");
    }
}

TEST_F(Https, ScriptObjectTrustsTheSameCertificates) {
    PythonPeer good = TlsServer("good", kEcho + ", " + kEcho);
    PythonPeer expired = TlsServer("expired", kEcho);
    PythonPeer wrong = TlsServer("wrong", kEcho);
    PythonPeer self = TlsServer("self", kEcho);
    nettest::NetScriptRunner runner;
    std::string script = "var base = 'https://127.0.0.1:';\n";
    for (auto [name, peer] : {std::pair{"GOOD", &good}, {"EXPIRED", &expired}, {"WRONG", &wrong}, {"SELF", &self}})
        script += "var " + std::string(name) + " = " + std::to_string(peer->Port()) + ";\n";
    runner.Run(script + R"(
var h = new HTTPS();
println(h.get(base + GOOD + "/a").indexOf("GET /a HTTP/1.0") == 0);
// connect speaks TLS to the last server too: a plain request would end its handshake.
h.connect().writeln("GET /c HTTP/1.0").writeln("");
var status = h.readln(), blank = h.readln();
println(status + "|" + blank + "|" + h.readln());
h.close();
println(HTTPS.get(base + EXPIRED + "/").indexOf("GET /") == 0);
try { HTTPS.get(base + WRONG + "/"); } catch (e) { println(e); }
HTTPS.get(base + SELF + "/");
)");
    EXPECT_EQ(runner.out, "true\r\nHTTP/1.0 200 OK||GET /c HTTP/1.0\r\ntrue\r\nESocketError\r\n");
    ASSERT_EQ(runner.errors.size(), 1u);
    EXPECT_TRUE(runner.errors.front().second.ends_with("=> HTTP.get error")) << runner.errors.front().second;
}
