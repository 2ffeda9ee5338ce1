// The Ini object (an INI file read into memory, written back by `update`) and the
// RegIni object (the same methods on a registry key, where a section is a subkey
// and a key is one of its values; no `update`).
#pragma once

#include <memory>
#include <string>

#include "script/core/ecma_engine.h"
#include "script/ext/ext_registry.h"
#include "util/IniFiles.h"

namespace kestrel {

class TJIniObject : public TJObject {
public:
    // The file name is required: EIniError "ini create error" without it, or when
    // the file exists but cannot be read or passes the string limit.
    TJIniObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJIniObject() override;
    static constexpr bool MakesGlobalInstance() { return false; }

    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    tinctor::TMemIniFile& File() noexcept { return *file_; }

private:
    std::unique_ptr<tinctor::TMemIniFile> file_;
};

class TJRegIniObject : public TJObject {
public:
    // The key path below HKEY_CURRENT_USER is required; EIniError "ini create
    // error" without it or when the key is refused or cannot be made.
    TJRegIniObject(TJBaseEngine* engine, const TJValueList* param);
    static constexpr bool MakesGlobalInstance() { return false; }

    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    ext::TRegistryKey& Key() noexcept { return key_; }
    const std::string& KeyPath() const noexcept { return keyPath_; }

private:
    std::string keyPath_;
    ext::TRegistryKey key_;
};

}  // namespace kestrel
