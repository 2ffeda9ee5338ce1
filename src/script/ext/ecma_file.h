// The File object: one named file, opened for reading or writing with the sharing
// the mode asks for, read in bytes or lines, and the parts of its name.
//
// Sharing on Linux: an advisory whole-file flock taken right after opening, shared
// for a read-only "d" open and exclusive for every other mode, so that two scripts
// (or programs that take flock locks) keep each other out as the modes say.
// Programs that take no locks are not stopped: Linux has no mandatory sharing.
//
// readln reads ahead in large blocks; the script's position is the descriptor's
// less what was read ahead, so reads, eof, seeks and writes see the file as if each
// line had been read on its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "script/core/ecma_engine.h"

namespace kestrel {

class TJFileObject : public TJObject {
public:
    // The file name, when given.
    TJFileObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJFileObject() override;

    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    TJString ToString(const TJValue* = nullptr) override { return TJString(name_); }

    const std::string& Name() const noexcept { return name_; }
    void SetName(std::string_view name) { name_ = name; }
    bool IsOpen() const noexcept { return fd_ >= 0; }
    bool Writable() const noexcept { return writable_; }
    int Fd() const noexcept { return fd_; }

    // Opens with Mode (null: no mode given); EFileError "can not open: " on failure.
    void Open(const TJValue* mode);
    // Whether the file was open.
    bool Close() noexcept;
    // Raises EFileError Message + the file name.
    [[noreturn]] void Fail(std::string_view message) const;

    // Bytes that readln read past the script's position, taken first by the next read.
    struct TReadAhead {
        std::unique_ptr<char[]> Bytes;
        std::size_t Begin = 0, End = 0;
        std::string_view View() const noexcept { return {Bytes.get() + Begin, End - Begin}; }
        void Drop() noexcept { Begin = End = 0; }
    };
    TReadAhead& ReadAhead() noexcept { return ahead_; }
    // The script's position in the open file (-1 on failure).
    std::int64_t Position() const noexcept;
    // Moves the descriptor back to the script's position and forgets the read-ahead.
    bool Unread() noexcept;

private:
    TReadAhead ahead_;
    std::string name_;
    int fd_ = -1;
    bool writable_ = false;
};

}  // namespace kestrel
