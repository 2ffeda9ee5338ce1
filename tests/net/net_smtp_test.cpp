// The mail relay client against a scripted relay on 127.0.0.1: the exact transcript,
// dot-stuffing, and every bad reply.
#include <gtest/gtest.h>

#include <fstream>

#include "mail_peers.h"
#include "python_server.h"
#include "script/net/net_smtp.h"

using namespace kestrel;

namespace {

struct Relay : nettest::TMailPeer {
    Relay(const std::string& greeting, const std::string& replies) : TMailPeer("smtp", greeting, replies) {}
};

const std::string kAccepting = "b'250 ok\\r\\n', b'250 ok\\r\\n', b'250 ok\\r\\n', b'354 go\\r\\n', b'250 queued\\r\\n', b'221 bye\\r\\n'";

void Address(TgSMTP& smtp, const Relay& relay) {
    smtp.Host = "127.0.0.1";
    smtp.Port = static_cast<std::uint16_t>(relay.peer.Port());
    smtp.Timeout = 5;
}

}  // namespace

TEST(Smtp, SendsStuffedMessageAndReadsEveryReply) {
    Relay relay("b'220-relay.example\\r\\n220 ready\\r\\n'", kAccepting);
    TgSMTP smtp(4096);
    Address(smtp, relay);
    std::vector<std::string> statuses;
    smtp.OnStatus = [&](TgSocket&, const std::string& text) { statuses.push_back(text); };
    smtp.Message.Fields.Put("From", "Me <me@a.example>");
    smtp.Message.Fields.Put("To", "you@b.example");
    smtp.Message.Text = "hi\r\n.\r\n..x";
    smtp.Connect();
    EXPECT_EQ(smtp.StatusText, "ok");
    smtp.SendMail();
    EXPECT_EQ(smtp.StatusText, "queued");
    smtp.Disconnect();
    const std::string transcript = relay.Transcript();
    EXPECT_TRUE(transcript.starts_with("HELO 127.0.0.1\r\nMAIL FROM:<me@a.example>\r\nRCPT TO:<you@b.example>\r\n"
                                       "DATA\r\nFrom: Me <me@a.example>\r\nTo: you@b.example\r\n"))
        << transcript;
    EXPECT_TRUE(transcript.ends_with("\r\n\r\nhi\r\n..\r\n...x\r\n\r\n.\r\nQUIT\r\n")) << transcript;
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "cmd>MIME-Version: 1.0"), statuses.end());
    EXPECT_EQ(std::count_if(statuses.begin(), statuses.end(), [](const std::string& s) { return s.find("hi") != std::string::npos; }), 0);
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "nfo>メールの送信を終了しました"), statuses.end());
}

TEST(Smtp, BadRepliesAreProtocolErrors) {
    struct Case {
        const char* what;
        std::string greeting, replies;
        bool failsInConnect;
        int code;
    } cases[] = {
        {"greeting 421", "b'421 busy\\r\\n'", "", true, 421},
        {"greeting without a code", "b'hello\\r\\n'", "", true, 999},
        {"HELO refused", "b'220 x\\r\\n'", "b'501 no\\r\\n'", true, 501},
        {"recipient refused", "b'220 x\\r\\n'", "b'250 a\\r\\n', b'250 b\\r\\n', b'550 unknown\\r\\n'", false, 550},
        {"DATA answered 250", "b'220 x\\r\\n'", "b'250 a\\r\\n', b'250 b\\r\\n', b'250 c\\r\\n', b'250 d\\r\\n'", false, 250},
        {"message rejected", "b'220 x\\r\\n'", "b'250 a\\r\\n', b'250 b\\r\\n', b'250 c\\r\\n', b'354 go\\r\\n', b'554 spam\\r\\n'", false, 554},
        {"closed after DATA", "b'220 x\\r\\n'", "b'250 a\\r\\n', b'250 b\\r\\n', b'250 c\\r\\n', b'354 go\\r\\n'", false, 999},
    };
    for (const Case& c : cases) {
        Relay relay(c.greeting, c.replies);
        TgSMTP smtp(4096);
        Address(smtp, relay);
        smtp.Message.Fields.Put("To", "x@y");
        try {
            smtp.Connect();
            EXPECT_FALSE(c.failsInConnect) << c.what;
            smtp.SendMail();
            ADD_FAILURE() << c.what << " was taken as sent";
        } catch (const EProtocolError& e) {
            EXPECT_EQ(e.Name, "SMTP") << c.what;
            EXPECT_EQ(e.Code, c.code) << c.what;
        }
    }
}

TEST(Smtp, LineBreaksInFieldsAreRefusedBeforeAnyCommand) {
    for (const char* field : {"From", "To", "Subject"}) {
        Relay relay("b'220 x\\r\\n'", kAccepting);
        TgSMTP smtp(4096);
        Address(smtp, relay);
        smtp.Message.Fields.Put(field, "a@b>\r\nRCPT TO:<evil@x");
        smtp.Connect();
        EXPECT_THROW(smtp.SendMail(), EMailError) << field;
        smtp.Disconnect();
        EXPECT_EQ(relay.Transcript(), "HELO 127.0.0.1\r\nQUIT\r\n") << field;
    }
}
