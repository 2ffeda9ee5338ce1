// TJCookieObject: element access, the cookie names as the property list, parse and the
// jar's attributes.
#include "script/net/ecma_cookie.h"

#include <cmath>

#include "script/ext/ext_common.h"
#include "script/lib/ecma_date.h"
#include "script/lib/ecma_datetime.h"

namespace kestrel {

using ext::Arg;

namespace {

TJCookieObject& Cookie(TJObject& self) { return static_cast<TJCookieObject&>(self); }

TJValue NameArray(TJObject& self, const std::vector<std::string>& names) {
    TJValueList items;
    for (const std::string& name : names) items.AddString(TJString(name));
    TJObject* array = self.Engine() ? self.Engine()->Factory().CreateInstance("Array", &items) : nullptr;
    if (!array) ThrowError(errors::NameError, "create object error Array");
    return ObjectValue(array);
}

// (address, text) or (text); nothing without an argument.
void Parse(TJObject& self, const TJValueList* args, TJValue& result) {
    result.BuildObject(&self);
    const TJValue* first = Arg(args, 0);
    if (!first) return;
    if (const TJValue* text = Arg(args, 1))
        Cookie(self).Jar().Parse(first->AsString().view(), text->AsString().view());
    else
        Cookie(self).Jar().Parse({}, first->AsString().view());
}

void HasCookie(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* name = Arg(args, 0);
    result.BuildBool(name && Cookie(self).Jar().Has(name->AsString().view()));
}

void CookieNames(TJObject& self, const TJValueList*, TJValue& result) {
    result = NameArray(self, Cookie(self).Jar().Names());
}

enum TAttribute { kDomain, kPath };
std::string GetAttribute(TJObject& self, int which) {
    const TCookie& jar = Cookie(self).Jar();
    return which == kDomain ? jar.Domain : jar.Path;
}
void SetAttribute(TJObject& self, int which, std::string_view text) {
    TCookie& jar = Cookie(self).Jar();
    (which == kDomain ? jar.Domain : jar.Path) = text;
}
TJObject* GetExpires(TJObject& self, int) { return Cookie(self).Expires(); }
std::int64_t GetLength(TJObject& self, int) { return static_cast<std::int64_t>(Cookie(self).Jar().Count()); }
std::string GetData(TJObject& self, int) { return Cookie(self).Jar().RequestText(); }

}  // namespace

TJCookieObject::TJCookieObject(TJBaseEngine* engine, const TJValueList* param)
    : TJObject(engine, param), expires_(TJObject::New<TJDateObject>(engine, false)) {
    SetObjectName("Cookie");
    expires_->IncRef();
}

TJCookieObject::~TJCookieObject() { expires_->DecRef(); }

TJDateObject* TJCookieObject::Expires() {
    expires_->SetTimeValue(std::llround((jar_.Expires - kUnixEpochDay) * static_cast<double>(kMsPerDay)));
    return expires_;
}

void TJCookieObject::GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param) {
    if (!arrayStyle) return TJObject::GetValue(name, arrayStyle, value, param);
    value.BuildString(TJString(jar_.Get(name)));
}

void TJCookieObject::SetValue(std::string_view name, const TJValue& value, const TJValueList* param, bool arrayStyle) {
    if (!arrayStyle) return TJObject::SetValue(name, value, param, arrayStyle);
    jar_.Set(name, std::string(value.AsString().view()));
}

void TJCookieObject::GetPropertyList(std::vector<std::string>& list) { list = jar_.Names(); }

const TJPropertyTable* TJCookieObject::PublishedProperties() const {
    static const TJPropertyTable table{
        StringProperty("domain", &GetAttribute, &SetAttribute, kDomain),
        StringProperty("path", &GetAttribute, &SetAttribute, kPath),
        ObjectProperty("expires", nullptr, &GetExpires, nullptr),
        IntegerProperty("length", TJOrdinalType::S32, &GetLength, nullptr),
        StringProperty("data", &GetData, nullptr),
    };
    return &table;
}

const TJMethodTable* TJCookieObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("parse", &Parse),
                                         M::Method("hasKey", &HasCookie),
                                         M::Method("getKeys", &CookieNames),
                                     },
                                     &BaseMethods()};
    return &table;
}

}  // namespace kestrel
