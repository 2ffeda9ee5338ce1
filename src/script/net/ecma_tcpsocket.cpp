// TJTCPSocketObject: the client, server and accepted-connection methods.
#include "script/net/ecma_tcpsocket.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include "script/ext/ext_common.h"

namespace kestrel {

using ext::Arg;

namespace {

constexpr std::string_view kPrefix = "TCPSocket";

TJTCPSocketObject& Tcp(TJObject& self) { return static_cast<TJTCPSocketObject&>(self); }

// The socket the constructor's argument names, when this engine accepted it and
// nothing wraps it yet; else the constructor's error.
std::unique_ptr<TgSocket> MakeSocket(const TJValueList* param) {
    const TJValue* number = Arg(param, 0);
    if (!number) return std::make_unique<TgSocket>(kScriptSocketBufferSize);
    const double socket = number->AsDouble();
    if (!(socket >= 0 && socket <= INT32_MAX) || !ClaimAcceptedSocket(static_cast<int>(socket)))
        ThrowError(kSocketErrorName, "TCPSocket.create error");
    return std::make_unique<TgSocket>(static_cast<int>(socket), kScriptSocketBufferSize);
}

// The port the listening socket got (port 0 asks the system for a free one).
std::uint16_t BoundPort(const TgSocket& socket) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(socket.Handle(), reinterpret_cast<sockaddr*>(&local), &length) != 0) return socket.Port;
    return ntohs(local.sin_port);
}

void Abort(TJObject& self, const TJValueList*, TJValue& result) {
    TJTCPSocketObject& object = Tcp(self);
    object.Guard("abort", [&] { object.Socket().Abort(); });
    result.BuildObject(&self);  // not reached: an abort always ends in the error
}

void SendFile(TJObject& self, const TJValueList* args, TJValue& result) {
    TJTCPSocketObject& object = Tcp(self);
    result.BuildObject(&self);
    const TJValue* name = Arg(args, 0);
    if (!name) return;
    const std::string file(name->AsString().view());
    object.Guard("sendFile", [&] { object.Socket().SendFile(file); });
}

void Bind(TJObject& self, const TJValueList*, TJValue& result) {
    TJTCPSocketObject& object = Tcp(self);
    object.Guard("bind", [&] {
        TgSocket& socket = object.Socket();
        socket.Listen();
        // `port` reads back the port the system chose for port 0.
        socket.Port = BoundPort(socket);
    });
    result.BuildObject(&self);
}

void Accept(TJObject& self, const TJValueList*, TJValue& result) {
    TJTCPSocketObject& object = Tcp(self);
    int accepted = -1;
    object.Guard("accept", [&] { accepted = object.Socket().Accept(); });
    if (accepted < 0 || !ClaimAcceptedSocket(accepted)) object.Fail("accept");
    result.BuildObject(TJObject::New<TJTCPSocketObject>(self.Engine(), true, nullptr, accepted));
}

void IsConnected(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildBool(Tcp(self).Socket().IsConnected());
}

std::string GetHost(TJObject& self, int) { return Tcp(self).Socket().Host; }
void SetHost(TJObject& self, int, std::string_view host) { Tcp(self).Socket().Host = host; }
std::int64_t GetPort(TJObject& self, int) { return Tcp(self).Socket().Port; }
void SetPort(TJObject& self, int, std::int64_t port) { Tcp(self).Socket().Port = static_cast<std::uint16_t>(port); }

}  // namespace

TJTCPSocketObject::TJTCPSocketObject(TJBaseEngine* engine, const TJValueList* param)
    : TJBaseSocketObject(engine, param, kPrefix, MakeSocket(param)) {
    SetObjectName("TCPSocket");
}

TJTCPSocketObject::TJTCPSocketObject(TJBaseEngine* engine, const TJValueList* param, int acceptedSocket)
    : TJBaseSocketObject(engine, param, kPrefix, std::make_unique<TgSocket>(acceptedSocket, kScriptSocketBufferSize)) {
    SetObjectName("TCPSocket");
}

const TJPropertyTable* TJTCPSocketObject::PublishedProperties() const {
    static const TJPropertyTable table{{StringProperty("host", &GetHost, &SetHost),
                                        IntegerProperty("port", TJOrdinalType::U16, &GetPort, &SetPort)},
                                       &BaseProperties()};
    return &table;
}

const TJMethodTable* TJTCPSocketObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("abort", &Abort),
                                         M::Method("sendFile", &SendFile),
                                         M::Method("bind", &Bind),
                                         M::Method("accept", &Accept),
                                         M::Method("isConnected", &IsConnected),
                                     },
                                     &ConnectionMethods()};
    return &table;
}

}  // namespace kestrel
