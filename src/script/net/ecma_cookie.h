// The Cookie object: a cookie jar for scripts. `c[name]` reads and writes one cookie,
// the property list and `getKeys` name the cookies, `parse` reads a Set-Cookie text,
// `toString` writes one, and `expires` is a Date object.
#pragma once

#include "script/core/ecma_engine.h"
#include "script/net/net_cookie.h"

namespace kestrel {

class TJDateObject;

class TJCookieObject : public TJObject {
public:
    TJCookieObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJCookieObject() override;

    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
    // Element access names a cookie (none reads as empty text); member access is as
    // for any object.
    void GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param = nullptr) override;
    void SetValue(std::string_view name, const TJValue& value, const TJValueList* param = nullptr,
                  bool arrayStyle = false) override;
    void GetPropertyList(std::vector<std::string>& list) override;
    // The Set-Cookie text.
    TJString ToString(const TJValue* = nullptr) override { return TJString(jar_.SetCookieText()); }

    TCookie& Jar() noexcept { return jar_; }
    // The Date object `expires` gives, set to the jar's expiry.
    TJDateObject* Expires();

private:
    TCookie jar_;
    TJDateObject* expires_;
};

}  // namespace kestrel
