// A message with a 2 MiB binary attachment sent through a real SMTP server (qpsmtpd)
// comes back through a real POP3 server (dovecot) with the same subject, text and
// attachment bytes; summaries, deletion and lone full stops in the text included. The
// same road once more from a script run by kestrel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "mail_servers.h"
#include "script/net/net_pop3.h"
#include "script/net/net_smtp.h"

using namespace kestrel;

namespace {

constexpr std::size_t kAttachmentSize = 2 << 20;
constexpr int kBufferSize = 65536;
constexpr int kTimeoutSeconds = 20;
// A text line "." would end the data early without dot-stuffing; ".." must come back as is.
constexpr const char* kText = "Hello from the test.\r\n.\r\n..two dots\r\nthe end";
constexpr const char* kSubject = "2 MiB attachment";

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(20);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

template <class Client>
void Aim(Client& client, int port) {
    client.Host = "127.0.0.1";
    client.Port = static_cast<std::uint16_t>(port);
    client.Timeout = kTimeoutSeconds;
}

TEST(MailServers, AttachmentTravelsThroughSmtpAndPop3) {
    nettest::TMailServers servers;
    const std::string out = servers.Folder() + "mine/";
    const std::string bytes = RandomBytes(kAttachmentSize);
    std::ofstream(out + "photo.bin", std::ios::binary) << bytes;

    TgSMTP smtp(kBufferSize);
    Aim(smtp, servers.SmtpPort());
    smtp.Message.Fields.Put("From", std::string("Sender <sender@") + nettest::kMailDomain + ">");
    smtp.Message.Fields.Put("To", std::string("Tester <") + nettest::kMailUser + "@" + nettest::kMailDomain + ">");
    smtp.Message.Fields.Put("Subject", kSubject);
    smtp.Message.Text = kText;
    smtp.Message.Attachments = {out + "photo.bin"};
    smtp.Connect();
    smtp.SendMail();
    smtp.Disconnect();
    ASSERT_EQ(servers.MaildirCount(), 1);

    TgPOP3 pop3(kBufferSize);
    Aim(pop3, servers.Pop3Port());
    pop3.UserId = nettest::kMailUser;
    pop3.Password = nettest::kMailPassword;
    pop3.AttachPath = servers.Folder() + "mine/in/";
    std::filesystem::create_directory(pop3.AttachPath);
    pop3.Connect();
    EXPECT_EQ(pop3.MailCount, 1);

    pop3.GetSummary(1);
    EXPECT_EQ(pop3.Message.Number, 1);
    EXPECT_EQ(pop3.Message.Field("subject"), kSubject);
    EXPECT_TRUE(pop3.Message.Attachments.empty());

    pop3.GetMail(1);
    EXPECT_EQ(pop3.Message.Number, 0);
    EXPECT_EQ(pop3.Message.Field("Subject"), kSubject);
    EXPECT_EQ(pop3.Message.Text, kText);
    ASSERT_EQ(pop3.Message.Attachments, std::vector<std::string>{pop3.AttachPath + "photo.bin"});
    EXPECT_TRUE(ReadFile(pop3.Message.Attachments[0]) == bytes) << "the attachment came back changed";

    pop3.Delete(1);
    pop3.Disconnect();
    EXPECT_EQ(servers.MaildirCount(), 0);
    pop3.Connect();
    EXPECT_EQ(pop3.MailCount, 0);
    pop3.Disconnect();
}

TEST(MailServers, ScriptSendsAndFetchesThroughKestrel) {
    nettest::TMailServers servers;
    const std::string mine = servers.Folder() + "mine/";
    const std::string bytes = RandomBytes(kAttachmentSize);
    std::ofstream(mine + "photo.bin", std::ios::binary) << bytes;
    std::filesystem::create_directory(mine + "in");
    std::ofstream(mine + "run.ksc")
        << "var s = new SMTP('127.0.0.1', " << servers.SmtpPort() << "); s.timeout = " << kTimeoutSeconds << ";\n"
        << "var m = s.mail; m.From = 'Sender <sender@" << nettest::kMailDomain << ">';\n"
        << "m.To = '" << nettest::kMailUser << "@" << nettest::kMailDomain << "'; m.Subject = 'from a script';\n"
        << "m.message = \"script text\\n.\\nend\"; m.attachments.add('" << mine << "photo.bin');\n"
        << "s.connect(); s.sendMail(); s.disconnect();\n"
        << "var p = new POP3('127.0.0.1', " << servers.Pop3Port() << "); p.timeout = " << kTimeoutSeconds << ";\n"
        << "p.userid = '" << nettest::kMailUser << "'; p.password = '" << nettest::kMailPassword << "';\n"
        << "p.attachPath = '" << mine << "in/'; p.connect(); println(p.mailCount);\n"
        << "var top = p.getSummary(1); println(top.number + ' ' + p.mail.subject);\n"
        << "var r = p.getMail(1); println(r.Subject); println(r.message); println(r.attachments[0]);\n"
        << "p.delete(1).close(); p.connect(); println(p.length); p.close();\n";

    const std::string command = std::string(TINCTOR_BINARY_DIR) + "/src/tools/kestrel/kestrel " + mine + "run.ksc > " +
                                mine + "out.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(mine + "out.txt");
    std::string output;
    for (char c : ReadFile(mine + "out.txt"))
        if (c != '\r') output += c;
    EXPECT_EQ(output, "1\n1 from a script\nfrom a script\nscript text\n.\nend\n" + mine + "in/photo.bin\n0\n");
    EXPECT_TRUE(ReadFile(mine + "in/photo.bin") == bytes) << "the attachment came back changed";
}

}  // namespace
