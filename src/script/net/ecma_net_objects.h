// Registration of the script network objects with an engine.
#pragma once

#include "script/core/ecma_type_object.h"

namespace kestrel {

// Registers the network classes in their order: "URL", "Cookie", "HTTP", "HTTPS",
// "TCPSocket" (the mail classes follow, from ImportMailObjects).
void ImportNetObjects(TJBaseEngine& engine);

}  // namespace kestrel
