// The web client against Debian's nginx on 127.0.0.1: HEAD, byte ranges and keep-alive
// connections, which a real server answers on its own terms, over HTTP and TLS.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "nginx_server.h"
#include "script/net/net_https.h"

using namespace kestrel;

namespace {

constexpr int kBufferSize = 65536;
constexpr int kFileSize = 1000;
// A connection that is kept open must not make a request wait out its time-out.
constexpr int kTimeout = 5;

class Nginx : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = std::make_unique<nettest::NginxServer>();
        for (int i = 0; i < kFileSize; ++i) data_ += static_cast<char>('a' + i % 26);
        std::ofstream(server_->Root() / "data", std::ios::binary) << data_;
        ::setenv("SSL_CERT_FILE", server_->Certificate().c_str(), 1);
    }
    static void TearDownTestSuite() { server_.reset(); }

    static inline std::unique_ptr<nettest::NginxServer> server_;
    static inline std::string data_;
};

}  // namespace

TEST_F(Nginx, HeadRangesAndKeptConnections) {
    using THeaders = std::vector<std::pair<std::string, std::string>>;
    const THeaders keepAlive = {{"Connection", "keep-alive"}};
    struct Case {
        const char* name;
        bool tls;
        bool head;
        const char* path;
        const char* version;
        THeaders headers;
        int statusCode;         // the answer's status; 400 and above is raised
        std::string body;
        std::int64_t contentLength;
    } cases[] = {
        {"closing 1.0", false, false, "/data", "1.0", {}, 200, data_, kFileSize},
        {"kept 1.0", false, false, "/data", "1.0", keepAlive, 200, data_, kFileSize},
        {"kept 1.1", false, false, "/data", "1.1", keepAlive, 200, data_, kFileSize},
        {"head kept", false, true, "/data", "1.1", keepAlive, 200, "", kFileSize},
        {"range", false, false, "/data", "1.1", {{"Connection", "keep-alive"}, {"Range", "bytes=100-199"}}, 206,
         data_.substr(100, 100), 100},
        {"suffix range", false, false, "/data", "1.0", {{"Range", "bytes=-10"}}, 206, data_.substr(990), 10},
        {"unsatisfiable range", false, false, "/data", "1.1", {{"Connection", "keep-alive"}, {"Range", "bytes=5000-"}},
         416, "", 0},
        {"missing", false, false, "/missing", "1.1", keepAlive, 404, "", 0},
        {"tls kept 1.1", true, false, "/data", "1.1", keepAlive, 200, data_, kFileSize},
        {"tls head", true, true, "/data", "1.0", {}, 200, "", kFileSize},
    };
    for (const Case& test : cases) {
        TgHTTPS http(kBufferSize);
        http.Timeout = kTimeout;
        http.Version = test.version;
        for (const auto& [name, value] : test.headers) http.RequestHeaders.Set(name, value);
        std::string body;
        std::string address = server_->Url(test.tls, test.path);
        try {
            if (test.head)
                http.Head(address);
            else
                http.Get(address, body);
            EXPECT_LT(test.statusCode, 400) << test.name;
        } catch (const EProtocolError& error) {
            EXPECT_EQ(error.Code, test.statusCode) << test.name;
        }
        EXPECT_EQ(http.StatusCode, test.statusCode) << test.name;
        EXPECT_EQ(body, test.body) << test.name;
        if (test.statusCode < 400) {
            EXPECT_EQ(http.ContentLength, test.contentLength) << test.name;
        }
        EXPECT_FALSE(http.Connected) << test.name;
    }
}

TEST_F(Nginx, NotModifiedHasNoBody) {
    TgHTTP http(kBufferSize);
    http.Timeout = kTimeout;
    http.Version = "1.1";
    http.RequestHeaders.Set("Connection", "keep-alive");
    http.Head(server_->Url(false, "/data"));
    std::string tag = http.ResponseHeaders.Get("etag");
    ASSERT_FALSE(tag.empty());
    http.RequestHeaders.Set("If-None-Match", tag);
    std::string body = "unchanged";
    http.Get(server_->Url(false, "/data"), body);
    EXPECT_EQ(http.StatusCode, 304);
    EXPECT_EQ(body, "unchanged");
}
