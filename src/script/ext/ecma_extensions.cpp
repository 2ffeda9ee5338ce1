// The extension classes of this library, registered in their order.
#include "script/ext/ecma_extensions.h"

#include "script/ext/ecma_checklistbox.h"
#include "script/ext/ecma_checksum.h"
#include "script/ext/ecma_desktop.h"
#include "script/ext/ecma_dialog.h"
#include "script/ext/ecma_directory.h"
#include "script/ext/ecma_file.h"
#include "script/ext/ecma_ini.h"
#include "script/ext/ecma_mutex.h"
#include "script/ext/ecma_stringbuffer.h"
#include "script/ext/ecma_strings.h"
#include "script/ext/ecma_win32.h"

namespace kestrel {

void ImportExtensionObjects(TJBaseEngine& engine) {
    engine.ImportObject("File", ClassOf<TJFileObject>());
    engine.ImportObject("Directory", ClassOf<TJDirectoryObject>());
    engine.ImportObject("Strings", ClassOf<TJStringsObject>());
    engine.ImportObject("Win32", ClassOf<TJWin32Object>());
    engine.ImportObject("Ini", ClassOf<TJIniObject>());
    engine.ImportObject("CRC", ClassOf<TJCRCObject>());
    engine.ImportObject("Base64", ClassOf<TJBase64Object>());
    engine.ImportObject("Dialog", ClassOf<TJDialogObject>());
    engine.ImportObject("Mutex", ClassOf<TJMutexObject>());
    engine.ImportObject("Keyboard", ClassOf<TJKeyboard>());
    engine.ImportObject("Mouse", ClassOf<TJMouse>());
    engine.ImportObject("Clipboard", ClassOf<TJClipboard>());
    engine.ImportObject("RegIni", ClassOf<TJRegIniObject>());
    engine.ImportObject("StringBuffer", ClassOf<TJStringBufferObject>());
}

void ImportCheckListBox(TJBaseEngine& engine) { engine.ImportObject("CheckListBox", ClassOf<TJCheckListBox>()); }

}  // namespace kestrel
