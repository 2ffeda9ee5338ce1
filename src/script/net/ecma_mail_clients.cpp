// TJPOP3Object and TJSMTPObject: methods, properties and events of the mail clients.
#include "script/net/ecma_mail_clients.h"

#include "script/ext/ext_common.h"

namespace kestrel {

using ext::Arg;

namespace {

// The mail objects' messages name the method alone: "POP3.getMail", "SMTP.connect".
constexpr std::string_view kNoSuffix = "";

TJMailClientObject& Client(TJObject& self) { return static_cast<TJMailClientObject&>(self); }
TJPOP3Object& Pop3(TJObject& self) { return static_cast<TJPOP3Object&>(self); }
TJSMTPObject& Smtp(TJObject& self) { return static_cast<TJSMTPObject&>(self); }

// The host and port arguments of the constructors, each optional.
void TakeAddress(TgSocket& socket, const TJValueList* param) {
    if (const TJValue* host = Arg(param, 0)) socket.Host = host->AsString().str();
    if (const TJValue* port = Arg(param, 1)) socket.Port = static_cast<std::uint16_t>(port->AsInteger());
}

// connect and open, disconnect and close: the aliases report as the method they stand for.
template <class T>
void Connect(TJObject& self, const TJValueList*, TJValue& result) {
    T& object = static_cast<T&>(self);
    object.Guard("connect", [&] { object.Client().Connect(); });
    result.BuildObject(&self);
}

template <class T>
void Disconnect(TJObject& self, const TJValueList*, TJValue& result) {
    T& object = static_cast<T&>(self);
    object.Guard("disconnect", [&] { object.Client().Disconnect(); });
    result.BuildObject(&self);
}

// The rows both clients share, each calling its own client's Connect and Disconnect.
template <class T>
const TJMethodTable& ConnectionRows() {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("connect", &Connect<T>),
                                         M::Method("open", &Connect<T>),
                                         M::Method("disconnect", &Disconnect<T>),
                                         M::Method("close", &Disconnect<T>),
                                     },
                                     &TJObject::BaseMethods()};
    return table;
}

// getMail(n) and getSummary(n): the message goes into the object's Mail object, which
// is the result. Without a number nothing is fetched.
template <void (TgPOP3::*Fetch)(std::int32_t)>
void FetchInto(std::string_view method, TJObject& self, const TJValueList* args, TJValue& result) {
    TJPOP3Object& object = Pop3(self);
    TJMailObject& mail = object.Mail(method);
    if (const TJValue* number = Arg(args, 0)) {
        const std::int32_t n = number->AsInteger();
        object.Guard(method, [&] { (object.Client().*Fetch)(n); });
        mail.TakeMessage(object.Client().Message);  // the client needs it no more
    }
    result.BuildObject(&mail);
}

void GetMail(TJObject& self, const TJValueList* args, TJValue& result) {
    FetchInto<&TgPOP3::GetMail>("getMail", self, args, result);
}

void GetSummary(TJObject& self, const TJValueList* args, TJValue& result) {
    FetchInto<&TgPOP3::GetSummary>("getSummary", self, args, result);
}

void Delete(TJObject& self, const TJValueList* args, TJValue& result) {
    TJPOP3Object& object = Pop3(self);
    if (const TJValue* number = Arg(args, 0)) {
        const std::int32_t n = number->AsInteger();
        object.Guard("delete", [&] { object.Client().Delete(n); });
    }
    result.BuildObject(&self);
}

void SendMail(TJObject& self, const TJValueList*, TJValue& result) {
    TJSMTPObject& object = Smtp(self);
    TgSMTP& smtp = object.Client();
    smtp.Message = object.Mail("sendMail").Message();
    object.Guard("sendMail", [&] { smtp.SendMail(); });
    result.BuildObject(&self);
}

// Properties.
TJObject* GetMailObject(TJObject& self, int) { return Client(self).MailOrNull(); }
std::string GetHost(TJObject& self, int) { return Client(self).Socket().Host; }
void SetHost(TJObject& self, int, std::string_view host) { Client(self).Socket().Host = host; }
std::int64_t GetPort(TJObject& self, int) { return Client(self).Socket().Port; }
void SetPort(TJObject& self, int, std::int64_t port) { Client(self).Socket().Port = static_cast<std::uint16_t>(port); }

enum TPop3Text { kAttachPath, kPassword, kUserId };
std::string& Pop3Text(TJObject& self, int which) {
    TgPOP3& pop3 = Pop3(self).Client();
    return which == kAttachPath ? pop3.AttachPath : which == kPassword ? pop3.Password : pop3.UserId;
}
std::string GetPop3Text(TJObject& self, int which) { return Pop3Text(self, which); }
void SetPop3Text(TJObject& self, int which, std::string_view text) { Pop3Text(self, which) = text; }
std::int64_t GetDeleteOnRead(TJObject& self, int) { return Pop3(self).Client().DeleteOnRead ? 1 : 0; }
void SetDeleteOnRead(TJObject& self, int, std::int64_t value) { Pop3(self).Client().DeleteOnRead = value != 0; }
std::int64_t GetMailCount(TJObject& self, int) { return Pop3(self).Client().MailCount; }

}  // namespace

// --- both clients

TJMailClientObject::TJMailClientObject(TJBaseEngine* engine, const TJValueList* param, std::string_view errorPrefix,
                                       std::unique_ptr<TgSocket> socket)
    : TJBaseSocketObject(engine, param, errorPrefix, std::move(socket), kNoSuffix) {
    TakeAddress(Socket(), param);
    // Held for as long as this object lives; the engine's end may take it first, and
    // then this object hears of it.
    mail_ = TJObject::New<TJMailObject>(engine, true);
    mail_->IncRef();
    FreeNotification(mail_);
}

TJMailClientObject::~TJMailClientObject() {
    if (TJMailObject* mail = std::exchange(mail_, nullptr)) {
        RemoveFreeNotification(mail);
        mail->RemoveFreeNotification(this);
        mail->DecRef();
    }
}

void TJMailClientObject::Notification(TJNotify* other) {
    if (other == mail_) mail_ = nullptr;
    TJBaseSocketObject::Notification(other);
}

TJMailObject& TJMailClientObject::Mail(std::string_view method) {
    if (!mail_) Fail(method);
    return *mail_;
}

const TJPropertyTable& TJMailClientObject::ClientProperties() {
    static const TJPropertyTable table{{
        ObjectProperty("mail", nullptr, &GetMailObject, nullptr),
        StringProperty("host", &GetHost, &SetHost),
        IntegerProperty("port", TJOrdinalType::U16, &GetPort, &SetPort),
    },
        &BaseProperties()};
    return table;
}

// --- POP3

TJPOP3Object::TJPOP3Object(TJBaseEngine* engine, const TJValueList* param)
    : TJMailClientObject(engine, param, "POP3", std::make_unique<TgPOP3>(kScriptSocketBufferSize)) {
    SetObjectName("POP3");
    Client().OnDeleteSuccess = [this](TgPOP3&) { FireEvent("onSuccess"); };
    Client().OnDeleteFailure = [this](TgPOP3&) { FireEvent("onFailure"); };
}

void TJPOP3Object::RegisterEvents() {
    TJBaseSocketObject::RegisterEvents();
    RegisterEvent("onFailure");
    RegisterEvent("onSuccess");
}

const TJPropertyTable* TJPOP3Object::PublishedProperties() const {
    static const TJPropertyTable table{
        {
            StringProperty("attachPath", &GetPop3Text, &SetPop3Text, kAttachPath),
            BooleanProperty("deleteOnRead", &GetDeleteOnRead, &SetDeleteOnRead),
            IntegerProperty("mailCount", TJOrdinalType::S32, &GetMailCount, nullptr),
            IntegerProperty("length", TJOrdinalType::S32, &GetMailCount, nullptr),
            StringProperty("password", &GetPop3Text, &SetPop3Text, kPassword),
            StringProperty("userid", &GetPop3Text, &SetPop3Text, kUserId),
        },
        &ClientProperties()};
    return &table;
}

const TJMethodTable* TJPOP3Object::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("getMail", &GetMail),
                                         M::Method("getSummary", &GetSummary),
                                         M::Method("delete", &Delete),
                                     },
                                     &ConnectionRows<TJPOP3Object>()};
    return &table;
}

// --- SMTP

TJSMTPObject::TJSMTPObject(TJBaseEngine* engine, const TJValueList* param)
    : TJMailClientObject(engine, param, "SMTP", std::make_unique<TgSMTP>(kScriptSocketBufferSize)) {
    SetObjectName("SMTP");
}

const TJPropertyTable* TJSMTPObject::PublishedProperties() const { return &ClientProperties(); }

const TJMethodTable* TJSMTPObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{M::Method("sendMail", &SendMail)}, &ConnectionRows<TJSMTPObject>()};
    return &table;
}

void ImportMailObjects(TJBaseEngine& engine) {
    engine.ImportObject("Mail", ClassOf<TJMailObject>());
    engine.ImportObject("POP3", ClassOf<TJPOP3Object>());
    engine.ImportObject("SMTP", ClassOf<TJSMTPObject>());
}

}  // namespace kestrel
