// TgSMTP: greeting, sending a message and leaving the relay.
#include "script/net/net_smtp.h"

#include <cctype>

namespace kestrel {
namespace {

constexpr int kServiceReady = 220;
constexpr int kActionDone = 250;
constexpr int kStartInput = 354;
constexpr int kServiceClosing = 221;
constexpr int kLastSuccessCode = 399;
constexpr std::size_t kCodeLength = 3;
constexpr std::size_t kSendChunk = 64 * 1024;
constexpr int kMaxMailReplyLines = 1000;

int ReplyCode(const std::string& line) {
    if (line.size() < kCodeLength) return kMailReplyNotANumber;
    int code = 0;
    for (std::size_t i = 0; i < kCodeLength; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) return kMailReplyNotANumber;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

bool IsContinued(const std::string& line) { return line.size() > kCodeLength && line[kCodeLength] == '-'; }

}  // namespace

TgSMTP::TgSMTP(int bufferSize) : TgSocket(bufferSize) { Port = kSmtpDefaultPort; }

void TgSMTP::ReadReply(int expected) {
    std::string line;
    for (int count = 0;; ++count) {
        line = ReadLine(kMaxMailReplyLine);
        LastResponse = line;
        if (!line.empty()) Status("res>" + line, kStatusNormal);
        if (!IsContinued(line) || count + 1 == kMaxMailReplyLines || AtEndOfData()) break;
    }
    StatusCode = ReplyCode(line);
    StatusText = line.size() > kCodeLength + 1 ? line.substr(kCodeLength + 1) : std::string();
    if (StatusCode > kLastSuccessCode || StatusCode != expected)
        throw EProtocolError("SMTP", static_cast<std::uint16_t>(StatusCode), StatusText);
}

void TgSMTP::Connect() {
    greeted_ = false;
    TgSocket::Connect();
    ReadReply(kServiceReady);
    greeted_ = true;
    Command("HELO " + LocalAddress(), false);
    ReadReply(kActionDone);
}

void TgSMTP::Disconnect() {
    if (greeted_) {
        try {
            Command("QUIT", false);
            ReadReply(kServiceClosing);
        } catch (const EgSocket&) {
            // Leaving anyway: the relay's answer to QUIT changes nothing.
        }
        greeted_ = false;
    }
    TgSocket::Disconnect();
}

void TgSMTP::SendData(const std::string& text) {
    // Lines that start with "." get another in front, so a text line "." cannot end
    // the data early and what follows it is never read as commands.
    std::string chunk;
    std::size_t start = 0;
    bool headerPart = true;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        end = end == std::string::npos ? text.size() : end + 2;
        std::string_view line(text.data() + start, end - start);
        if (headerPart) {
            // Header lines are reported as commands, the body goes out unreported.
            std::string_view bare = line.substr(0, line.size() - (line.ends_with("\r\n") ? 2 : 0));
            if (bare.empty()) headerPart = false;
            else Command(std::string(bare.starts_with('.') ? "." : "") + std::string(bare), true);
        }
        if (line.starts_with('.')) chunk += '.';
        chunk += line;
        if (chunk.size() >= kSendChunk) {
            SendText(chunk);
            chunk.clear();
        }
        start = end;
    }
    SendText(chunk + "\r\n.\r\n");
}

void TgSMTP::SendMail() {
    Status("nfo>メールを送信します", kStatusInfo);
    if (!Message.FieldsAreSingleLines()) throw EMailError("a header field holds a line break");
    const std::string text = Message.Compose();
    Command("MAIL FROM:<" + MailAddressOf(Message.Field("From")) + ">", false);
    ReadReply(kActionDone);
    // Several comma-separated recipients stay one address.
    Command("RCPT TO:<" + MailAddressOf(Message.Field("To")) + ">", false);
    ReadReply(kActionDone);
    Command("DATA", false);
    ReadReply(kStartInput);
    SendData(text);
    ReadReply(kActionDone);
    Status("nfo>メールの送信を終了しました", kStatusInfo);
}

}  // namespace kestrel
