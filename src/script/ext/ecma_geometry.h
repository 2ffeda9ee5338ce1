// TJPoint and TJRect: value objects other objects hand out, with text forms
// "{x:%d,y:%d}" and "{left:%d,top:%d,right:%d,bottom:%d}" that scripts may write.
#pragma once

#include <cstdint>

#include "script/core/ecma_engine.h"

namespace kestrel {

class TJPoint : public TJObject {
public:
    TJPoint(TJBaseEngine* engine, const TJValueList* param);
    const TJPropertyTable* PublishedProperties() const override;
    TJString ToString(const TJValue* = nullptr) override;
    static constexpr bool MakesGlobalInstance() { return false; }

    std::int32_t X = 0, Y = 0;
};

class TJRect : public TJObject {
public:
    TJRect(TJBaseEngine* engine, const TJValueList* param);
    const TJPropertyTable* PublishedProperties() const override;
    TJString ToString(const TJValue* = nullptr) override;
    static constexpr bool MakesGlobalInstance() { return false; }

    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

}  // namespace kestrel
