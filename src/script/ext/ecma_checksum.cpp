// CRC: `calc` and `calcFile` (regular files only, read in 65535-byte blocks, so a
// FIFO or a device never holds the script); Base64: the plain coder and the mail
// header words in ISO-2022-JP.
#include "script/ext/ecma_checksum.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "script/ext/ext_common.h"
#include "script/ext/ext_header_words.h"
#include "util/Base64.h"

namespace kestrel {

using ext::Arg;

namespace {

constexpr std::size_t kFileBlock = 65535;

TJCRCObject& Crc(TJObject& self) { return static_cast<TJCRCObject&>(self); }

void Store(TJCRCObject& self, const tinctor::TCrc16And32& coder) {
    self.Crc16 = coder.Crc16();
    self.Crc32 = coder.Crc32();
}

void Calc(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    if (!arg) ext::Fail(ext::errors::CRCError, "calc error");
    tinctor::TCrc16And32 coder;
    coder.Update(arg->AsString().view());
    Store(Crc(self), coder);
    result.BuildObject(&self);
}

// Feeds the whole regular file Name to Crc; false on any failure.
bool CrcOfFile(const std::string& name, tinctor::TCrc16And32& crc) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    auto block = std::make_unique_for_overwrite<char[]>(kFileBlock);
    while (ok) {
        const ssize_t n = ::read(fd, block.get(), kFileBlock);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        crc.Update(std::string_view(block.get(), static_cast<std::size_t>(n)));
    }
    ::close(fd);
    return ok;
}

void CalcFile(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    if (!arg) ext::Fail(ext::errors::CRCError, "calcFile error");
    tinctor::TCrc16And32 coder;
    if (!CrcOfFile(arg->AsString().str(), coder)) {
        Crc(self).Crc16 = tinctor::TCrc16And32::kInitial16;
        Crc(self).Crc32 = tinctor::TCrc16And32::kInitial32;
        ext::Fail(ext::errors::CRCError, "calcFile error");
    }
    Store(Crc(self), coder);
    result.BuildObject(&self);
}

std::int64_t ReadCrc16(TJObject& self, int) { return Crc(self).Crc16; }
// Scripts read the CRC-32 as a signed 32-bit integer.
std::int64_t ReadCrc32(TJObject& self, int) { return static_cast<std::int32_t>(Crc(self).Crc32); }

using TCoder = std::string (*)(std::string_view);

template <TCoder Code, const char* Error>
void Convert(TJObject&, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    if (!arg) ext::Fail(ext::errors::Base64Error, Error);
    std::string out = Code(arg->AsString().view());
    TJString::CheckLength(out.size());
    result.BuildString(TJString(out));
}

constexpr char kEncodeError[] = "encode error", kDecodeError[] = "decode error",
               kEncodeHeaderError[] = "encodeHeader error", kDecodeHeaderError[] = "decodeHeader error";

}  // namespace

TJCRCObject::TJCRCObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("CRC");
}

const TJMethodTable* TJCRCObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{M::Method("calc", &Calc), M::Method("calcFile", &CalcFile)}, &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJCRCObject::PublishedProperties() const {
    static const TJPropertyTable table{IntegerProperty("CRC16", TJOrdinalType::S32, &ReadCrc16, nullptr),
                                       IntegerProperty("CRC32", TJOrdinalType::S32, &ReadCrc32, nullptr)};
    return &table;
}

TJBase64Object::TJBase64Object(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Base64");
}

const TJMethodTable* TJBase64Object::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("encode", &Convert<&tinctor::Base64Encode, kEncodeError>),
                                         M::Method("decode", &Convert<&tinctor::Base64Decode, kDecodeError>),
                                         M::Method("encodeHeader", &Convert<&ext::EncodeHeaderWords, kEncodeHeaderError>),
                                         M::Method("decodeHeader", &Convert<&ext::DecodeHeaderWords, kDecodeHeaderError>),
                                     },
                                     &BaseMethods()};
    return &table;
}

}  // namespace kestrel
