// TJFileObject: open with sharing locks, byte and line reads without up-front
// allocation of a requested count, writes, seeks and the file operations.
#include "script/ext/ecma_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "script/ext/ext_common.h"
#include "script/ext/ext_paths.h"
#include "script/lib/ecma_date.h"
#include "util/CodePage.h"

namespace kestrel {

using ext::Arg;

namespace {

constexpr std::size_t kReadBlock = 65535;  // read() without a count
constexpr std::size_t kReadAheadBlock = 65536;  // readln
constexpr mode_t kNewFileMode = 0666;      // less the umask
constexpr std::int64_t kMsPerSecond = 1000, kNsPerMs = 1000000;
constexpr std::string_view kLineEnd = "\r\n";

TJFileObject& File(TJObject& self) { return static_cast<TJFileObject&>(self); }

// Reads up to Size bytes, retrying after signals; -1 on failure.
ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

// Appends up to Count bytes (all to the end with Count < 0) to Out; false on a
// read failure or when Out would pass the string limit.
bool ReadInto(int fd, std::int64_t count, std::string& out) {
    for (;;) {
        std::size_t want = kReadBlock;
        if (count >= 0) {
            const std::uint64_t left = static_cast<std::uint64_t>(count) - out.size();
            if (left == 0) return true;
            want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kReadBlock));
        }
        if (!ext::FitsStringLimit(out.size() + 1) && want) {
            // At the limit: more is an error only when the file has more.
            char probe;
            return ReadSome(fd, &probe, 1) == 0;
        }
        want = std::min(want, TJString::kMaxLength - out.size());
        const std::size_t have = out.size();
        out.resize(have + want);
        const ssize_t n = ReadSome(fd, out.data() + have, want);
        out.resize(have + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n < 0) return false;
        if (n == 0) return true;
    }
}

bool WriteAll(int fd, std::string_view bytes, std::size_t& written) {
    written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

void OpenMethod(TJObject& self, const TJValueList* args, TJValue& result) {
    File(self).Open(Arg(args, 0));
    result.BuildBool(true);
}

void CloseMethod(TJObject& self, const TJValueList*, TJValue& result) { result.BuildBool(File(self).Close()); }

void IsOpened(TJObject& self, const TJValueList*, TJValue& result) { result.BuildBool(File(self).IsOpen()); }

void Read(TJObject& self, const TJValueList* args, TJValue& result) {
    TJFileObject& file = File(self);
    if (!file.IsOpen()) file.Fail("read error: ");
    const TJValue* arg = Arg(args, 0);
    const std::int64_t count = arg ? std::max<std::int64_t>(arg->AsInteger(), 0) : -1;
    // What readln read ahead comes first.
    TJFileObject::TReadAhead& ahead = file.ReadAhead();
    const std::size_t early = count < 0 ? ahead.View().size()
                                        : static_cast<std::size_t>(std::min<std::uint64_t>(
                                              static_cast<std::uint64_t>(count), ahead.View().size()));
    std::string bytes(ahead.View().substr(0, early));
    ahead.Begin += early;
    if (!ReadInto(file.Fd(), count, bytes)) file.Fail("read error: ");
    result.BuildString(TJString(bytes));
}

bool IsTrailingBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// A line ends after its LF; its trailing bytes up to the blank go (CR LF, LF, blanks
// and tabs). The last line at the end of the file comes back as it is.
void ReadLine(TJObject& self, const TJValueList*, TJValue& result) {
    TJFileObject& file = File(self);
    if (!file.IsOpen()) file.Fail("read error: ");
    TJFileObject::TReadAhead& ahead = file.ReadAhead();
    if (!ahead.Bytes) ahead.Bytes = std::make_unique_for_overwrite<char[]>(kReadAheadBlock);
    std::string line;
    for (;;) {
        if (ahead.View().empty()) {
            const ssize_t n = ReadSome(file.Fd(), ahead.Bytes.get(), kReadAheadBlock);
            if (n < 0) file.Fail("read error: ");
            if (n == 0) break;
            ahead.Begin = 0;
            ahead.End = static_cast<std::size_t>(n);
        }
        const std::string_view block = ahead.View();
        const std::size_t lineFeed = block.find('\n');
        const std::size_t take = lineFeed == std::string_view::npos ? block.size() : lineFeed + 1;
        if (!ext::FitsStringLimit(line.size() + take)) file.Fail("read error: ");
        line.append(block.substr(0, take));
        ahead.Begin += take;
        if (lineFeed == std::string_view::npos) continue;
        while (!line.empty() && IsTrailingBlank(line.back())) line.pop_back();
        break;
    }
    result.BuildString(TJString(line));
}

void Write(TJObject& self, const TJValueList* args, std::string_view ending, TJValue& result) {
    TJFileObject& file = File(self);
    const TJValue* arg = Arg(args, 0);
    if (!file.IsOpen() || !arg || !file.Unread()) file.Fail("write error: ");
    std::string bytes = arg->AsString().str();
    bytes += ending;
    std::size_t written = 0;
    if (!WriteAll(file.Fd(), bytes, written)) file.Fail("write error: ");
    result = ext::SizeValue(static_cast<std::int64_t>(written));
}

void WriteMethod(TJObject& self, const TJValueList* args, TJValue& result) { Write(self, args, {}, result); }
void WriteLine(TJObject& self, const TJValueList* args, TJValue& result) { Write(self, args, kLineEnd, result); }

void Flush(TJObject& self, const TJValueList*, TJValue& result) {
    TJFileObject& file = File(self);
    if (file.IsOpen() && file.Writable()) ::fdatasync(file.Fd());
    result.BuildBool(file.IsOpen());
}

std::int64_t OpenFileSize(const TJFileObject& file) {
    struct stat st {};
    return ::fstat(file.Fd(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
}

void Eof(TJObject& self, const TJValueList*, TJValue& result) {
    TJFileObject& file = File(self);
    if (!file.IsOpen()) file.Fail("eof error: ");
    // Bytes read ahead are still to come: what the next read gives decides.
    if (!file.ReadAhead().View().empty()) return void(result.BuildBool(false));
    const std::int64_t at = file.Position();
    result.BuildBool(at < 0 || at >= OpenFileSize(file));
}

void Seek(TJObject& self, const TJValueList* args, TJValue& result) {
    TJFileObject& file = File(self);
    const TJValue* arg = Arg(args, 0);
    if (!file.IsOpen() || !arg) file.Fail("seek error: ");
    const double wanted = std::trunc(arg->AsDouble());
    if (!(wanted > -9e18 && wanted < 9e18)) file.Fail("seek error: ");
    std::int64_t position = static_cast<std::int64_t>(wanted);
    if (position < 0) position += OpenFileSize(file);
    file.ReadAhead().Drop();
    const off_t at = position < 0 ? -1 : ::lseek(file.Fd(), static_cast<off_t>(position), SEEK_SET);
    if (at < 0) file.Fail("seek error: ");
    result = ext::SizeValue(at);
}

bool StatName(const std::string& name, struct stat& st) { return !name.empty() && ::stat(name.c_str(), &st) == 0; }

void Exists(TJObject& self, const TJValueList*, TJValue& result) {
    struct stat st {};
    result.BuildBool(StatName(File(self).Name(), st) && !S_ISDIR(st.st_mode));
}

void Remove(TJObject& self, const TJValueList*, TJValue& result) {
    TJFileObject& file = File(self);
    file.Close();
    struct stat st {};
    // unlink would take a folder's entry only for root; a folder is never a file here.
    if (!StatName(file.Name(), st) || S_ISDIR(st.st_mode) || ::unlink(file.Name().c_str()) != 0)
        file.Fail("remove error: ");
    result.BuildBool(true);
}

void RenameTo(TJObject& self, const TJValueList* args, TJValue& result) {
    TJFileObject& file = File(self);
    const TJValue* arg = Arg(args, 0);
    if (!arg) file.Fail("rename error: ");
    file.Close();
    const std::string target = arg->AsString().str();
    if (file.Name().empty() || target.empty() || ::rename(file.Name().c_str(), target.c_str()) != 0)
        file.Fail("rename error: ");
    file.SetName(target);
    result.BuildBool(true);
}

// Copies the regular file From over To (created or replaced); false on failure.
bool CopyFile(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (in < 0) return false;
    struct stat st {};
    bool ok = ::fstat(in, &st) == 0 && S_ISREG(st.st_mode);
    const int out = ok ? ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, kNewFileMode) : -1;
    ok = ok && out >= 0;
    std::string block(kReadBlock, '\0');
    while (ok) {
        const ssize_t n = ReadSome(in, block.data(), block.size());
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        std::size_t written = 0;
        ok = WriteAll(out, std::string_view(block.data(), static_cast<std::size_t>(n)), written);
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0) ok = false;
    return ok;
}

void CopyTo(TJObject& self, const TJValueList* args, TJValue& result) {
    TJFileObject& file = File(self);
    const TJValue* arg = Arg(args, 0);
    if (!arg) file.Fail("copy error: ");
    file.Close();
    if (!CopyFile(file.Name(), arg->AsString().str())) file.Fail("copy error: ");
    result.BuildBool(true);
}

void CanWrite(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildBool(File(self).IsOpen() && File(self).Writable());
}

// Readable means open for reading.
void CanRead(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildBool(File(self).IsOpen() && !File(self).Writable());
}

void ToText(TJObject& self, const TJValueList*, TJValue& result) { result.BuildString(TJString(File(self).Name())); }

using TNamePart = std::string_view (*)(std::string_view);
template <TNamePart Part>
void Extract(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(Part(File(self).Name())));
}
// No drive letters on Linux.
std::string_view NoDrive(std::string_view) { return {}; }

void ChangeExtension(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    if (!arg) return void(result.BuildNull());
    const std::string ext = arg->IsStringLike() ? arg->AsString().str() : std::string();
    result.BuildString(TJString(ext::ChangeExt(File(self).Name(), ext)));
}

void ExpandName(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(ext::ExpandFileName(File(self).Name())));
}

// No short names on Linux: the name itself.
void ShortName(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(File(self).Name()));
}

TJValue ReadLength(TJObject& self, int) {
    TJFileObject& file = File(self);
    if (file.IsOpen()) return ext::SizeValue(OpenFileSize(file));
    struct stat st {};
    return ext::SizeValue(StatName(file.Name(), st) ? static_cast<std::int64_t>(st.st_size) : 0);
}

TJObject* ReadLastModified(TJObject& self, int) {
    struct stat st {};
    if (!StatName(File(self).Name(), st)) return TJObject::New<TJDateObject>(self.Engine(), true);
    const std::int64_t ms = static_cast<std::int64_t>(st.st_mtim.tv_sec) * kMsPerSecond + st.st_mtim.tv_nsec / kNsPerMs;
    return TJObject::New<TJDateObject>(self.Engine(), true, nullptr, ms);
}

std::string ReadName(TJObject& self, int) { return File(self).Name(); }
void WriteName(TJObject& self, int, std::string_view name) { File(self).SetName(name); }

}  // namespace

TJFileObject::TJFileObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("File");
    if (const TJValue* name = Arg(param, 0)) name_ = name->AsString().str();
}

TJFileObject::~TJFileObject() { Close(); }

void TJFileObject::Fail(std::string_view message) const { ext::Fail(ext::errors::FileError, message, name_); }

void TJFileObject::Open(const TJValue* mode) {
    Close();
    const std::string letters = mode ? tinctor::CodePage::Current().Lower(mode->AsString().view()) : std::string();
    const bool write = letters.find('w') != std::string::npos;
    // No mode at all, or "d": others may read but not write.
    const bool denyWriteOnly = !mode || letters.find('d') != std::string::npos;
    // Never truncated; a read-only open stays read-only, and no open waits on a FIFO.
    const int flags = (write ? O_WRONLY | O_CREAT : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const int fd = name_.empty() ? -1 : ::open(name_.c_str(), flags, kNewFileMode);
    if (fd < 0) Fail("can not open: ");
    struct stat st {};
    const int lock = write || !denyWriteOnly ? LOCK_EX : LOCK_SH;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || ::flock(fd, lock | LOCK_NB) != 0 ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        Fail("can not open: ");
    }
    fd_ = fd;
    writable_ = write;
}

std::int64_t TJFileObject::Position() const noexcept {
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    return at < 0 ? -1 : static_cast<std::int64_t>(at) - static_cast<std::int64_t>(ahead_.View().size());
}

bool TJFileObject::Unread() noexcept {
    const auto early = static_cast<off_t>(ahead_.View().size());
    ahead_.Drop();
    return early == 0 || ::lseek(fd_, -early, SEEK_CUR) >= 0;
}

bool TJFileObject::Close() noexcept {
    ahead_.Drop();
    if (fd_ < 0) return false;
    ::close(fd_);
    fd_ = -1;
    writable_ = false;
    return true;
}

const TJMethodTable* TJFileObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("open", &OpenMethod),
                                         M::Method("close", &CloseMethod),
                                         M::Method("isOpened", &IsOpened),
                                         M::Method("read", &Read),
                                         M::Method("readln", &ReadLine),
                                         M::Method("write", &WriteMethod),
                                         M::Method("writeln", &WriteLine),
                                         M::Method("flush", &Flush),
                                         M::Method("eof", &Eof),
                                         M::Method("seek", &Seek),
                                         M::Method("exists", &Exists),
                                         M::Method("remove", &Remove),
                                         M::Method("renameTo", &RenameTo),
                                         M::Method("copyTo", &CopyTo),
                                         M::Method("canWrite", &CanWrite),
                                         M::Method("canRead", &CanRead),
                                         M::Method("toString", &ToText),
                                         M::Method("extractName", &Extract<&ext::ExtractName>),
                                         M::Method("extractPath", &Extract<&ext::ExtractPath>),
                                         M::Method("extractDir", &Extract<&ext::ExtractDir>),
                                         M::Method("extractDrive", &Extract<&NoDrive>),
                                         M::Method("extractExt", &Extract<&ext::ExtractExt>),
                                         M::Method("changeExt", &ChangeExtension),
                                         M::Method("expandUNCFilename", &ExpandName),
                                         M::Method("extractShortPathName", &ShortName),
                                     },
                                     &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJFileObject::PublishedProperties() const {
    static const TJPropertyTable table{VariantProperty("length", &ReadLength, nullptr),
                                       ObjectProperty("lastModified", nullptr, &ReadLastModified, nullptr),
                                       StringProperty("filename", &ReadName, &WriteName),
                                       StringProperty("path", &ReadName, &WriteName)};
    return &table;
}

}  // namespace kestrel
