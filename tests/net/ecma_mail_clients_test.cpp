// The POP3 and SMTP script objects against scripted servers on 127.0.0.1: what a
// script gets back (the Mail object, counts, events) and the one error per method.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "mail_peers.h"
#include "script/net/ecma_mail.h"
#include "script/script_runner.h"
#include "util/Base64.h"

using namespace kestrel;

namespace {

struct TCase {
    const char* greeting;
    std::string replies;
    const char* script;  // PORT and DIR are set
    const char* output;
    const char* transcriptHas;  // a piece the server must have received
};

const std::string kLogin = "b'+OK user\\r\\n', b'+OK pass\\r\\n', b'+OK 3 120\\r\\n', ";
constexpr const char* kReady = "b'+OK ready\\r\\n'";
constexpr const char* kPop3 = "var p = new POP3('127.0.0.1', PORT); p.userid = 'me'; p.password = 'pw'; p.timeout = 5; ";
constexpr const char* kRelay = "b'220 relay\\r\\n'";
constexpr const char* kSmtp =
    "var s = new SMTP('127.0.0.1', PORT); s.timeout = 5; var m = s.mail; m.From = 'Me <me@a.example>'; "
    "m.To = 'you@b.example'; m.Subject = 'hi'; m.message = \"line\\n.\\nend\"; ";
const std::string kAccepting = "b'250 ok\\r\\n', b'250 ok\\r\\n', b'250 ok\\r\\n', b'354 go\\r\\n', b'250 queued\\r\\n', ";

// Runs each case against a peer of Kind, with Setup ahead of its script.
void RunCases(const char* kind, const char* setup, const std::vector<TCase>& cases) {
    const std::string folder = ::testing::TempDir() + "mail-script-" + std::to_string(::getpid()) + "/";
    for (const TCase& c : cases) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "note.txt") << "attached";
        nettest::TMailPeer peer(kind, c.greeting, c.replies);
        {
            // The engine ends before the transcript is read: its objects close their
            // connections, so that the peer's session ends.
            kestrel::testing::ScriptRunner run;
            ImportMailObjects(run.engine);
            const std::string script =
                "var PORT = " + std::to_string(peer.peer.Port()) + ", DIR = '" + folder + "'; " + setup + c.script;
            EXPECT_EQ(run.Output(script), c.output) << c.script;
        }
        const std::string transcript = peer.Transcript();
        EXPECT_NE(transcript.find(c.transcriptHas), std::string::npos) << c.script << "\n" << transcript;
        std::filesystem::remove_all(folder);
    }
}

TEST(MailScriptObjects, Pop3) {
    const std::string multipart =
        "b'+OK\\r\\nSubject: parts\\r\\nContent-Type: Multipart/Mixed; boundary=b\\r\\n\\r\\n--b\\r\\n\\r\\ntext\\r\\n"
        "--b\\r\\nContent-Type: image/png; name=\"a.png\"\\r\\nContent-Transfer-Encoding: base64\\r\\n\\r\\n" +
        tinctor::Base64Encode("PNG") + "\\r\\n--b--\\r\\n.\\r\\n', ";
    RunCases("pop3", kPop3, {
        {kReady, kLogin + "b'+OK top\\r\\nSubject: s\\r\\n\\r\\nfirst\\r\\n.\\r\\n', " + multipart + "b'+OK gone\\r\\n', b'+OK bye\\r\\n'",
         "p.onSuccess = function(o) { print('deleted;'); }; p.attachPath = DIR; p.connect(); print(p.mailCount + p.length + ';');"
         "var m = p.getSummary(3); print(m.number + m.subject + (m == p.mail) + ';');"
         "m = p.getMail(3); print(m.number + m.message + (m.attachments[0] == DIR + 'a.png') + m.attachments.count + ';');"
         "print(p.delete(3) == p); p.close();",
         "6;3strue;0texttrue1;deleted;true", "TOP 3 1\r\nRETR 3\r\nDELE 3\r\nQUIT\r\n"},
        {kReady, kLogin + "b'-ERR no such message\\r\\n'", "p.open(); p.getMail(9);",
         "!Exception: ESocketError(1) => POP3.getMail", "RETR 9\r\n"},
        {kReady, kLogin + "b'-ERR locked\\r\\n'", "p.onFailure = function(o) { print('failed;'); }; p.connect(); p.delete(2);",
         "failed;!Exception: ESocketError(1) => POP3.delete", "DELE 2\r\n"},
        {kReady, "", "p.userid = ''; try { p.connect(); } catch (e) { print(e); }", "ESocketError", ""},
        {"b'-ERR busy\\r\\n'", "", "p.connect();", "!Exception: ESocketError(1) => POP3.connect", ""},
        // A message cut short is no message: an error, and nothing deleted.
        {kReady, kLogin + "b'+OK\\r\\nSubject: x\\r\\n\\r\\nhalf', None", "p.deleteOnRead = true; p.connect(); p.getMail(1);",
         "!Exception: ESocketError(1) => POP3.getMail", "RETR 1\r\n"},
    });
}

TEST(MailScriptObjects, Smtp) {
    RunCases("smtp", kSmtp, {
        {kRelay, kAccepting + "b'221 bye\\r\\n'", "s.connect(); print(s.sendMail() == s); s.disconnect();", "true",
         "MAIL FROM:<me@a.example>\r\nRCPT TO:<you@b.example>\r\nDATA\r\n"},
        {kRelay, kAccepting + "b'221 bye\\r\\n'", "s.open(); s.sendMail(); s.close();", "", "Subject: hi\r\n"},
        {kRelay, kAccepting + "b'221 bye\\r\\n'", "s.open(); s.sendMail(); s.close();", "", "line\r\n..\r\nend\r\n"},
        {"b'421 closing\\r\\n'", "", "s.connect();", "!Exception: ESocketError(1) => SMTP.connect", ""},
        {kRelay, "b'250 ok\\r\\n', b'250 ok\\r\\n', b'250 ok\\r\\n', b'354 go\\r\\n', b'554 refused\\r\\n'",
         "s.connect(); s.sendMail();", "!Exception: ESocketError(1) => SMTP.sendMail", "DATA\r\n"},
        // A line break in a field would inject a command: nothing is sent.
        {kRelay, "b'250 ok\\r\\n', b'221 bye\\r\\n'", "m.To = \"a@b\\nRSET\"; s.connect(); try { s.sendMail(); } catch (e) { print(e); } s.close();",
         "ESocketError", "HELO 127.0.0.1\r\nQUIT\r\n"},
        {kRelay, kAccepting + "b'221 bye\\r\\n'",
         "m.attachments.add(DIR + 'note.txt'); s.connect(); s.sendMail(); s.close();", "",
         "name=\"note.txt\"\r\nContent-Disposition: filename=\"note.txt\"\r\nContent-Transfer-Encoding: Base64\r\n\r\nYXR0YWNoZWQ=\r\n"},
    });
}

}  // namespace
