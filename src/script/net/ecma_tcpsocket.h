// The TCPSocket object: a plain TCP connection for scripts, as a client of `host` and
// `port`, as a server listening on `port` (every local address), or as the object of
// a connection its `accept` took.
#pragma once

#include "script/net/ecma_socket_object.h"

namespace kestrel {

class TJTCPSocketObject : public TJBaseSocketObject {
public:
    // Without an argument a new client connection; with a socket number the connection
    // this engine's accept returned for it (any other number: "TCPSocket.create error").
    TJTCPSocketObject(TJBaseEngine* engine, const TJValueList* param);
    // The object of a connection Accept returned and claimed.
    TJTCPSocketObject(TJBaseEngine* engine, const TJValueList* param, int acceptedSocket);

    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
};

}  // namespace kestrel
