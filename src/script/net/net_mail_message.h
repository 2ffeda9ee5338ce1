// TMailMessage: one mail message, parsed from the text a mailbox server sends (with
// its Base64 attachments written to files) or composed in MIME form for sending.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/core/hashtable.h"
#include "script/net/net_errors.h"

namespace kestrel {

// Reply lines are short by the protocol; a longer one is refused, not collected.
inline constexpr std::size_t kMaxMailReplyLine = 64 * 1024;
inline constexpr int kMailReplyNotANumber = 999;

// What the mail clients refuse: a line break in a field, user id or password (it
// would inject commands or header lines), an attachment that cannot be read, a
// received message cut short or over the string limit.
class EMailError : public EgSocket {
public:
    using EgSocket::EgSocket;
};

class TMailMessage {
public:
    TMailMessage();
    TMailMessage(const TMailMessage& other);
    TMailMessage& operator=(const TMailMessage& other);

    std::vector<std::string> Attachments;  // files written (received) or to attach (sending)
    TCustomHashTable<std::string> Fields;  // header fields, names without regard to case
    std::vector<std::string> HeaderLines;
    std::int32_t Number = 0;  // the message number of a summary
    std::int32_t Length = 0;  // never filled
    std::vector<std::string> BodyLines;
    std::string Text;
    std::string Boundary;
    std::string AttachPath;  // joined to file names as it is: ends with "/", or empty for the current folder

    // Empties everything (AttachPath too) and makes a new boundary.
    void Clear();
    void Assign(const TMailMessage& other) { *this = other; }
    // Exchanges two messages without copying them (a received message handed on).
    void Swap(TMailMessage& other) noexcept;
    // The value of the header field Name; empty when there is none.
    std::string Field(std::string_view name) const;
    // Reads a received message (lines end with CR LF or LF). Never fails: broken MIME
    // gives the best reading, attachments that cannot be written are left out.
    // AttachPath is kept.
    void Parse(std::string_view text);
    // The message in MIME form, every line ending with CR LF; fills HeaderLines and
    // BodyLines. Raises EMailError for an attachment that cannot be read and for a
    // message that would pass the string limit.
    std::string Compose();
    // False when a field name or value holds CR or LF (it would inject header lines
    // or protocol commands).
    bool FieldsAreSingleLines() const;

private:
    void ParseMultipart(std::string_view body);
    void SavePart(const TCustomHashTable<std::string>& fields, std::string_view content);
};

// 42 letters of a-z and A-Z from the system's random source.
std::string MakeMailBoundary();
// The address of an address field: the text inside "<...>" when present, else the
// whole field.
std::string MailAddressOf(std::string_view field);

}  // namespace kestrel
