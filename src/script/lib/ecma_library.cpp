// The standard library every engine starts with: the classes it imports, in their
// order, and the engine's own Global and RegExp objects. The engine's constructor lives here so
// that the core knows nothing of the library.
#include "script/lib/ecma_date.h"
#include "script/lib/ecma_math.h"
#include "script/lib/ecma_number_object.h"
#include "script/lib/ecma_object.h"
#include "script/lib/ecma_regexp.h"
#include "script/lib/ecma_string.h"

namespace kestrel {

TJEngine::TJEngine(void* component) : component_(component) { InstallLibrary(); }

void TJEngine::InstallLibrary() {
    ImportObject("Object", ClassOf<TJObject>());
    ImportObject("Global", ClassOf<TJGlobalObject>());
    ImportObject("Array", ClassOf<TJArrayObject>());
    ImportObject("String", ClassOf<TJStringObject>());
    ImportObject("Number", ClassOf<TJNumberObject>());
    ImportObject("Boolean", ClassOf<TJBooleanObject>());
    ImportObject("RegExp", ClassOf<TJRegExpObject>());
    ImportObject("Math", ClassOf<TJMathObject>());
    ImportObject("Date", ClassOf<TJDateObject>());
    auto* regExp = TJObject::New<TJRegExpObject>(this, false);
    regExp->BecomeShared();
    AdoptOwnObjects(TJObject::New<TJGlobalObject>(this, false), regExp, nullptr);
    // Every registered RegExp object reports its matches to the shared one.
    Factory().OnNewObject = [regExp, next = std::move(Factory().OnNewObject)](TJObject* object) {
        if (object->Kind() == TJObjectKind::RegExp) regExp->Attach(static_cast<TJRegExpObject&>(*object));
        if (next) next(object);
    };
}

}  // namespace kestrel
