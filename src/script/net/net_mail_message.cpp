// TMailMessage: parsing received messages and composing outgoing ones.
#include "script/net/net_mail_message.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <utility>

#include "script/core/ecma_type.h"
#include "script/ext/ext_files.h"
#include "script/net/net_cookie.h"
#include "script/net/net_text.h"
#include "util/Base64.h"

namespace kestrel {
namespace {

using net::SameIgnoringCase;
using net::Trim;
using tinctor::Base64Decode;
using tinctor::Base64Encode;

constexpr std::size_t kFieldBuckets = 13;
constexpr std::size_t kBoundaryLength = 42;
constexpr std::size_t kBase64LineLength = 76;  // keeps attachment lines far below mail's 998
constexpr double kSecondsPerDay = 86400;
constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kTempPrefix = "gpop3";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::uint64_t kPartHeadSize = 200;  // an attachment's boundary and header lines, without its name

// The lines of Text split at LF with a CR before it dropped. With DropLastEmpty the
// empty piece after a final line end is not a line.
std::vector<std::string_view> SplitLines(std::string_view text, bool dropLastEmpty) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (end == std::string_view::npos) {
            if (!(dropLastEmpty && line.empty() && !lines.empty()) && !(dropLastEmpty && text.empty()))
                lines.push_back(line);
            return lines;
        }
        lines.push_back(line);
        start = end + 1;
    }
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::size_t FindIgnoringCase(std::string_view text, std::string_view what, std::size_t from = 0) {
    if (what.size() > text.size()) return std::string_view::npos;
    for (std::size_t i = from; i + what.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < what.size() && Lower(text[i + k]) == Lower(what[k])) ++k;
        if (k == what.size()) return i;
    }
    return std::string_view::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The value of the parameter Name ("name=value" or name="value") in a header value:
// the parameter name in any case and only where a parameter can start.
std::string ParameterOf(std::string_view value, std::string_view name) {
    const std::string key = std::string(name) + "=";
    for (std::size_t at = FindIgnoringCase(value, key); at != std::string_view::npos;
         at = FindIgnoringCase(value, key, at + 1)) {
        if (at > 0 && value[at - 1] != ';' && !IsBlank(value[at - 1])) continue;
        std::string_view rest = value.substr(at + key.size());
        if (!rest.empty() && rest.front() == '"') {
            rest.remove_prefix(1);
            return std::string(rest.substr(0, rest.find('"')));
        }
        std::size_t end = 0;
        while (end < rest.size() && rest[end] != ';' && !IsBlank(rest[end])) ++end;
        return std::string(rest.substr(0, end));
    }
    return "";
}

// The fields of header lines: later lines replace earlier fields of the same name;
// lines starting with a blank continue the field before them. A line without ":"
// becomes a field named by the whole line.
void ReadFields(const std::vector<std::string_view>& lines, TCustomHashTable<std::string>& fields) {
    std::string name, value;
    auto store = [&] {
        if (!name.empty() || !value.empty()) fields.Put(name, Trim(value));
        name.clear();
        value.clear();
    };
    for (std::string_view line : lines) {
        if (!line.empty() && IsBlank(line.front()) && !(name.empty() && value.empty())) {
            value += line;  // unfolding keeps the blank that starts the continuation
            continue;
        }
        store();
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            name = Trim(line);
            if (!name.empty()) store();
            continue;
        }
        name = Trim(line.substr(0, colon));
        value = std::string(line.substr(colon + 1));
    }
    store();
}

std::string Joined(const std::vector<std::string_view>& lines, std::size_t first, std::size_t last) {
    std::string text;
    for (std::size_t i = first; i < last; ++i) {
        if (i > first) text += kCrLf;
        text += lines[i];
    }
    return text;
}

// The last path component of a name from a message, or "" when it is not safe as a
// file name of its own (empty, hidden or "..", control characters).
std::string SafeFileName(std::string_view name) {
    std::size_t cut = name.find_last_of("/\\");
    if (cut != std::string_view::npos) name.remove_prefix(cut + 1);
    if (name.empty() || name.front() == '.') return "";
    for (char c : name)
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7f') return "";
    return std::string(name);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::size_t LinesSize(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + kCrLf.size();
    return size;
}

// The composed size of Size bytes of attachment: Base64 with a line end per line.
std::uint64_t EncodedSize(std::uint64_t size) {
    const std::uint64_t encoded = (size + 2) / 3 * 4;
    return encoded + (encoded + kBase64LineLength - 1) / kBase64LineLength * kCrLf.size();
}

std::string CurrentCookieDate() {
    return FormatCookieDate(double(std::time(nullptr)) / kSecondsPerDay + kUnixEpochDay);
}

}  // namespace

std::string MakeMailBoundary() {
    // Bytes at or above the largest multiple of the alphabet size are drawn again so
    // every letter is equally likely.
    constexpr unsigned kUsable = 256 / kLetters.size() * kLetters.size();
    std::string boundary;
    unsigned char bytes[64];
    while (boundary.size() < kBoundaryLength) {
        ssize_t n = ::getrandom(bytes, sizeof bytes, 0);
        if (n <= 0) continue;  // EINTR; the call does not otherwise fail for this size
        for (ssize_t i = 0; i < n && boundary.size() < kBoundaryLength; ++i)
            if (bytes[i] < kUsable) boundary += kLetters[bytes[i] % kLetters.size()];
    }
    return boundary;
}

std::string MailAddressOf(std::string_view field) {
    std::size_t open = field.find('<');
    if (open != std::string_view::npos) {
        std::size_t close = field.find('>', open + 1);
        if (close != std::string_view::npos) return Trim(field.substr(open + 1, close - open - 1));
    }
    return std::string(field);
}

TMailMessage::TMailMessage() : Fields(kFieldBuckets, true), Boundary(MakeMailBoundary()) {}

TMailMessage::TMailMessage(const TMailMessage& other) : TMailMessage() { *this = other; }

TMailMessage& TMailMessage::operator=(const TMailMessage& other) {
    if (this == &other) return *this;
    Attachments = other.Attachments;
    Fields.Clear();
    other.Fields.ForEach([this](const std::string& key, const std::string& value) { Fields.Put(key, value); });
    HeaderLines = other.HeaderLines;
    Number = other.Number;
    Length = other.Length;
    BodyLines = other.BodyLines;
    Text = other.Text;
    Boundary = other.Boundary;
    AttachPath = other.AttachPath;
    return *this;
}

void TMailMessage::Swap(TMailMessage& other) noexcept {
    std::swap(Attachments, other.Attachments);
    std::swap(Fields, other.Fields);
    std::swap(HeaderLines, other.HeaderLines);
    std::swap(Number, other.Number);
    std::swap(Length, other.Length);
    std::swap(BodyLines, other.BodyLines);
    std::swap(Text, other.Text);
    std::swap(Boundary, other.Boundary);
    std::swap(AttachPath, other.AttachPath);
}

void TMailMessage::Clear() {
    Attachments.clear();
    Fields.Clear();
    HeaderLines.clear();
    Number = 0;
    Length = 0;
    BodyLines.clear();
    Text.clear();
    Boundary = MakeMailBoundary();
    AttachPath.clear();
}

std::string TMailMessage::Field(std::string_view name) const {
    const std::string* value = Fields.Find(name);
    return value ? *value : std::string();
}

bool TMailMessage::FieldsAreSingleLines() const {
    bool single = true;
    Fields.ForEach([&](const std::string& key, const std::string& value) {
        if (key.find_first_of("\r\n") != std::string::npos || value.find_first_of("\r\n") != std::string::npos)
            single = false;
    });
    return single;
}

void TMailMessage::Parse(std::string_view text) {
    std::string attachPath = std::move(AttachPath);
    Clear();
    AttachPath = std::move(attachPath);

    std::vector<std::string_view> lines = SplitLines(text, true);
    std::size_t blank = 0;
    while (blank < lines.size() && !lines[blank].empty()) ++blank;
    HeaderLines.assign(lines.begin(), lines.begin() + blank);
    ReadFields(std::vector<std::string_view>(lines.begin(), lines.begin() + blank), Fields);
    if (blank < lines.size()) BodyLines.assign(lines.begin() + blank + 1, lines.end());

    // The body is the text after the first empty line, as it came.
    std::string_view body;
    if (blank < lines.size()) body = text.substr(text.find('\n', std::size_t(lines[blank].data() - text.data())) + 1);

    if (FindIgnoringCase(Field("Content-Type"), "multipart/mixed") == std::string_view::npos) {
        Text = std::string(body);
        return;
    }
    ParseMultipart(body);
}

void TMailMessage::ParseMultipart(std::string_view body) {
    const std::string boundary = ParameterOf(Field("Content-Type"), "boundary");
    const std::string opening = "--" + boundary;
    const std::string closing = opening + "--";
    std::vector<std::string_view> lines = SplitLines(body, true);
    auto isLine = [](std::string_view line, std::string_view what) {
        while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
        return line == what;
    };
    std::size_t i = 0;
    if (!boundary.empty())
        while (i < lines.size() && !isLine(lines[i], opening)) ++i;
    if (boundary.empty() || i == lines.size()) {
        Text = std::string(body);  // no parts to be found: the text is all there is
        return;
    }
    for (std::size_t start = ++i; start <= lines.size(); start = ++i) {
        while (i < lines.size() && !(lines[i].starts_with("--") && lines[i].find(boundary) != std::string_view::npos))
            ++i;
        std::size_t blank = start;
        while (blank < i && !lines[blank].empty()) ++blank;
        TCustomHashTable<std::string> fields(kFieldBuckets, true);
        ReadFields(std::vector<std::string_view>(lines.begin() + start, lines.begin() + blank), fields);
        const std::string content = blank < i ? Joined(lines, blank + 1, i) : std::string();
        const std::string type = fields.HasKey("Content-Type") ? fields.Get("Content-Type") : std::string();
        // A part without a type is plain text by MIME's default.
        if (type.empty() || FindIgnoringCase(type, "text/plain") != std::string_view::npos) Text += content;
        else SavePart(fields, content);
        if (i == lines.size() || isLine(lines[i], closing)) break;
    }
}

void TMailMessage::SavePart(const TCustomHashTable<std::string>& fields, std::string_view content) {
    auto field = [&](std::string_view name) { return fields.HasKey(name) ? fields.Get(name) : std::string(); };
    if (!SameIgnoringCase(Trim(field("Content-Transfer-Encoding")), "base64")) return;
    std::string name = ParameterOf(field("Content-Type"), "name");
    if (name.empty()) name = ParameterOf(field("Content-Disposition"), "filename");
    name = SafeFileName(name);

    std::string path;
    int fd = -1;
    if (!name.empty()) {
        // Never through a link and never over a file already there (a second part of
        // the same name included): such a part gets a fresh name instead.
        path = AttachPath + name;
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    }
    if (fd < 0) {
        path = AttachPath + std::string(kTempPrefix) + "XXXXXX";
        fd = ::mkostemp(path.data(), O_CLOEXEC);
        if (fd < 0) return;
    }
    const bool written = WriteAll(fd, Base64Decode(content));
    if (::close(fd) != 0 || !written) {
        ::unlink(path.c_str());
        return;
    }
    Attachments.push_back(std::move(path));
}

std::string TMailMessage::Compose() {
    Boundary = MakeMailBoundary();
    HeaderLines.clear();
    BodyLines.clear();
    Fields.ForEach([this](const std::string& key, const std::string& value) { HeaderLines.push_back(key + ": " + value); });
    if (Attachments.empty()) HeaderLines.push_back("Content-Type: text/plain; charset=\"iso-2022-jp\"");
    else HeaderLines.push_back("Content-Type: multipart/mixed; boundary=\"" + Boundary + "\"");
    HeaderLines.push_back("Date: " + CurrentCookieDate());
    HeaderLines.push_back("MIME-Version: 1.0");
    HeaderLines.push_back("Content-Transfer-Encoding: 7bit");
    HeaderLines.push_back("");

    auto addText = [this] {
        for (std::string_view line : SplitLines(Text, false)) BodyLines.emplace_back(line);
    };
    if (Attachments.empty()) {
        addText();
    } else {
        BodyLines.push_back("--" + Boundary);
        BodyLines.push_back("Content-Type: text/plain");
        BodyLines.push_back("");
        addText();
        std::uint64_t size = LinesSize(HeaderLines) + LinesSize(BodyLines);
        for (const std::string& path : Attachments) {
            // Files are sized before they are read: a message that would pass the string
            // limit is refused before it takes the memory.
            struct stat st {};
            if (::stat(path.c_str(), &st) != 0) throw EMailError("attachment cannot be read: " + path);
            size += EncodedSize(static_cast<std::uint64_t>(st.st_size)) + kPartHeadSize + path.size() * 2;
            if (size > TJString::kMaxLength) throw EMailError("message over the string limit: " + path);
            std::string bytes;
            if (!ext::ReadWholeFile(path, bytes)) throw EMailError("attachment cannot be read: " + path);
            const std::string encoded = Base64Encode(bytes);
            const std::string name = path.substr(path.find_last_of('/') + 1);
            BodyLines.push_back("--" + Boundary);
            BodyLines.push_back("Content-Type: application/octet-stream; name=\"" + name + "\"");
            BodyLines.push_back("Content-Disposition: filename=\"" + name + "\"");
            BodyLines.push_back("Content-Transfer-Encoding: Base64");
            BodyLines.push_back("");
            for (std::size_t at = 0; at < encoded.size(); at += kBase64LineLength)
                BodyLines.push_back(encoded.substr(at, kBase64LineLength));
        }
        BodyLines.push_back("--" + Boundary + "--");
    }

    const std::size_t size = LinesSize(HeaderLines) + LinesSize(BodyLines);
    if (size > TJString::kMaxLength) throw EMailError("message over the string limit");
    std::string message;
    message.reserve(size);
    for (const auto* lines : {&HeaderLines, &BodyLines})
        for (const std::string& line : *lines) (message += line) += kCrLf;
    return message;
}

}  // namespace kestrel
