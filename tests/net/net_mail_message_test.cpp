// The mail message: composing, parsing and the attachment files parsing writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "script/net/net_cookie.h"
#include "script/net/net_mail_message.h"
#include "util/Base64.h"

using namespace kestrel;
using tinctor::Base64Encode;
namespace fs = std::filesystem;

namespace {

// A fresh folder, removed afterwards; its path ends with "/" as AttachPath expects.
class MailFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "mail-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern + "/";
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> Files() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string folder;
};

std::string Multipart(const std::string& parts, const std::string& type = "multipart/mixed; boundary=\"XyZ\"") {
    return "Subject: s\r\nContent-Type: " + type + "\r\n\r\npreamble\r\n" + parts;
}

std::string Base64Part(const std::string& headers, const std::string& bytes) {
    return "--XyZ\r\n" + headers + "Content-Transfer-Encoding: base64\r\n\r\n" + Base64Encode(bytes) + "\r\n";
}

}  // namespace

TEST(MailMessage, ComposesPlainMessageLines) {
    TMailMessage m;
    m.Fields.Put("From", "a@b.example");
    m.Fields.Put("To", "c@d.example");
    m.Fields.Put("Subject", "Hi");
    m.Text = "line 1\r\n.line 2";
    const std::string text = m.Compose();
    ASSERT_EQ(m.HeaderLines.size(), 8u);
    const std::vector<std::string> head(m.HeaderLines.begin(), m.HeaderLines.begin() + 4);
    EXPECT_EQ(head, (std::vector<std::string>{"From: a@b.example", "To: c@d.example", "Subject: Hi",
                                              "Content-Type: text/plain; charset=\"iso-2022-jp\""}));
    ASSERT_TRUE(m.HeaderLines[4].starts_with("Date: "));
    EXPECT_NE(ParseCookieDate(m.HeaderLines[4].substr(6)), 0);
    EXPECT_EQ(m.HeaderLines[5], "MIME-Version: 1.0");
    EXPECT_EQ(m.HeaderLines[6], "Content-Transfer-Encoding: 7bit");
    EXPECT_EQ(m.HeaderLines[7], "");
    EXPECT_TRUE(text.ends_with("\r\n\r\nline 1\r\n.line 2\r\n")) << text;
}

TEST(MailMessage, ClearMakesNewBoundaryAndParseKeepsAttachPath) {
    TMailMessage m;
    m.AttachPath = "/tmp/x/";
    const std::string first = m.Boundary;
    ASSERT_EQ(first.size(), 42u);
    EXPECT_EQ(first.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
    m.Parse("Subject: x\r\n\r\nbody");
    EXPECT_EQ(m.AttachPath, "/tmp/x/");
    TMailMessage copy;
    copy.Assign(m);
    EXPECT_EQ(copy.Field("SUBJECT"), "x");
    EXPECT_EQ(copy.Text, "body");
    m.Clear();
    EXPECT_EQ(m.AttachPath, "");
    EXPECT_EQ(m.Fields.Count(), 0u);
    EXPECT_NE(m.Boundary, first);
}

TEST(MailMessage, ParsesHeaderFields) {
    TMailMessage m;
    m.Parse("Subject: first\r\nsubject: a long\r\n\tsubject\r\nX-Empty:\r\nno colon\r\n\r\nbody\r\n.\r\n");
    EXPECT_EQ(m.Field("Subject"), "a long\tsubject");  // later lines replace, folded lines join
    EXPECT_TRUE(m.Fields.HasKey("x-empty"));
    EXPECT_TRUE(m.Fields.HasKey("no colon"));
    EXPECT_EQ(m.HeaderLines.size(), 5u);
    EXPECT_EQ(m.Text, "body\r\n.\r\n");  // not multipart: the body as it came
    EXPECT_EQ(m.BodyLines, (std::vector<std::string>{"body", "."}));
}

TEST_F(MailFolder, ParsesMultipartWithAttachment) {
    const std::string png("\x89PNG\r\n\x1a\n\0\xff", 10);
    TMailMessage m;
    m.AttachPath = folder;
    m.Parse(Multipart("--XyZ\r\nContent-Type: text/plain\r\n\r\nhello\r\nworld\r\n" +
                      Base64Part("Content-Type: image/png; name=\"a.png\"\r\n", png) + "--XyZ--\r\nepilogue\r\n"));
    EXPECT_EQ(m.Text, "hello\r\nworld");
    ASSERT_EQ(m.Attachments, std::vector<std::string>{folder + "a.png"});
    EXPECT_EQ(ReadFile(folder + "a.png"), png);
}

TEST_F(MailFolder, BoundaryFormsAndBrokenStructure) {
    struct Case {
        const char* what;
        std::string type, parts, text;
        std::size_t files;
    } cases[] = {
        {"token boundary in any case", "MULTIPART/Mixed; BOUNDARY=XyZ", "--XyZ\r\n\r\ntext\r\n--XyZ--\r\n", "text", 0},
        {"no closing line", "multipart/mixed; boundary=\"XyZ\"", "--XyZ\r\nContent-Type: text/plain\r\n\r\nend\r\n", "end", 0},
        {"boundary never appears", "multipart/mixed; boundary=\"QQ\"", "--XyZ\r\n\r\nt\r\n", "preamble\r\n--XyZ\r\n\r\nt\r\n", 0},
        {"no boundary at all", "multipart/mixed", "a\r\n", "preamble\r\na\r\n", 0},
        {"part without headers is text", "multipart/mixed; boundary=XyZ", "--XyZ\r\n\r\nplain\r\n--XyZ--\r\n", "plain", 0},
        {"bad Base64 still decodes what it can", "multipart/mixed; boundary=XyZ",
         "--XyZ\r\nContent-Type: x/y; name=b\r\nContent-Transfer-Encoding: BASE64\r\n\r\n!!QUJD*\r\n--XyZ--\r\n", "", 1},
        {"other encodings are not written", "multipart/mixed; boundary=XyZ",
         "--XyZ\r\nContent-Type: x/y; name=q\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n=41\r\n--XyZ--\r\n", "", 0},
    };
    for (const Case& c : cases) {
        TMailMessage m;
        m.AttachPath = folder;
        m.Parse(Multipart(c.parts, c.type));
        EXPECT_EQ(m.Text, c.text) << c.what;
        EXPECT_EQ(m.Attachments.size(), c.files) << c.what;
        fs::remove_all(folder);
        fs::create_directory(folder);
    }
    TMailMessage m;
    m.AttachPath = folder;
    m.Parse(Multipart("--XyZ\r\nContent-Type: x/y; name=b\r\nContent-Transfer-Encoding: base64\r\n\r\n!!QUJD*\r\n"));
    EXPECT_EQ(ReadFile(folder + "b"), "ABC");
}

TEST_F(MailFolder, AttachmentNamesStayInTheFolder) {
    fs::create_directory(folder + "sub");
    fs::create_symlink(folder + "sub/target", folder + "link");
    struct Case {
        const char* header;
        const char* expected;  // "" for a fresh gpop3 name
    } cases[] = {
        {"Content-Type: x/y; name=\"../../.bashrc\"\r\n", ""},
        {"Content-Type: x/y; name=\"/etc/x\"\r\n", "x"},
        {"Content-Type: x/y; name=\"..\\\\win\\\\y.txt\"\r\n", "y.txt"},
        {"Content-Type: x/y\r\nContent-Disposition: attachment; filename=\"f.bin\"\r\n", "f.bin"},
        {"Content-Type: x/y; name=\"bad\x01name\"\r\n", ""},
        {"Content-Type: x/y; name=\"\"\r\n", ""},
        {"Content-Type: x/y; name=\"link\"\r\n", ""},  // never through a link
        {"Content-Type: x/y; name=\"f.bin\"\r\n", ""},  // a second part of the same name
    };
    std::string parts;
    for (const Case& c : cases) parts += Base64Part(c.header, c.header);
    TMailMessage m;
    m.AttachPath = folder;
    m.Parse(Multipart(parts + "--XyZ--\r\n"));
    ASSERT_EQ(m.Attachments.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = m.Attachments[i].substr(folder.size());
        if (*cases[i].expected) EXPECT_EQ(name, cases[i].expected) << cases[i].header;
        else EXPECT_TRUE(name.starts_with("gpop3")) << name;
        EXPECT_EQ(ReadFile(m.Attachments[i]), cases[i].header);
    }
    EXPECT_FALSE(fs::exists(folder + "sub/target"));
}

TEST_F(MailFolder, ComposedAttachmentsComeBackWhole) {
    std::string bytes(100000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    { std::ofstream(folder + "data.bin", std::ios::binary) << bytes; }
    TMailMessage m;
    m.Fields.Put("Subject", "files");
    m.Text = "see attached";
    m.Attachments = {folder + "data.bin"};
    const std::string text = m.Compose();
    EXPECT_NE(text.find("Content-Type: multipart/mixed; boundary=\"" + m.Boundary + "\"\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n--" + m.Boundary + "--\r\n"));
    for (const std::string& line : m.BodyLines) EXPECT_LE(line.size(), 76u);

    fs::create_directory(folder + "in");
    TMailMessage back;
    back.AttachPath = folder + "in/";
    back.Parse(text);
    EXPECT_EQ(back.Field("subject"), "files");
    EXPECT_EQ(back.Text, "see attached");
    ASSERT_EQ(back.Attachments, std::vector<std::string>{folder + "in/data.bin"});
    EXPECT_EQ(ReadFile(back.Attachments[0]), bytes);

    m.Attachments = {folder + "missing"};
    EXPECT_THROW(m.Compose(), EMailError);
    // 200 MiB (a sparse file) pass the string limit once encoded: refused unread.
    { std::ofstream(folder + "huge.bin"); }
    fs::resize_file(folder + "huge.bin", 200 << 20);
    m.Attachments = {folder + "huge.bin"};
    EXPECT_THROW(m.Compose(), EMailError);
}

TEST(MailMessage, HugeHeaderLineParses) {
    TMailMessage m;
    m.Parse("X-Big: " + std::string(10 << 20, 'a') + "\r\nContent-Type: multipart/mixed\r\n\r\nrest");
    EXPECT_EQ(m.Field("X-Big").size(), std::size_t(10 << 20));
    EXPECT_EQ(m.Text, "rest");
}

TEST(MailMessage, AddressesAndLineBreaks) {
    struct Case {
        const char* field;
        const char* address;
    } cases[] = {
        {"a@b.example", "a@b.example"},
        {"Name <a@b.example>", "a@b.example"},
        {"\"x\" < a@b.example >, c@d", "a@b.example"},
        {"a@b, c@d", "a@b, c@d"},  // several recipients stay one address
        {"broken <a@b", "broken <a@b"},
    };
    for (const Case& c : cases) EXPECT_EQ(MailAddressOf(c.field), c.address) << c.field;
    TMailMessage m;
    m.Fields.Put("Subject", "fine");
    EXPECT_TRUE(m.FieldsAreSingleLines());
    m.Fields.Put("To", "a@b\r\nRCPT TO:<x@y>");
    EXPECT_FALSE(m.FieldsAreSingleLines());
}
