// The standard library every engine starts with: the classes it imports, in their
// order, and the engine's own Global object. The engine's constructor lives here so
// that the core knows nothing of the library.
#include "script/lib/ecma_object.h"

namespace kestrel {

TJEngine::TJEngine(void* component) : component_(component) { InstallLibrary(); }

void TJEngine::InstallLibrary() {
    // String, Number, Boolean, RegExp, Math and Date join here with their objects.
    ImportObject("Object", ClassOf<TJObject>());
    ImportObject("Global", ClassOf<TJGlobalObject>());
    ImportObject("Array", ClassOf<TJArrayObject>());
    AdoptOwnObjects(TJObject::New<TJGlobalObject>(this, false), nullptr, nullptr);
}

}  // namespace kestrel
