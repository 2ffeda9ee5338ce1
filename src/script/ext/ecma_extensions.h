// Registration of the extension objects with an engine.
#pragma once

#include "script/core/ecma_type_object.h"

namespace kestrel {

// Registers the extension classes of this library in their order ("File",
// "Directory", "Strings", "Win32", "Ini", "CRC", "Base64", ..., "RegIni",
// "StringBuffer"); the desktop-facing classes between "Base64" and "RegIni" are
// registered by their own library.
void ImportExtensionObjects(TJBaseEngine& engine);

}  // namespace kestrel
