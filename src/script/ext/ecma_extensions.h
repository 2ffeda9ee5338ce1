// Registration of the extension objects with an engine.
#pragma once

#include "script/core/ecma_type_object.h"

namespace kestrel {

// Registers the extension classes of this library in their order ("File",
// "Directory", "Strings", "Win32", "Ini", "CRC", "Base64", "Dialog", "Mutex",
// "Keyboard", "Mouse", "Clipboard", "RegIni", "StringBuffer"); what they need of the
// desktop they ask of the engine's host.
void ImportExtensionObjects(TJBaseEngine& engine);
// Registers "CheckListBox", which comes after the network and automation objects.
void ImportCheckListBox(TJBaseEngine& engine);

}  // namespace kestrel
