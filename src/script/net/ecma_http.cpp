// TJHTTPObject and TJHTTPSObject: the request methods, the header exchange around them
// and the client's events.
#include "script/net/ecma_http.h"

#include "script/ext/ext_common.h"
#include "script/net/ecma_http_headers.h"
#include "script/net/net_https.h"

namespace kestrel {

using ext::Arg;

namespace {

constexpr std::string_view kPrefix = "HTTP";

TJHTTPObject& Http(TJObject& self) { return static_cast<TJHTTPObject&>(self); }

std::string TextOf(const TJValue& value) { return std::string(value.AsString().view()); }

// A complete request: headers in, Work, the response out.
template <class F>
void Complete(TJHTTPObject& http, std::string_view method, F&& work) {
    http.Guard(method, [&] {
        http.SendHeaders();
        work(http.Client());
    });
    http.TakeResponse();
}

void Get(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* address = Arg(args, 0);
    if (!address) {
        result.SetUndefined();
        return;
    }
    std::string text;
    Complete(Http(self), "get", [&](TgHTTP& client) { client.Get(TextOf(*address), text); });
    result.BuildString(TJString(text));
}

void GetFile(TJObject& self, const TJValueList* args, TJValue& result) {
    result.BuildObject(&self);
    const TJValue* address = Arg(args, 0);
    const TJValue* file = Arg(args, 1);
    if (!file) return;
    Complete(Http(self), "get", [&](TgHTTP& client) { client.GetFile(TextOf(*address), TextOf(*file)); });
}

void Post(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* address = Arg(args, 0);
    const TJValue* data = Arg(args, 1);
    if (!data) {
        result.SetUndefined();
        return;
    }
    std::string text;
    Complete(Http(self), "post", [&](TgHTTP& client) { client.Post(TextOf(*address), TextOf(*data), text); });
    result.BuildString(TJString(text));
}

void Head(TJObject& self, const TJValueList* args, TJValue& result) {
    result.BuildObject(&self);
    const TJValue* address = Arg(args, 0);
    if (!address) return;
    Complete(Http(self), "head", [&](TgHTTP& client) { client.Head(TextOf(*address)); });
}

// Sends the request alone; `response` reads the answer.
void Request(TJObject& self, const TJValueList* args, TJValue& result) {
    result.BuildObject(&self);
    const TJValue* method = Arg(args, 0);
    const TJValue* address = Arg(args, 1);
    if (!address) return;
    const TJValue* body = Arg(args, 2);
    TJHTTPObject& http = Http(self);
    http.Guard("request", [&] {
        http.SendHeaders();
        http.Client().SendRequest(TextOf(*method), TextOf(*address), body ? TextOf(*body) : std::string());
    });
}

void Response(TJObject& self, const TJValueList*, TJValue& result) {
    TJHTTPObject& http = Http(self);
    http.Guard("response", [&] { http.Client().ReadResponse(); });
    http.TakeResponse();
    result.BuildObject(&self);
}

TJObject* GetRequestHeader(TJObject& self, int) { return Http(self).RequestHeader(); }
TJObject* GetResponseHeader(TJObject& self, int) { return Http(self).ResponseHeader(); }

enum TText { kVersion, kProxy };
std::string GetText(TJObject& self, int which) {
    TgHTTP& client = Http(self).Client();
    return which == kVersion ? client.Version : client.Proxy;
}
void SetText(TJObject& self, int which, std::string_view text) {
    TgHTTP& client = Http(self).Client();
    (which == kVersion ? client.Version : client.Proxy) = text;
}
TJValue GetLength(TJObject& self, int) { return ext::SizeValue(Http(self).Client().ContentLength); }
std::int64_t GetAutoRedirect(TJObject& self, int) { return Http(self).Client().AutoRedirect ? 1 : 0; }
void SetAutoRedirect(TJObject& self, int, std::int64_t value) { Http(self).Client().AutoRedirect = value != 0; }

}  // namespace

TJHTTPObject::TJHTTPObject(TJBaseEngine* engine, const TJValueList* param)
    : TJHTTPObject(engine, param, std::make_unique<TgHTTP>(kScriptSocketBufferSize)) {}

TJHTTPObject::TJHTTPObject(TJBaseEngine* engine, const TJValueList* param, std::unique_ptr<TgHTTP> client)
    : TJBaseSocketObject(engine, param, kPrefix, std::move(client)),
      request_(TJObject::New<TJRequestObject>(engine, false)),
      response_(TJObject::New<TJResponseObject>(engine, false)) {
    SetObjectName("HTTP");
    request_->IncRef();
    response_->IncRef();
    TgHTTP& http = Client();
    http.OnRequest = [this](TgHTTP&, std::string&, TRequestHeaders&, std::string&) { FireEvent("onRequest"); };
    http.OnResponse = [this](TgHTTP&, const std::string&, TResponseHeaders&, int&, std::string&, const std::string&,
                             const std::string&) { FireEvent("onResponse"); };
    http.OnFailure = [this](int) { FireEvent("onFailure"); };
    http.OnSuccess = [this](int) { FireEvent("onSuccess"); };
}

TJHTTPObject::~TJHTTPObject() {
    TgHTTP& http = Client();
    http.OnRequest = nullptr;
    http.OnResponse = nullptr;
    http.OnFailure = nullptr;
    http.OnSuccess = nullptr;
    request_->DecRef();
    response_->DecRef();
}

void TJHTTPObject::RegisterEvents() {
    TJBaseSocketObject::RegisterEvents();
    for (std::string_view name : {"onRequest", "onResponse", "onFailure", "onSuccess"}) RegisterEvent(name);
}

void TJHTTPObject::SendHeaders() { request_->FillHeaders(Client().RequestHeaders); }

void TJHTTPObject::TakeResponse() { response_->Refill(Client()); }

const TJPropertyTable* TJHTTPObject::PublishedProperties() const {
    static const TJPropertyTable table{{
                                           ObjectProperty("requestHeader", nullptr, &GetRequestHeader, nullptr),
                                           ObjectProperty("responseHeader", nullptr, &GetResponseHeader, nullptr),
                                           StringProperty("version", &GetText, &SetText, kVersion),
                                           VariantProperty("length", &GetLength, nullptr),
                                           BooleanProperty("autoRedirect", &GetAutoRedirect, &SetAutoRedirect),
                                           StringProperty("proxy", &GetText, &SetText, kProxy),
                                       },
                                       &BaseProperties()};
    return &table;
}

const TJMethodTable* TJHTTPObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("get", &Get),
                                         M::Method("getFile", &GetFile),
                                         M::Method("post", &Post),
                                         M::Method("head", &Head),
                                         M::Method("request", &Request),
                                         M::Method("response", &Response),
                                     },
                                     &ConnectionMethods()};
    return &table;
}

TJHTTPSObject::TJHTTPSObject(TJBaseEngine* engine, const TJValueList* param)
    : TJHTTPObject(engine, param, std::make_unique<TgHTTPS>(kScriptSocketBufferSize)) {
    SetObjectName("HTTPS");
}

void TJHTTPSObject::OpenConnection() { static_cast<TgHTTPS&>(Client()).ConnectSecure(); }

}  // namespace kestrel
