// The POP3 and SMTP script objects: the mailbox and relay clients on the shared socket
// object, each with a Mail object of its own (the last message received, or the
// message to send).
#pragma once

#include "script/net/ecma_mail.h"
#include "script/net/ecma_socket_object.h"
#include "script/net/net_pop3.h"
#include "script/net/net_smtp.h"

namespace kestrel {

// What both clients share: the optional host and port arguments, the Mail object and
// its lifetime next to the script's own references to it.
class TJMailClientObject : public TJBaseSocketObject {
public:
    TJMailClientObject(TJBaseEngine* engine, const TJValueList* param, std::string_view errorPrefix,
                       std::unique_ptr<TgSocket> socket);
    ~TJMailClientObject() override;
    void Notification(TJNotify* other) override;

    // The Mail object; "<prefix>.<method>" when it is gone (only while the engine ends).
    TJMailObject& Mail(std::string_view method);
    TJMailObject* MailOrNull() const noexcept { return mail_; }

    static const TJPropertyTable& ClientProperties();

private:
    TJMailObject* mail_ = nullptr;
};

class TJPOP3Object : public TJMailClientObject {
public:
    TJPOP3Object(TJBaseEngine* engine, const TJValueList* param);
    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
    TgPOP3& Client() noexcept { return static_cast<TgPOP3&>(Socket()); }

protected:
    // The socket events and "onFailure", "onSuccess" (a deletion's outcome).
    void RegisterEvents() override;
};

class TJSMTPObject : public TJMailClientObject {
public:
    TJSMTPObject(TJBaseEngine* engine, const TJValueList* param);
    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
    TgSMTP& Client() noexcept { return static_cast<TgSMTP&>(Socket()); }
};

}  // namespace kestrel
