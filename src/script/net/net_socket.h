// TgSocket: the blocking TCP connection every network object is built on. It resolves,
// connects, listens and accepts, sends and receives bytes, lines and files, waits in
// one-second slices (so callers hear about each second and can abort), keeps byte
// counters, reports each step as a status text and raises the errors of net_errors.h.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <limits>
#include <string>
#include <vector>

#include "script/net/net_errors.h"

namespace kestrel {

// The levels of status texts; a text is reported when its level is at most StatusLevel.
inline constexpr int kStatusInfo = 1;      // the web client's request messages
inline constexpr int kStatusNormal = 2;    // "suc>", "err>", "nfo>", "cmd>", "res>"
inline constexpr int kStatusRoutine = 4;   // "rtn>", and "suc>" of bind, listen, accept
inline constexpr int kStatusDebug = 8;     // "dbg>"

inline constexpr int kConnectTimeout = 30;   // one-second waits of a connecting socket
inline constexpr int kAcceptedTimeout = 120; // ... and of an accepted connection

// The flags Poll returns.
inline constexpr int kPollReadable = 1;
inline constexpr int kPollWritable = 2;
inline constexpr int kPollError = 4;

// A line longer than the limit a caller gave ReadLine.
class ELineTooLong : public EgSocket {
public:
    ELineTooLong() : EgSocket("line too long") {}
};

class TgSocket {
public:
    using TNotify = std::function<void(TgSocket& sender)>;
    using TCountEvent = std::function<void(TgSocket& sender, std::int64_t count, bool& cancel)>;

    explicit TgSocket(int bufferSize);
    // Wraps a connection Accept returned: connected, the peer's address read back,
    // Timeout 120.
    TgSocket(int socket, int bufferSize);
    virtual ~TgSocket();
    TgSocket(const TgSocket&) = delete;
    TgSocket& operator=(const TgSocket&) = delete;

    bool Cancelled = false;
    bool TimedOut = false;
    std::uint64_t BytesRead = 0;
    std::uint64_t BytesWrote = 0;
    std::uint64_t BytesTotal = 0;
    std::string Host;
    std::int32_t LastError = 0;
    std::uint16_t Port = 0;
    int StatusLevel = kStatusNormal;
    std::string LastResponse;
    int Timeout = kConnectTimeout;
    bool EndOfData = false;
    bool Listening = false;
    bool Connected = false;

    TNotify OnConnect, OnConnectionFailed, OnDisconnect, OnHostResolved, OnDataAvailable;
    std::function<void(TgSocket& sender, int code, const std::string& text)> OnError;
    std::function<void(bool& retry)> OnInvalidHost;
    TCountEvent OnPacketRecvd, OnPacketSent;
    std::function<void(TgSocket& sender, const std::string& text)> OnStatus;
    std::function<void(TgSocket& sender, int socket, const std::string& address)> OnAccept;
    std::function<void(TgSocket& sender, bool& abort)> OnIdle;

    int BufferSize() const { return static_cast<int>(buffer_.size()); }
    int Handle() const { return socket_; }
    // The peer's dotted address, empty when there is none.
    std::string PeerAddress() const;

    void Connect();
    void Disconnect();
    bool IsConnected() const;

    void SendBuffer(const char* data, std::size_t count);
    void SendText(const std::string& text) { SendBuffer(text.data(), text.size()); }
    void SendLine(const std::string& text) { SendText(text + "\r\n"); }
    // Count -1: to the end of the stream.
    void SendStream(std::istream& stream, std::int64_t position, std::int64_t count);
    // A missing file sends nothing.
    void SendFile(const std::string& name);

    // Receive and Peek hand out what the read-ahead holds before asking the network.
    std::size_t Receive(char* buffer, std::size_t size);
    std::size_t Peek(char* buffer, std::size_t size);
    // A line without its terminator (CR LF, LF or CR, whichever comes first). Past
    // MaxLength bytes ELineTooLong is raised; the socket itself sets no limit.
    std::string ReadLine(std::size_t maxLength = std::numeric_limits<std::size_t>::max());
    // Count -1: until the connection closes.
    std::string ReadText(std::int64_t count);
    void ReceiveToStream(std::ostream& stream, std::int64_t position, std::int64_t count);
    void ReceiveFile(const std::string& name);

    void Command(const std::string& line, bool noSend);
    std::string Response();
    std::string CommandLines(const std::string& command);

    void Listen();
    int BindRange(int firstPort, int count);
    // The accepted connection's descriptor, or -1.
    int Accept();
    int Poll();
    [[noreturn]] void Cancel();
    [[noreturn]] void Abort() { Cancel(); }

    std::string LocalAddress() const;
    std::string AddressArgument() const;
    std::string PortArgument() const;

    // True when EndOfData is set or the socket is no longer connected.
    bool AtEndOfData() const { return EndOfData || !IsConnected(); }

    // Reports Text when Level is at most StatusLevel; the handler's exceptions are
    // swallowed.
    void Status(const std::string& text, int level);
    // Whether a text of Level would reach anyone (so it is worth building).
    bool Reports(int level) const { return level <= StatusLevel && OnStatus; }

protected:
    // The error of the last failed call: recorded, reported, OnError called.
    void ReportFailure(const char* statusText, std::int32_t code);
    // Closes the handle (reported at the routine level) without the disconnect steps.
    void CloseHandle();

    enum class TWait { Read, Write };
    // Up to Timeout one-second waits; raises on failure, time-out or abort.
    void WaitFor(TWait what);

    // The byte transport under the waits: the plain socket here, TLS in a subclass.
    // Both return -1 with errno set on failure (EAGAIN: wait and try again). The
    // read-ahead sits above it, so TLS sees only whole reads.
    virtual long TransportReceive(char* buffer, std::size_t size);
    virtual long TransportSend(const char* data, std::size_t count);
    // The handle is about to be closed.
    virtual void TransportClosing() {}

    // The transfer buffer of BufferSize bytes, for a subclass's own chunked reads.
    char* TransferBuffer() { return buffer_.data(); }
    // Bytes received from the transport that nobody has taken yet.
    std::size_t Buffered() const { return aheadEnd_ - aheadBegin_; }

private:
    // One read from the transport (waiting first when it has nothing); 0 when the peer
    // closed, which also closes the handle when CloseAtEnd.
    std::size_t ReceiveInto(char* buffer, std::size_t size, bool closeAtEnd);
    // Refills the empty read-ahead with one transport read; false when the peer closed.
    bool FillAhead();
    // Takes Count read-ahead bytes off as received by the caller.
    void Consume(std::size_t count);
    // Counts, reports and offers to OnPacketRecvd Count bytes the caller received.
    void Delivered(std::size_t count);
    // Sends one chunk, waiting as often as the socket takes only part of it.
    void SendChunk(const char* data, std::size_t count);
    std::uint32_t Resolve(const std::string& host, bool& found);
    void ConnectWithTimeout(std::uint32_t address);
    bool BindAndListen(int port);

    int socket_ = -1;
    std::int64_t peerAddress_ = -1;
    int connectedPort_ = 0;
    std::vector<char> buffer_;
    // The read-ahead: lines are cut from it, so a line costs no system call of its own.
    std::vector<char> ahead_;
    std::size_t aheadBegin_ = 0;
    std::size_t aheadEnd_ = 0;
};

// The descriptors this process's Accept returned and nobody wrapped yet: a script
// may only wrap one of those, never an arbitrary descriptor of the process.
bool ClaimAcceptedSocket(int socket);

}  // namespace kestrel
