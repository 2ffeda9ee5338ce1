// The network classes, registered in their order.
#include "script/net/ecma_net_objects.h"

#include "script/net/ecma_tcpsocket.h"

namespace kestrel {

void ImportNetObjects(TJBaseEngine& engine) {
    engine.ImportObject("TCPSocket", ClassOf<TJTCPSocketObject>());
}

}  // namespace kestrel
