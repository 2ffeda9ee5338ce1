// The mailbox client against a scripted POP3 server on 127.0.0.1: login, count,
// summaries, whole messages with attachments, deletion and every bad reply.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "mail_peers.h"
#include "python_server.h"
#include "script/net/net_pop3.h"
#include "util/Base64.h"

using namespace kestrel;

namespace {

struct Mailbox : nettest::TMailPeer {
    Mailbox(const std::string& greeting, const std::string& replies) : TMailPeer("pop3", greeting, replies) {
        pop3.Host = "127.0.0.1";
        pop3.Port = static_cast<std::uint16_t>(peer.Port());
        pop3.Timeout = 5;
        pop3.UserId = "me";
        pop3.Password = "pw";
    }
    TgPOP3 pop3{4096};
};

const std::string kLogin = "b'+OK user\\r\\n', b'+OK pass\\r\\n', b'+OK 3 120\\r\\n', ";

}  // namespace

TEST(Pop3, ReceivesSummaryAndMessageThenDeletes) {
    const std::string folder = ::testing::TempDir() + "pop3-in-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(folder);
    const std::string message =
        "Subject: s\\r\\nContent-Type: multipart/mixed; boundary=b\\r\\n\\r\\n--b\\r\\n\\r\\n..dot\\r\\n"
        "--b\\r\\nContent-Type: image/png; name=\\\"a.png\\\"\\r\\nContent-Transfer-Encoding: base64\\r\\n\\r\\n" +
        tinctor::Base64Encode("PNGDATA") + "\\r\\n--b--\\r\\n.\\r\\n";
    Mailbox box("b'+OK ready\\r\\n'", kLogin + "b'+OK top\\r\\nSubject: s\\r\\n\\r\\nfirst\\r\\n.\\r\\n', b'+OK\\r\\n" +
                                          message + "', b'+OK deleted\\r\\n', b'+OK bye\\r\\n'");
    std::vector<std::string> statuses;
    box.pop3.OnStatus = [&](TgSocket&, const std::string& text) { statuses.push_back(text); };
    box.pop3.AttachPath = folder;
    box.pop3.DeleteOnRead = true;
    box.pop3.Connect();
    EXPECT_EQ(box.pop3.MailCount, 3);
    box.pop3.GetSummary(3);
    EXPECT_EQ(box.pop3.Message.Number, 3);
    EXPECT_EQ(box.pop3.Message.Text, "first\r\n");
    box.pop3.GetMail(3);
    EXPECT_EQ(box.pop3.Message.Number, 0);
    EXPECT_EQ(box.pop3.Message.Text, ".dot");
    ASSERT_EQ(box.pop3.Message.Attachments, std::vector<std::string>{folder + "a.png"});
    std::ifstream png(folder + "a.png", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(png), {}), "PNGDATA");
    EXPECT_EQ(box.pop3.StatusText, "deleted");
    box.pop3.Disconnect();
    EXPECT_EQ(box.Transcript(), "USER me\r\nPASS pw\r\nSTAT\r\nTOP 3 1\r\nRETR 3\r\nDELE 3\r\nQUIT\r\n");
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "cmd>PASS pw"), 0);
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "nfo>メール取得終了"), statuses.end());
    std::filesystem::remove_all(folder);
}

TEST(Pop3, BadRepliesAndCutMessagesAreErrors) {
    struct Case {
        const char* what;
        std::string replies;
        const char* error;  // "pop3 <code>", or "mail" for a refused message
        const char* transcript;
    } cases[] = {
        {"no such message", kLogin + "b'-ERR no such message\\r\\n'", "pop3 500", "USER me\r\nPASS pw\r\nSTAT\r\nRETR 1\r\n"},
        {"not a reply", kLogin + "b'hello\\r\\n'", "pop3 999", "USER me\r\nPASS pw\r\nSTAT\r\nRETR 1\r\n"},
        {"closed mid-message", kLogin + "b'+OK\\r\\nSubject: x\\r\\n\\r\\nhalf', None", "mail",
         "USER me\r\nPASS pw\r\nSTAT\r\nRETR 1\r\n"},
    };
    for (const Case& c : cases) {
        Mailbox box("b'+OK ready\\r\\n'", c.replies);
        box.pop3.DeleteOnRead = true;
        box.pop3.Connect();
        std::string error;
        try {
            box.pop3.GetMail(1);
        } catch (const EProtocolError& e) {
            error = e.Name + " " + std::to_string(e.Code);
            if (e.Code == 500) EXPECT_EQ(e.Text, "-ERR no such message");
        } catch (const EMailError&) {
            error = "mail";
        }
        EXPECT_EQ(error, c.error) << c.what;
        box.pop3.Disconnect();
        EXPECT_TRUE(box.Transcript().starts_with(c.transcript)) << c.what;  // never DELE
    }
}

TEST(Pop3, LoginNeedsUserIdAndRetriesOnce) {
    {
        Mailbox box("b'+OK ready\\r\\n'", "");
        box.pop3.UserId.clear();
        int asked = 0;
        box.pop3.OnNoUserId = [&](TgPOP3&, bool& retry) { retry = ++asked == 1; };
        try {
            box.pop3.Connect();
            ADD_FAILURE() << "logged in without a user id";
        } catch (const EProtocolError& e) {
            EXPECT_EQ(e.Name, "AuthenticationNeeded");
            EXPECT_EQ(box.pop3.StatusText, "err>useridがありません");
        }
        EXPECT_EQ(asked, 1);
    }
    Mailbox box("b'+OK ready\\r\\n'", "b'+OK\\r\\n', b'-ERR bad\\r\\n', b'+OK\\r\\n', b'+OK\\r\\n', b'+OK 0 0\\r\\n'");
    box.pop3.OnLoginFailed = [](TgPOP3& pop3, bool& retry) {
        pop3.Password = "right";
        retry = true;
    };
    box.pop3.Connect();
    box.pop3.Disconnect();
    EXPECT_EQ(box.Transcript(), "USER me\r\nPASS pw\r\nUSER me\r\nPASS right\r\nSTAT\r\nQUIT\r\n");
}

TEST(Pop3, LineBreaksInCredentialsAreRefused) {
    for (const char* password : {"pw\r\nDELE 1", "pw\nDELE 1"}) {
        Mailbox box("b'+OK ready\\r\\n'", "");
        box.pop3.Password = password;
        EXPECT_THROW(box.pop3.Connect(), EMailError);
        box.pop3.Disconnect();
        EXPECT_EQ(box.Transcript(), "QUIT\r\n");
    }
}
