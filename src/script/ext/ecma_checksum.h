// The CRC and Base64 script objects: thin wrappers of the program's own coders.
#pragma once

#include "script/core/ecma_engine.h"
#include "util/Crc.h"

namespace kestrel {

class TJCRCObject : public TJObject {
public:
    TJCRCObject(TJBaseEngine* engine, const TJValueList* param);
    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    // The checksums of the last calculation; both at their initial values before
    // any and after a failed one.
    std::uint16_t Crc16 = tinctor::TCrc16And32::kInitial16;
    std::uint32_t Crc32 = tinctor::TCrc16And32::kInitial32;
};

class TJBase64Object : public TJObject {
public:
    TJBase64Object(TJBaseEngine* engine, const TJValueList* param);
    const TJMethodTable* SharedMethods() const override;
};

}  // namespace kestrel
