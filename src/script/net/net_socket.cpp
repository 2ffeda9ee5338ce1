// TgSocket on POSIX sockets: IPv4, non-blocking descriptors waited on with poll in
// one-second slices, MSG_NOSIGNAL so a closed peer never raises SIGPIPE.
#include "script/net/net_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>
#include <set>

namespace kestrel {

namespace {

constexpr int kOneSecondMs = 1000;
constexpr int kPollSliceMs = 10;
// Room of the read-ahead: one network read serves this many bytes of short lines.
constexpr std::size_t kReadAheadSize = 64 * 1024;
constexpr int kListenBacklog = 5;
constexpr int kResolveAttempts = 5;
constexpr std::uint32_t kNoAddress = 0xFFFFFFFFu;

std::mutex acceptedLock;
std::set<int> acceptedSockets;

std::string DottedAddress(std::uint32_t networkOrder) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr address{};
    address.s_addr = networkOrder;
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

// poll that resumes after a signal, counting the time already waited.
int PollOnce(int socket, short events, int timeoutMs) {
    pollfd entry{socket, events, 0};
    int result;
    do {
        result = ::poll(&entry, 1, timeoutMs);
    } while (result < 0 && errno == EINTR);
    if (result > 0 && (entry.revents & POLLNVAL)) {
        errno = EBADF;
        return -1;
    }
    return result;
}

}  // namespace

bool ClaimAcceptedSocket(int socket) {
    std::lock_guard lock(acceptedLock);
    return acceptedSockets.erase(socket) > 0;
}

TgSocket::TgSocket(int bufferSize) : buffer_(static_cast<std::size_t>(std::max(bufferSize, 1))) {}

TgSocket::TgSocket(int socket, int bufferSize) : TgSocket(bufferSize) {
    socket_ = socket;
    Connected = true;
    Timeout = kAcceptedTimeout;
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    if (::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) == 0) {
        peerAddress_ = peer.sin_addr.s_addr;
        connectedPort_ = ntohs(peer.sin_port);
    }
    // Waits are done with poll; the descriptor must never block a send or receive.
    int flags = ::fcntl(socket, F_GETFL);
    if (flags >= 0) ::fcntl(socket, F_SETFL, flags | O_NONBLOCK);
}

TgSocket::~TgSocket() {
    // Destruction never raises: a handler's exception is dropped here.
    try {
        if (Connected) Disconnect();
    } catch (...) {
    }
    if (socket_ >= 0) ::close(socket_);
}

void TgSocket::Status(const std::string& text, int level) {
    if (level > StatusLevel || !OnStatus) return;
    try {
        OnStatus(*this, text);
    } catch (...) {
    }
}

void TgSocket::ReportFailure(const char* statusText, std::int32_t code) {
    LastError = code;
    if (statusText) Status(statusText, kStatusNormal);
    Status(std::string("dbg>") + SocketErrorName(code), kStatusDebug);
    if (OnError) OnError(*this, code & 0xFFFF, SocketErrorName(code));
}

void TgSocket::CloseHandle() {
    if (socket_ < 0) return;
    Status("rtn>socket(" + std::to_string(socket_) + ")をcloseします", kStatusRoutine);
    TransportClosing();
    ::close(socket_);
    socket_ = -1;
    // What the old connection sent never reaches the next one.
    aheadBegin_ = aheadEnd_ = 0;
}

std::string TgSocket::PeerAddress() const {
    return peerAddress_ < 0 ? std::string() : DottedAddress(static_cast<std::uint32_t>(peerAddress_));
}

std::uint32_t TgSocket::Resolve(const std::string& host, bool& found) {
    found = false;
    if (host.empty()) {
        LastError = kWsaHostNotFound;
        return kNoAddress;
    }
    in_addr dotted{};
    if (::inet_pton(AF_INET, host.c_str(), &dotted) == 1) {
        found = true;
        return dotted.s_addr;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &list);
    if (result != 0 || !list) {
        LastError = SocketErrorFromResolver(result);
        return kNoAddress;
    }
    std::uint32_t address = reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(list);
    found = true;
    return address;
}

void TgSocket::Connect() {
    if (Connected) Disconnect();
    bool found = false;
    std::uint32_t address = kNoAddress;
    for (int attempt = 0; attempt < kResolveAttempts; ++attempt) {
        Status("rtn>" + Host + "を探しています", kStatusRoutine);
        address = Resolve(Host, found);
        if (found) break;
        Status("err>" + Host + "が見つかりません", kStatusNormal);
        bool retry = false;
        if (OnInvalidHost) OnInvalidHost(retry);
        if (!retry) break;
    }
    if (!found) {
        if (OnError) OnError(*this, LastError & 0xFFFF, SocketErrorName(LastError));
        throw ETCPIPError(Host, static_cast<std::int32_t>(address));
    }
    Status("suc>" + Host + "が見つかりました", kStatusNormal);
    if (OnHostResolved) OnHostResolved(*this);

    CloseHandle();
    Status("rtn>socketを作成します", kStatusRoutine);
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket_ < 0) {
        std::int32_t code = SocketErrorFromErrno(errno);
        ReportFailure("err>socketの作成に失敗しました", code);
        throw ESocketError(code);
    }
    Status("dbg>socket(" + std::to_string(socket_) + ")を作成しました", kStatusDebug);
    ConnectWithTimeout(address);
}

void TgSocket::ConnectWithTimeout(std::uint32_t address) {
    Status("rtn>" + Host + "にconnectします", kStatusRoutine);
    std::string where = Host + "(" + DottedAddress(address) + "):" + std::to_string(Port);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(Port);
    target.sin_addr.s_addr = address;
    std::int32_t code = 0;
    if (::connect(socket_, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
        if (errno != EINPROGRESS) {
            code = SocketErrorFromErrno(errno);
        } else {
            // Linux alone would wait about two minutes; Timeout bounds the attempt.
            int ready = PollOnce(socket_, POLLOUT, std::max(Timeout, 1) * kOneSecondMs);
            int error = 0;
            socklen_t length = sizeof error;
            if (ready < 0)
                code = SocketErrorFromErrno(errno);
            else if (ready == 0)
                code = kWsaTimedOut;
            else if (::getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
                code = SocketErrorFromErrno(error ? error : errno);
        }
    }
    if (code != 0) {
        LastError = code;
        Status("err>" + where + "にconnect失敗しました", kStatusNormal);
        if (OnConnectionFailed) OnConnectionFailed(*this);
        Status(std::string("dbg>") + SocketErrorName(code), kStatusDebug);
        if (OnError) OnError(*this, code & 0xFFFF, SocketErrorName(code));
        CloseHandle();
        throw ESocketError(code);
    }
    peerAddress_ = address;
    connectedPort_ = Port;
    Status("suc>" + where + "にconnect成功しました", kStatusNormal);
    Connected = true;
    EndOfData = false;
    if (OnConnect) OnConnect(*this);
}

void TgSocket::Disconnect() {
    if (Connected) Status("nfo>" + Host + ":" + std::to_string(Port) + "から切断します", kStatusNormal);
    CloseHandle();
    peerAddress_ = -1;
    Connected = false;
    if (OnDisconnect) OnDisconnect(*this);
}

bool TgSocket::IsConnected() const {
    if (!Connected || socket_ < 0) return false;
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    return ::getpeername(socket_, reinterpret_cast<sockaddr*>(&peer), &length) == 0;
}

void TgSocket::WaitFor(TWait what) {
    TimedOut = false;
    short events = what == TWait::Read ? POLLIN : POLLOUT;
    int ready = 0;
    bool aborted = false;
    for (int second = 0; second < Timeout && !aborted; ++second) {
        ready = PollOnce(socket_, events, kOneSecondMs);
        if (ready != 0) break;
        if (OnIdle) OnIdle(*this, aborted);
    }
    if (ready > 0) return;
    bool reading = what == TWait::Read;
    if (ready < 0) {
        std::int32_t code = SocketErrorFromErrno(errno);
        ReportFailure("err>socket error", code);
        throw ESocketError(code);
    }
    TimedOut = true;
    ReportFailure(reading ? "err>recv timeout" : "err>send timeout", kWsaTimedOut);
    throw ESocketTimeout(reading ? kReceiveTimeoutMessage : kSendTimeoutMessage);
}

std::size_t TgSocket::ReceiveInto(char* buffer, std::size_t size, bool closeAtEnd) {
    EndOfData = true;
    TimedOut = false;
    if (socket_ < 0) return 0;  // the peer closed earlier
    // Read first and wait only when nothing is there: a busy stream costs one call.
    for (;;) {
        long count = TransportReceive(buffer, size);
        if (count < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                WaitFor(TWait::Read);
                continue;
            }
            std::int32_t code = SocketErrorFromErrno(errno);
            ReportFailure("err>socket error", code);
            throw ESocketError(code);
        }
        if (count == 0) {
            if (closeAtEnd) CloseHandle();
            return 0;
        }
        EndOfData = false;
        return static_cast<std::size_t>(count);
    }
}

long TgSocket::TransportReceive(char* buffer, std::size_t size) { return ::recv(socket_, buffer, size, 0); }

long TgSocket::TransportSend(const char* data, std::size_t count) {
    return ::send(socket_, data, count, MSG_NOSIGNAL);
}

bool TgSocket::FillAhead() {
    if (ahead_.empty()) ahead_.resize(kReadAheadSize);
    aheadBegin_ = 0;
    aheadEnd_ = ReceiveInto(ahead_.data(), ahead_.size(), false);
    return aheadEnd_ > 0;
}

void TgSocket::Delivered(std::size_t count) {
    if (Reports(kStatusDebug)) Status("dbg>socketから " + std::to_string(count) + " bytes読み込みました", kStatusDebug);
    BytesRead += count;
    BytesTotal += count;
    bool cancel = false;
    if (OnPacketRecvd) OnPacketRecvd(*this, static_cast<std::int64_t>(count), cancel);
    if (cancel) throw ESocketError(0);
}

void TgSocket::Consume(std::size_t count) {
    aheadBegin_ += count;
    Delivered(count);
}

std::size_t TgSocket::Receive(char* buffer, std::size_t size) {
    std::size_t count = std::min(size, Buffered());
    if (count > 0) {
        std::memcpy(buffer, ahead_.data() + aheadBegin_, count);
        EndOfData = false;
        Consume(count);
        return count;
    }
    // Nothing read ahead: straight from the transport into the caller's buffer.
    count = ReceiveInto(buffer, size, true);
    if (count > 0) Delivered(count);
    return count;
}

std::size_t TgSocket::Peek(char* buffer, std::size_t size) {
    if (Buffered() == 0 && !FillAhead()) return 0;
    EndOfData = false;
    std::size_t count = std::min(size, Buffered());
    std::memcpy(buffer, ahead_.data() + aheadBegin_, count);
    return count;
}

std::string TgSocket::ReadLine(std::size_t maxLength) {
    std::string line;
    for (;;) {
        // A close gives what arrived of the line.
        if (Buffered() == 0 && !FillAhead()) return line;
        const char* first = ahead_.data() + aheadBegin_;
        const char* last = ahead_.data() + aheadEnd_;
        // The earliest LF or CR ends the line; CR LF is one terminator.
        const char* end = std::find_if(first, last, [](char c) { return c == '\n' || c == '\r'; });
        std::size_t before = static_cast<std::size_t>(end - first);
        if (before > maxLength - line.size()) throw ELineTooLong();
        line.append(first, before);
        if (end == last) {
            Consume(before);
            continue;
        }
        bool cr = *end == '\r';
        if (cr && end + 1 < last && end[1] == '\n') {
            Consume(before + 2);
        } else {
            Consume(before + 1);
            // A CR LF split between two segments: the LF belongs to this line.
            if (cr && end + 1 == last && FillAhead() && ahead_[aheadBegin_] == '\n') Consume(1);
        }
        return line;
    }
}

std::string TgSocket::ReadText(std::int64_t count) {
    std::string text;
    while (count < 0 || static_cast<std::int64_t>(text.size()) < count) {
        std::size_t want = buffer_.size();
        if (count >= 0) want = std::min<std::size_t>(want, static_cast<std::size_t>(count) - text.size());
        std::size_t got = Receive(buffer_.data(), want);
        if (got == 0) break;
        text.append(buffer_.data(), got);
    }
    return text;
}

void TgSocket::ReceiveToStream(std::ostream& stream, std::int64_t position, std::int64_t count) {
    stream.seekp(position);
    std::int64_t left = count;
    while (count < 0 || left > 0) {
        std::size_t want = buffer_.size();
        if (count >= 0) want = std::min<std::size_t>(want, static_cast<std::size_t>(left));
        std::size_t got = Receive(buffer_.data(), want);
        if (got == 0) break;
        stream.write(buffer_.data(), static_cast<std::streamsize>(got));
        if (!stream) throw ELocalError("write error");
        left -= static_cast<std::int64_t>(got);
    }
}

void TgSocket::ReceiveFile(const std::string& name) {
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    if (!file) throw ELocalError("cannot create " + name);
    ReceiveToStream(file, 0, -1);
    file.flush();
    if (!file) throw ELocalError("write error");
}

void TgSocket::SendChunk(const char* data, std::size_t count) {
    std::size_t done = 0;
    TimedOut = false;
    do {
        long sent = TransportSend(data + done, count - done);
        if (sent < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                WaitFor(TWait::Write);
                continue;
            }
            std::int32_t code = SocketErrorFromErrno(errno);
            ReportFailure("err>socket error", code);
            throw ESocketError(code);
        }
        done += static_cast<std::size_t>(sent);
    } while (done < count);
}

void TgSocket::SendBuffer(const char* data, std::size_t count) {
    if (socket_ < 0) {
        ReportFailure("err>socket error", 10057);
        throw ESocketError(10057);
    }
    for (std::size_t offset = 0; offset < count;) {
        std::size_t chunk = std::min(buffer_.size(), count - offset);
        SendChunk(data + offset, chunk);
        offset += chunk;
        if (Reports(kStatusDebug))
            Status("dbg>socketに " + std::to_string(chunk) + " bytes書き込みました", kStatusDebug);
        BytesWrote += chunk;
        BytesTotal += chunk;
        bool cancel = false;
        if (OnPacketSent) OnPacketSent(*this, static_cast<std::int64_t>(chunk), cancel);
        if (cancel) throw ESocketError(0);
    }
}

void TgSocket::SendStream(std::istream& stream, std::int64_t position, std::int64_t count) {
    stream.seekg(position);
    std::int64_t left = count;
    while (stream && (count < 0 || left > 0)) {
        std::size_t want = buffer_.size();
        if (count >= 0) want = std::min<std::size_t>(want, static_cast<std::size_t>(left));
        stream.read(buffer_.data(), static_cast<std::streamsize>(want));
        std::size_t got = static_cast<std::size_t>(stream.gcount());
        if (got == 0) break;
        // The buffer is the transfer buffer: send a copy so SendBuffer may reuse it.
        std::string chunk(buffer_.data(), got);
        SendBuffer(chunk.data(), chunk.size());
        left -= static_cast<std::int64_t>(got);
    }
}

void TgSocket::SendFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) return;
    SendStream(file, 0, -1);
}

void TgSocket::Command(const std::string& line, bool noSend) {
    if (!noSend) SendLine(line);
    bool blank = std::all_of(line.begin(), line.end(), [](unsigned char c) { return c <= ' '; });
    if (!blank) Status("cmd>" + line, kStatusNormal);
}

std::string TgSocket::Response() {
    LastResponse = ReadLine();
    if (!LastResponse.empty()) Status("res>" + LastResponse, kStatusNormal);
    return LastResponse;
}

std::string TgSocket::CommandLines(const std::string& command) {
    SendLine(command);
    std::string joined;
    for (bool first = true;; first = false) {
        std::string line = ReadLine();
        if (line.empty()) break;
        if (!first) joined += "\r\n";
        joined += line;
        if (AtEndOfData()) break;
    }
    LastResponse = joined;
    return joined;
}

bool TgSocket::BindAndListen(int port) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ReportFailure(("err>port " + std::to_string(port) + "でbind失敗しました").c_str(),
                      SocketErrorFromErrno(errno));
        return false;
    }
    Status("suc>port " + std::to_string(port) + "でbind成功しました", kStatusRoutine);
    return true;
}

void TgSocket::Listen() {
    CloseHandle();
    Listening = false;
    Status("rtn>socketを作成します", kStatusRoutine);
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket_ < 0) {
        std::int32_t code = SocketErrorFromErrno(errno);
        ReportFailure("err>socketの作成に失敗しました", code);
        throw EBindError(SocketErrorName(code));
    }
    int on = 1;
    ::setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (!BindAndListen(Port)) {
        CloseHandle();
        throw EBindError(SocketErrorName(LastError));
    }
    Status("rtn>listenを開始します", kStatusRoutine);
    if (::listen(socket_, kListenBacklog) != 0) {
        ReportFailure("err>listen失敗しました", SocketErrorFromErrno(errno));
        CloseHandle();
        throw EBindError(SocketErrorName(LastError));
    }
    Status("suc>listen成功しました", kStatusRoutine);
    Listening = true;
}

int TgSocket::BindRange(int firstPort, int count) {
    Status("rtn>port " + std::to_string(firstPort) + "～" + std::to_string(firstPort + count - 1) +
               "の範囲でbindを開始します",
           kStatusRoutine);
    std::minstd_rand random(std::random_device{}());
    for (int attempt = 0; attempt < count; ++attempt) {
        int port = firstPort + static_cast<int>(random() % static_cast<unsigned>(std::max(count, 1)));
        Port = static_cast<std::uint16_t>(port);
        try {
            Listen();
            return port;
        } catch (const EBindError&) {
            // reported already; the next port is tried
        }
    }
    throw EBindError(SocketErrorName(LastError));
}

int TgSocket::Accept() {
    Status("rtn>acceptを開始します", kStatusRoutine);
    int accepted = -1;
    if (socket_ >= 0) {
        do {
            accepted = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (accepted >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) break;
            WaitFor(TWait::Read);
        } while (true);
    }
    if (accepted < 0) {
        ReportFailure("err>acceptに失敗しました", socket_ < 0 ? 10038 : SocketErrorFromErrno(errno));
        return -1;
    }
    Status("suc>acceptに成功しました", kStatusRoutine);
    Status("dbg>socket(" + std::to_string(accepted) + ")を受け取りました", kStatusDebug);
    {
        std::lock_guard lock(acceptedLock);
        acceptedSockets.insert(accepted);
    }
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    std::string address;
    if (::getpeername(accepted, reinterpret_cast<sockaddr*>(&peer), &length) == 0)
        address = DottedAddress(peer.sin_addr.s_addr);
    if (OnAccept) OnAccept(*this, accepted, address);
    return accepted;
}

int TgSocket::Poll() {
    if (socket_ < 0) return 0;
    pollfd entry{socket_, POLLIN | POLLOUT, 0};
    // Bytes read ahead can be read at once: no reason to wait for more.
    bool buffered = Buffered() > 0;
    if (::poll(&entry, 1, buffered ? 0 : kPollSliceMs) <= 0) entry.revents = 0;
    if (buffered) entry.revents |= POLLIN;
    if (entry.revents == 0) return 0;
    int flags = 0;
    if (entry.revents & POLLIN) {
        flags |= kPollReadable;
        if (OnDataAvailable) OnDataAvailable(*this);
    }
    if (entry.revents & POLLOUT) flags |= kPollWritable;
    if (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) flags |= kPollError;
    return flags;
}

void TgSocket::Cancel() {
    Cancelled = true;
    Status("rtn>cancelします", kStatusRoutine);
    if (Connected) Disconnect();
    throw ESocketCancel();
}

std::string TgSocket::LocalAddress() const {
    if (Connected && socket_ >= 0) {
        sockaddr_in local{};
        socklen_t length = sizeof local;
        if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length) == 0)
            return DottedAddress(local.sin_addr.s_addr);
    }
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) == 0) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* list = nullptr;
        if (::getaddrinfo(name, nullptr, &hints, &list) == 0 && list) {
            std::string address = DottedAddress(reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr.s_addr);
            ::freeaddrinfo(list);
            return address;
        }
    }
    // A host name that does not resolve: the loopback address still names this machine.
    return "127.0.0.1";
}

std::string TgSocket::AddressArgument() const {
    std::string address = LocalAddress();
    std::replace(address.begin(), address.end(), '.', ',');
    return address + ",";
}

std::string TgSocket::PortArgument() const {
    return std::to_string(Port >> 8) + "," + std::to_string(Port & 0xFF);
}

}  // namespace kestrel
