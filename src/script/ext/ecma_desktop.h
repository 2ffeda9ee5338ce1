// The Keyboard, Mouse and Clipboard script objects: what the desktop holds at the
// moment of reading, asked of the engine's host (nothing held without one).
#pragma once

#include "script/core/ecma_engine.h"

namespace kestrel {

class TJKeyboard : public TJObject {
public:
    TJKeyboard(TJBaseEngine* engine, const TJValueList* param);
    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
};

class TJMouse : public TJObject {
public:
    TJMouse(TJBaseEngine* engine, const TJValueList* param);
    const TJPropertyTable* PublishedProperties() const override;
};

class TJClipboard : public TJObject {
public:
    TJClipboard(TJBaseEngine* engine, const TJValueList* param);
    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    TJString ToString(const TJValue* arg = nullptr) override;
};

// The host of the engine that made Object; a host without a display when it has none.
TJHost& DesktopHost(const TJObject& object);

}  // namespace kestrel
