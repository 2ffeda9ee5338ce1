// TJMailObject: properties, the clear method and header fields as members.
#include "script/net/ecma_mail.h"

namespace kestrel {
namespace {

constexpr std::string_view kCrLf = "\r\n";

TJMailObject& Mail(TJObject& self) { return static_cast<TJMailObject&>(self); }

std::string JoinedLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + kCrLf.size();
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kCrLf;
        text += lines[i];
    }
    return text;
}

void MailClear(TJObject& self, const TJValueList*, TJValue& result) {
    Mail(self).Clear();
    result.BuildObject(&self);
}

std::int64_t ReadNumber(TJObject& self, int) { return Mail(self).Message().Number; }
std::int64_t ReadLength(TJObject& self, int) { return Mail(self).Message().Length; }
TJObject* ReadAttachments(TJObject& self, int) { return Mail(self).NewAttachmentsView(); }
std::string ReadHeader(TJObject& self, int) { return JoinedLines(Mail(self).Message().HeaderLines); }
std::string ReadBody(TJObject& self, int) { return JoinedLines(Mail(self).Message().BodyLines); }
std::string ReadText(TJObject& self, int) { return Mail(self).Message().Text; }
void WriteText(TJObject& self, int, std::string_view text) { Mail(self).SetText(text); }

}  // namespace

TJMailObject::TJMailObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Mail");
}

const TJMethodTable* TJMailObject::SharedMethods() const {
    static const TJMethodTable table{{TJMethodTable::Method("clear", &MailClear)}, &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJMailObject::PublishedProperties() const {
    static const TJPropertyTable table{
        IntegerProperty("number", TJOrdinalType::S32, &ReadNumber, nullptr),
        IntegerProperty("length", TJOrdinalType::S32, &ReadLength, nullptr),
        ObjectProperty("attachments", nullptr, &ReadAttachments, nullptr),
        StringProperty("header", &ReadHeader, nullptr),
        StringProperty("body", &ReadBody, nullptr),
        StringProperty("message", &ReadText, &WriteText),
    };
    return &table;
}

bool TJMailObject::GetValueImpl(std::string_view name, TJValue& value, const TJValueList* param) {
    if (TJObject::GetValueImpl(name, value, param)) return true;
    const std::string* field = message_.Fields.Find(name);
    if (!field) return false;
    value.BuildString(TJString(*field));
    return true;
}

bool TJMailObject::SetValueImpl(std::string_view name, const TJValue& value, const TJValueList* param) {
    if (HasPublishedProperty(name)) return TJObject::SetValueImpl(name, value, param);
    message_.Fields.Put(name, value.AsString().str());
    return true;
}

bool TJMailObject::HasKey(std::string_view name) { return message_.Fields.HasKey(name) || TJObject::HasKey(name); }

bool TJMailObject::RemoveKey(std::string_view name) {
    return message_.Fields.Remove(name) || TJObject::RemoveKey(name);
}

void TJMailObject::GetPropertyList(std::vector<std::string>& list) {
    list.clear();
    message_.Fields.ForEach([&list](const std::string& key, const std::string&) { list.push_back(key); });
}

const TMailMessage& TJMailObject::Message() {
    message_.Attachments = attachments_->Lines;
    return message_;
}

void TJMailObject::TakeMessage(TMailMessage& message) {
    message_.Swap(message);
    attachments_->Lines = message_.Attachments;
    attachments_->Sorted = false;
}

void TJMailObject::SetText(std::string_view text) { message_.Text = text; }

void TJMailObject::Clear() {
    message_.Clear();
    attachments_->Lines.clear();
    attachments_->Sorted = false;
}

TJObject* TJMailObject::NewAttachmentsView() {
    return TJObject::New<TJBaseStringsObject>(Engine(), true, nullptr, std::weak_ptr<TJStringList>(attachments_));
}

}  // namespace kestrel
