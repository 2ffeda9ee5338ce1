// TJURLInfoObject: the part properties with their aliases, `host` with its port, expand.
#include "script/net/ecma_url.h"

#include "script/ext/ext_common.h"

namespace kestrel {

using ext::Arg;

namespace {

TJURLInfoObject& Url(TJObject& self) { return static_cast<TJURLInfoObject&>(self); }

// The parts a property reads and writes as they are, by the property's index.
constexpr std::string TUrlInfo::*kParts[] = {&TUrlInfo::Protocol,  &TUrlInfo::Username, &TUrlInfo::Password,
                                             &TUrlInfo::Host,      &TUrlInfo::Port,     &TUrlInfo::Path,
                                             &TUrlInfo::Directory, &TUrlInfo::FileName, &TUrlInfo::Query};
enum TPart { kProtocol, kUsername, kPassword, kHostName, kPort, kPath, kDirectory, kFileName, kQuery };

std::string GetPart(TJObject& self, int part) { return Url(self).Info().*kParts[part]; }
void SetPart(TJObject& self, int part, std::string_view text) { Url(self).Info().*kParts[part] = text; }

std::string ReadAddress(TJObject& self, int) { return BuildUrl(Url(self).Info()); }
void WriteAddress(TJObject& self, int, std::string_view text) { Url(self).SetAddress(text); }

// The host with ":" and the port when there is one.
std::string GetHost(TJObject& self, int) {
    const TUrlInfo& info = Url(self).Info();
    return info.Port.empty() ? info.Host : info.Host + ":" + info.Port;
}
// "name:port" sets both; a text without ":" changes the host alone.
void SetHost(TJObject& self, int, std::string_view text) {
    TUrlInfo& info = Url(self).Info();
    const std::size_t colon = text.find(':');
    info.Host = text.substr(0, colon);
    if (colon != std::string_view::npos) info.Port = text.substr(colon + 1);
}

void Expand(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJURLInfoObject& url = Url(self);
    const TJValue* location = Arg(args, 0);
    result.BuildString(TJString(location ? ResolveUrl(url.Given(), location->AsString().view()) : url.Given()));
}

}  // namespace

TJURLInfoObject::TJURLInfoObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("URL");
    if (const TJValue* address = Arg(param, 0)) SetAddress(address->AsString().view());
}

void TJURLInfoObject::SetAddress(std::string_view address) {
    info_ = ParseUrl(address);
    given_ = address;
}

const TJPropertyTable* TJURLInfoObject::PublishedProperties() const {
    static const TJPropertyTable table{
        StringProperty("url", &ReadAddress, &WriteAddress),
        StringProperty("uri", &ReadAddress, &WriteAddress),
        StringProperty("href", &ReadAddress, &WriteAddress),
        StringProperty("protocol", &GetPart, &SetPart, kProtocol),
        StringProperty("scheme", &GetPart, &SetPart, kProtocol),
        StringProperty("username", &GetPart, &SetPart, kUsername),
        StringProperty("user", &GetPart, &SetPart, kUsername),
        StringProperty("userid", &GetPart, &SetPart, kUsername),
        StringProperty("password", &GetPart, &SetPart, kPassword),
        StringProperty("pass", &GetPart, &SetPart, kPassword),
        StringProperty("host", &GetHost, &SetHost),
        StringProperty("hostname", &GetPart, &SetPart, kHostName),
        StringProperty("port", &GetPart, &SetPart, kPort),
        StringProperty("path", &GetPart, &SetPart, kPath),
        StringProperty("directory", &GetPart, &SetPart, kDirectory),
        StringProperty("dir", &GetPart, &SetPart, kDirectory),
        StringProperty("filename", &GetPart, &SetPart, kFileName),
        StringProperty("query", &GetPart, &SetPart, kQuery),
        StringProperty("search", &GetPart, &SetPart, kQuery),
    };
    return &table;
}

const TJMethodTable* TJURLInfoObject::SharedMethods() const {
    static const TJMethodTable table{{TJMethodTable::Method("expand", &Expand)}, &BaseMethods()};
    return &table;
}

}  // namespace kestrel
