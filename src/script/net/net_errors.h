// The errors of the network objects and the Windows Sockets numbering scripts see:
// system errors are mapped to those numbers so codes and names stay the same everywhere.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kestrel {

// Base of every network error; carries the message.
class EgSocket : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failed socket call; code 0 for an abort a read or write handler asked for.
class ESocketError : public EgSocket {
public:
    explicit ESocketError(std::int32_t code);
    std::int32_t Code;
};

// A failure a server reported at protocol level (the web client: name "http").
class EProtocolError : public EgSocket {
public:
    EProtocolError(const std::string& name, std::uint16_t code, const std::string& text);
    std::uint16_t Code;
    std::string Name;
    std::string Text;
};

// A host name that did not resolve.
class ETCPIPError : public EgSocket {
public:
    ETCPIPError(const std::string& host, std::int32_t address);
    std::int32_t Address;
};

class ESocketTimeout : public EgSocket {
public:
    using EgSocket::EgSocket;
};

class ESocketCancel : public EgSocket {
public:
    ESocketCancel() : EgSocket("cancel") {}
};

// A failed bind or listen; the message is the error name.
class EBindError : public EgSocket {
public:
    using EgSocket::EgSocket;
};

class EProtocolBusy : public EgSocket {
public:
    using EgSocket::EgSocket;
};

class ELocalError : public EgSocket {
public:
    using EgSocket::EgSocket;
};

inline constexpr const char* kReceiveTimeoutMessage = "socket timeout";
inline constexpr const char* kSendTimeoutMessage = "Send Timeout";

// Windows Sockets numbers the objects report.
inline constexpr std::int32_t kWsaWouldBlock = 10035;
inline constexpr std::int32_t kWsaTimedOut = 10060;
inline constexpr std::int32_t kWsaHostNotFound = 11001;

// The Windows Sockets name of Code, "UNKNOWN ERROR" for any code outside the table.
const char* SocketErrorName(std::int32_t code);

// errno as a Windows Sockets number; an errno without a counterpart stays as it is.
std::int32_t SocketErrorFromErrno(int error);

// A getaddrinfo result as a Windows Sockets number (11001 .. 11004).
std::int32_t SocketErrorFromResolver(int result);

}  // namespace kestrel
