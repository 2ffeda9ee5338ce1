// TJRequestObject and TJResponseObject: the header exchange with the web client and
// their text forms.
#include "script/net/ecma_http_headers.h"

#include "script/net/ecma_cookie.h"

namespace kestrel {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

TJResponseObject& Response(TJObject& self) { return static_cast<TJResponseObject&>(self); }

// "name: value" CR LF for every member whose value is text, appended to Text.
void AppendHeaderLines(const TJObject& object, std::string& text) {
    object.Members().ForEach([&text](const std::string& name, const TJValue& value) {
        if (!value.IsStringLike()) return;
        text += name;
        text += ": ";
        value.AppendString(text);
        text += kLineEnd;
    });
}

// Without trailing blanks and line ends.
TJString TrimmedEnd(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
    return TJString(text);
}

TJObject* GetCookie(TJObject& self, int) { return Response(self).Cookie(); }
std::int64_t GetCode(TJObject& self, int) { return Response(self).Code(); }
std::string GetText(TJObject& self, int) { return Response(self).Text(); }
std::string GetVersion(TJObject& self, int) { return Response(self).Version(); }

}  // namespace

TJRequestObject::TJRequestObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Request");
}

TJString TJRequestObject::ToString(const TJValue*) {
    std::string text;
    AppendHeaderLines(*this, text);
    return TrimmedEnd(std::move(text));
}

void TJRequestObject::FillHeaders(TRequestHeaders& headers) {
    headers.Clear();
    Members().ForEach([&headers](const std::string& name, const TJValue& value) {
        if (value.IsStringLike()) headers.Set(name, std::string(value.AsString().view()));
    });
}

TJResponseObject::TJResponseObject(TJBaseEngine* engine, const TJValueList* param)
    : TJObject(engine, param), cookie_(TJObject::New<TJCookieObject>(engine, false)) {
    SetObjectName("Response");
    cookie_->IncRef();
}

TJResponseObject::~TJResponseObject() { cookie_->DecRef(); }

void TJResponseObject::Refill(const TgHTTP& client) {
    ClearProperties();
    code_ = kStatusNotANumber;
    version_ = client.ResponseHeaders.Version;
    code_ = client.StatusCode;
    text_ = client.StatusText;
    cookie_->Jar() = client.ResponseHeaders.Cookies;
    client.ResponseHeaders.ForEach([this](const std::string& name, const std::string& value) {
        DefineMember(name, StringValue(TJString(value)));
    });
}

TJString TJResponseObject::ToString(const TJValue*) {
    std::string text = "HTTP/" + version_ + " " + std::to_string(code_) + " " + text_;
    text += kLineEnd;
    AppendHeaderLines(*this, text);
    return TrimmedEnd(std::move(text));
}

const TJPropertyTable* TJResponseObject::PublishedProperties() const {
    static const TJPropertyTable table{
        ObjectProperty("cookie", nullptr, &GetCookie, nullptr),
        IntegerProperty("code", TJOrdinalType::S32, &GetCode, nullptr),
        StringProperty("text", &GetText, nullptr),
        StringProperty("version", &GetVersion, nullptr),
    };
    return &table;
}

}  // namespace kestrel
