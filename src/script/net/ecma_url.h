// The URL object: the parts of a web address for scripts, each readable and writable
// under its names, the address rebuilt from them, and locations resolved against the
// address the script gave.
#pragma once

#include "script/core/ecma_engine.h"
#include "script/net/net_url.h"

namespace kestrel {

class TJURLInfoObject : public TJObject {
public:
    // The parts of the address given (all empty without one).
    TJURLInfoObject(TJBaseEngine* engine, const TJValueList* param);

    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
    // The address last given to the constructor or written to `url`, not rebuilt.
    TJString ToString(const TJValue* = nullptr) override { return TJString(given_); }

    TUrlInfo& Info() noexcept { return info_; }
    const std::string& Given() const noexcept { return given_; }
    // Parses Address into every part and keeps it as the given address.
    void SetAddress(std::string_view address);

private:
    TUrlInfo info_;
    std::string given_;
};

}  // namespace kestrel
