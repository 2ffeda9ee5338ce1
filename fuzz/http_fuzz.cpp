// Fuzz target of the web client's response reading: any bytes as a server's reply,
// through the status line, headers, cookies, locations and the body framing
// (Content-Length, chunks, until the close), fed through a socket pair
// (fuzz/run.sh http).
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "script/net/net_http.h"

using namespace kestrel;

namespace {
// Replies beyond what one socket pair buffers are cut: the writer never blocks.
constexpr std::size_t kMaxReply = 96 * 1024;
constexpr int kFuzzBuffer = 4096;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxReply) size = kMaxReply;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return 0;
    int room = static_cast<int>(2 * kMaxReply);
    ::setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
    ::setsockopt(ends[0], SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
    for (std::size_t sent = 0; sent < size;) {
        ssize_t n = ::send(ends[1], data + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    ::close(ends[1]);
    TgHTTP http(ends[0], kFuzzBuffer);
    http.Timeout = 1;
    http.CurrentUrl = "http://host.example:8080/dir/page.html?q=1";
    std::string body;
    try {
        http.ReadResponse();
        http.ReceiveBody([&](const char* bytes, std::size_t count) { body.append(bytes, count); });
    } catch (const EgSocket&) {
        // refusals are expected outcomes
    }
    (void)http.ResponseHeaders.Cookies.SetCookieText();
    return 0;
}
