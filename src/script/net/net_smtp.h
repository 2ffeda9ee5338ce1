// TgSMTP: the mail relay client on TgSocket. It greets the relay, sends one message
// (envelope, then the composed text dot-stuffed) and reads every reply, so a refused
// message is never taken for a sent one.
#pragma once

#include <cstdint>
#include <string>

#include "script/net/net_mail_message.h"
#include "script/net/net_socket.h"

namespace kestrel {

inline constexpr std::uint16_t kSmtpDefaultPort = 25;
class TgSMTP : public TgSocket {
public:
    explicit TgSMTP(int bufferSize);

    TMailMessage Message;
    int StatusCode = 0;
    std::string StatusText;

    // Connects, expects the 220 greeting and greets back with HELO and the local address.
    void Connect();
    // QUIT (its failure ignored) when greeted, then closes.
    void Disconnect();
    // Sends Message to the address of its "To" field.
    void SendMail();

private:
    // Reads one reply (with its continuation lines): sets StatusCode and StatusText;
    // a code above 399, or other than Expected, raises EProtocolError "SMTP".
    void ReadReply(int expected);
    void SendData(const std::string& text);

    bool greeted_ = false;
};

}  // namespace kestrel
