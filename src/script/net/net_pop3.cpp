// TgPOP3: login, message count, receiving, deleting and leaving the mailbox.
#include "script/net/net_pop3.h"

#include <cstdlib>

#include "script/core/ecma_type.h"

namespace kestrel {
namespace {

constexpr std::string_view kOk = "+OK";
constexpr std::string_view kErr = "-ERR";
constexpr int kLoginAttempts = 2;

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

TgPOP3::TgPOP3(int bufferSize) : TgSocket(bufferSize) { Port = kPop3DefaultPort; }

void TgPOP3::ReadReply() {
    const std::string line = ReadLine(kMaxMailReplyLine);
    LastResponse = line;
    if (!line.empty()) Status("res>" + line, kStatusNormal);
    if (line.starts_with(kOk)) {
        StatusText = line.size() > kOk.size() + 1 ? line.substr(kOk.size() + 1) : std::string();
        return;
    }
    if (line.starts_with(kErr)) {
        StatusText = line.size() > kErr.size() + 1 ? line.substr(kErr.size() + 1) : std::string();
        throw EProtocolError("pop3", kPop3Refused, line);
    }
    throw EProtocolError("pop3", kMailReplyNotANumber, line);
}

void TgPOP3::Connect() {
    mailboxOpen_ = false;
    TgSocket::Connect();
    ReadReply();
    mailboxOpen_ = true;
    Message.Clear();
    MailCount = 0;
    Status("nfo>loginします", kStatusInfo);
    Login();
    try {
        Command("STAT", false);
        ReadReply();
        MailCount = std::atoi(StatusText.substr(0, StatusText.find(' ')).c_str());
    } catch (const EgSocket&) {
        // The count is a courtesy: the mailbox is usable without it.
    }
}

void TgPOP3::Login() {
    for (int attempt = 1;; ++attempt) {
        bool retry = false;
        if (UserId.empty()) {
            if (attempt == 1 && OnNoUserId) OnNoUserId(*this, retry);
            if (retry) continue;
            StatusText = "err>useridがありません";
            Status(StatusText, kStatusNormal);
            throw EProtocolError("AuthenticationNeeded", 0, StatusText);
        }
        // A line break would smuggle further commands in.
        if (HasLineBreak(UserId) || HasLineBreak(Password)) throw EMailError("a line break in the user id or password");
        try {
            Command("USER " + UserId, false);
            ReadReply();
            SendLine("PASS " + Password);
            Command("PASS", true);  // reported without the secret
            ReadReply();
            return;
        } catch (const EProtocolError&) {
            if (attempt < kLoginAttempts && OnLoginFailed) OnLoginFailed(*this, retry);
            if (!retry) throw;
        }
    }
}

void TgPOP3::Receive(const std::string& command, const TReceiveTexts& texts, bool reportBody) {
    Status(texts.start, kStatusInfo);
    try {
        Command(command, false);
        ReadReply();
        if (OnMailStart) OnMailStart(*this);
        Message.Clear();
        Message.AttachPath = AttachPath;
        std::string text;
        bool inHeader = true;
        bool complete = false;
        while (true) {
            std::string line = ReadLine(TJString::kMaxLength - text.size());
            if (line == ".") {
                complete = true;
                break;
            }
            if (line.empty() && AtEndOfData()) break;
            if (line.starts_with('.')) line.erase(0, 1);  // the sender's dot-stuffing
            if (inHeader || reportBody) Status("res>" + line, kStatusNormal);
            if (line.empty()) inHeader = false;
            if (line.size() + 2 > TJString::kMaxLength - text.size()) throw EMailError("message too long");
            (text += line) += "\r\n";
        }
        // Without its final line the message may be cut anywhere: it is not received.
        if (!complete) throw EMailError("the message ended before its final line");
        Message.Parse(text);
        if (OnMailEnd) OnMailEnd(*this);
        Status(texts.end, kStatusInfo);
    } catch (const EgSocket&) {
        Status(texts.failure, kStatusNormal);
        throw;
    }
}

void TgPOP3::GetMail(std::int32_t number) {
    Receive("RETR " + std::to_string(number), {"nfo>メールを取得します", "nfo>メール取得終了", "err>メール取得に失敗しました"},
            false);
    if (DeleteOnRead) Delete(number);
}

void TgPOP3::GetSummary(std::int32_t number) {
    Receive("TOP " + std::to_string(number) + " 1",
            {"nfo>ヘッダを取得します", "nfo>ヘッダを取得終了", "err>ヘッダ取得に失敗しました"}, true);
    Message.Number = number;
}

void TgPOP3::Delete(std::int32_t number) {
    Status("nfo>メールを削除します", kStatusInfo);
    try {
        Command("DELE " + std::to_string(number), false);
        ReadReply();
    } catch (const EgSocket&) {
        if (OnDeleteFailure) OnDeleteFailure(*this);
        Status("err>メール削除に失敗しました", kStatusNormal);
        throw;
    }
    if (OnDeleteSuccess) OnDeleteSuccess(*this);
    Status("nfo>メール削除終了", kStatusInfo);
}

void TgPOP3::Disconnect() {
    Status("nfo>logoutします", kStatusInfo);
    if (mailboxOpen_) {
        try {
            Command("QUIT", false);
            ReadReply();
        } catch (const EgSocket&) {
            // Leaving anyway.
        }
        mailboxOpen_ = false;
    }
    TgSocket::Disconnect();
}

}  // namespace kestrel
