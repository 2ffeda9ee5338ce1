// The extension classes of this library, registered in their order.
#include "script/ext/ecma_extensions.h"

#include "script/ext/ecma_checksum.h"
#include "script/ext/ecma_stringbuffer.h"
#include "script/ext/ecma_strings.h"

namespace kestrel {

void ImportExtensionObjects(TJBaseEngine& engine) {
    engine.ImportObject("Strings", ClassOf<TJStringsObject>());
    engine.ImportObject("CRC", ClassOf<TJCRCObject>());
    engine.ImportObject("Base64", ClassOf<TJBase64Object>());
    engine.ImportObject("StringBuffer", ClassOf<TJStringBufferObject>());
}

}  // namespace kestrel
