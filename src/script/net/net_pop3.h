// TgPOP3: the mailbox client on TgSocket. It logs in (with one retry the events may
// ask for), counts the messages, receives whole messages or their headers into a
// TMailMessage (dot-unstuffed, refused when cut short) and deletes them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "script/net/net_mail_message.h"
#include "script/net/net_socket.h"

namespace kestrel {

inline constexpr std::uint16_t kPop3DefaultPort = 110;
inline constexpr std::uint16_t kPop3Refused = 500;

class TgPOP3 : public TgSocket {
public:
    using TRetryEvent = std::function<void(TgPOP3& sender, bool& retry)>;
    using TMailEvent = std::function<void(TgPOP3& sender)>;

    explicit TgPOP3(int bufferSize);

    TMailMessage Message;
    bool DeleteOnRead = false;
    std::int32_t MailCount = 0;
    std::string AttachPath;
    std::string Password;
    std::string UserId;
    std::string StatusText;

    TRetryEvent OnNoUserId, OnLoginFailed;
    TMailEvent OnMailStart, OnMailEnd, OnDeleteSuccess, OnDeleteFailure;

    // Connects, reads the greeting, logs in and counts the messages.
    void Connect();
    // QUIT (its failure ignored) when logged in, then closes.
    void Disconnect();
    void GetMail(std::int32_t number);
    // The header and first line of the body; Message.Number = Number.
    void GetSummary(std::int32_t number);
    void Delete(std::int32_t number);

private:
    // One reply line: "+OK" sets StatusText, anything else raises EProtocolError "pop3".
    void ReadReply();
    void Login();
    struct TReceiveTexts {
        const char* start;
        const char* end;
        const char* failure;
    };
    void Receive(const std::string& command, const TReceiveTexts& texts, bool reportBody);

    bool mailboxOpen_ = false;
};

}  // namespace kestrel
