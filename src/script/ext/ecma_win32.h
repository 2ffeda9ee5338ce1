// The Win32 object: waiting, starting programs and the shell's open verb, and the
// milliseconds since the system started.
#pragma once

#include "script/core/ecma_engine.h"

namespace kestrel {

class TJWin32Object : public TJObject {
public:
    TJWin32Object(TJBaseEngine* engine, const TJValueList* param);
    const TJMethodTable* SharedMethods() const override;
};

}  // namespace kestrel
