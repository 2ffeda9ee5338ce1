// The Mail script object: a mail message as scripts see it. Its header fields are
// members of their own (`m.Subject`, `m["subject"]`), its attachment list is a live
// Strings view, and the POP3 and SMTP objects copy messages in and out of it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "script/core/ecma_engine.h"
#include "script/ext/ecma_strings.h"
#include "script/net/net_mail_message.h"

namespace kestrel {

class TJMailObject : public TJObject {
public:
    TJMailObject(TJBaseEngine* engine, const TJValueList* param);

    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    // After the properties and methods, a header field of that name (any case).
    bool GetValueImpl(std::string_view name, TJValue& value, const TJValueList* param) override;
    // A published property, else the header field of that name.
    bool SetValueImpl(std::string_view name, const TJValue& value, const TJValueList* param) override;
    bool HasKey(std::string_view name) override;
    bool RemoveKey(std::string_view name) override;
    // The header field names.
    void GetPropertyList(std::vector<std::string>& list) override;

    // The message with the attachment list as the script left it.
    const TMailMessage& Message();
    // Takes a received message over (Message gets this object's old one) with its
    // attachment list.
    void TakeMessage(TMailMessage& message);
    void SetText(std::string_view text);
    void Clear();

    // A view of the attachment list; it reports "strings is null" once this object is gone.
    TJObject* NewAttachmentsView();

private:
    TMailMessage message_;
    // The attachments live here while scripts may change them through their views.
    std::shared_ptr<TJStringList> attachments_ = std::make_shared<TJStringList>();
};

// Registers the mail classes "Mail", "POP3" and "SMTP", in that order.
void ImportMailObjects(TJBaseEngine& engine);

}  // namespace kestrel
