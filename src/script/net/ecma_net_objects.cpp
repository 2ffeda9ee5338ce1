// The network classes, registered in their order.
#include "script/net/ecma_net_objects.h"

#include "script/net/ecma_cookie.h"
#include "script/net/ecma_http.h"
#include "script/net/ecma_tcpsocket.h"
#include "script/net/ecma_url.h"

namespace kestrel {

void ImportNetObjects(TJBaseEngine& engine) {
    engine.ImportObject("URL", ClassOf<TJURLInfoObject>());
    engine.ImportObject("Cookie", ClassOf<TJCookieObject>());
    engine.ImportObject("HTTP", ClassOf<TJHTTPObject>());
    engine.ImportObject("HTTPS", ClassOf<TJHTTPSObject>());
    engine.ImportObject("TCPSocket", ClassOf<TJTCPSocketObject>());
}

}  // namespace kestrel
