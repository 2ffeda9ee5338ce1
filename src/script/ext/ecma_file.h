// The File object: one named file, opened for reading or writing with the sharing
// the mode asks for, read in bytes or lines, and the parts of its name.
//
// Sharing on Linux: an advisory whole-file flock taken right after opening, shared
// for a read-only "d" open and exclusive for every other mode, so that two scripts
// (or programs that take flock locks) keep each other out as the modes say.
// Programs that take no locks are not stopped: Linux has no mandatory sharing.
#pragma once

#include <cstdint>
#include <string>

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

private:
    std::string name_;
    int fd_ = -1;
    bool writable_ = false;
};

}  // namespace kestrel
